#pragma once

// The compound rows that list entries of a list-valued setting: one row per excluded
// application with its "恢复显示" button, and the rule that removes the entry a row stands for.

#include <functional>
#include <string>
#include <vector>

#include "core/form/form_content.h"
#include "core/settings/taskbar_excluded_application.h"

namespace tavrel {

struct ListRowTexts {
    static constexpr std::string_view restoreButton = "恢复显示";
    static constexpr std::string_view genericApplicationSymbol = "app";
};

// A row titled with the entry's name (no help text): the application's icon (its path's, else
// the one its bundle identifier names, else the "app" symbol) and the "恢复显示" button.
FormRow& addExcludedApplication(FormContent& form, const TaskbarExcludedApplication& application,
                                std::function<void()> restore);

// Removes the first entry that stands for the same application as `application`: the same
// identity (bundle identifier, else standardised path) or, for an entry that has neither, the
// first entry equal to it in every field — two anonymous entries are not the same application.
// False when no entry matched.
bool removeExcludedApplication(std::vector<TaskbarExcludedApplication>& applications,
                               const TaskbarExcludedApplication& application);

}  // namespace tavrel
