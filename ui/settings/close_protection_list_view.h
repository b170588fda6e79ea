#pragma once

// The close-protection list: a 150-point table of 42-point rows (icon, name, and the bundle
// identifier or path beneath), "暂无白名单应用" over an empty table, and "添加应用" / "移除选中"
// below it ("移除选中" only while a row is selected). The table scrolls as soon as its rows are
// taller than it is.

#include <QWidget>

#include "core/settings_pages/close_protection_list.h"
#include "platform/workspace.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace tavrel {

class CloseProtectionListView final : public QWidget {
    Q_OBJECT
public:
    CloseProtectionListView(CloseProtectionListSpec spec, const platform::Workspace& workspace,
                            QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }
    // The empty-list label; nothing when the list has entries.
    QLabel* emptyLabel() const { return empty_; }
    // The entry of the selected row, if any.
    std::optional<CloseProtectionApp> selectedApp() const;

private:
    void selectionChanged();

    CloseProtectionListSpec spec_;
    QTableWidget* table_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLabel* empty_ = nullptr;
};

}  // namespace tavrel
