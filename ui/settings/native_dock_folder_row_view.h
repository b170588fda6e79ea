#pragma once

// The controls of one folder row on the "应用分组" tab, left to right: the show-in-Dock switch,
// "重命名" and the trash button. The row's title column (folder name, application count as help)
// is the form renderer's.

#include <QPushButton>
#include <QWidget>

#include "core/settings_pages/native_dock_pages.h"
#include "ui/form/settings_switch.h"

namespace tavrel {

class NativeDockFolderRowView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int switchWidth = 42;
    static constexpr int renameWidth = 70;
    static constexpr int deleteWidth = 34;
    static constexpr int buttonHeight = 30;

    NativeDockFolderRowView(const NativeDockFolderRowSpec& spec, QWidget* parent = nullptr);

    SettingsSwitch* enabledSwitch() const { return switch_; }
    QPushButton* renameButton() const { return rename_; }
    QPushButton* deleteButton() const { return delete_; }

private:
    SettingsSwitch* switch_ = nullptr;
    QPushButton* rename_ = nullptr;
    QPushButton* delete_ = nullptr;
};

}  // namespace tavrel
