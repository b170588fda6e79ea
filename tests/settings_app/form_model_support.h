#pragma once

// Reading a built page on its form model: the control of a row found by its title.

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "core/form/form_content.h"

namespace tavrel::test {

// The row's control, or a default one (with a test failure) when there is no such row or it
// holds another kind of control.
template <class Control>
const Control& control(const FormContent& form, std::string_view title) {
    const FormRow* row = form.row(title);
    EXPECT_NE(row, nullptr) << "no row " << title;
    static const Control none{};
    if (!row) return none;
    const auto* found = std::get_if<Control>(&row->control);
    EXPECT_NE(found, nullptr) << "row " << title << " has another control";
    return found ? *found : none;
}

// "section / title" of every row, in order.
inline std::vector<std::string> layout(const FormContent& form) {
    std::vector<std::string> rows;
    for (const FormItem& item : form.items()) {
        if (const auto* section = std::get_if<FormSection>(&item)) {
            for (const FormRow& row : section->rows)
                rows.push_back(section->title + " / " + row.title);
        }
    }
    return rows;
}

}  // namespace tavrel::test
