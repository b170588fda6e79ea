#pragma once

// The control column of an imported New File kind's row: its switch, then a "删除" button.

#include <QWidget>

#include "core/settings_pages/new_file_page.h"

namespace tavrel {

class NewFileTemplateRowView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int deleteButtonWidth = 62;
    static constexpr int deleteButtonHeight = 30;

    NewFileTemplateRowView(const NewFileTemplateRowSpec& spec, QWidget* parent);
};

}  // namespace tavrel
