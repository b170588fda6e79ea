#pragma once

// The compound rows that list entries of a list-valued setting: one row per excluded
// application with its "恢复显示" button, and the rule that removes the entry a row stands for;
// one row per application storage box; and the launcher's shortcut editor.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/form/form_content.h"
#include "core/settings/taskbar_excluded_application.h"

namespace tavrel {

struct ListRowTexts {
    static constexpr std::string_view restoreButton = "恢复显示";
    static constexpr std::string_view genericApplicationSymbol = "app";
    static constexpr std::string_view storageBoxDetail =
        "关闭后仅隐藏；删除会移除收纳箱并恢复箱内应用。";
    static constexpr std::string_view storageBoxDeleteSymbol = "trash";
    static constexpr std::string_view storageBoxDeleteToolTip = "删除收纳箱";
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

// A storage box: its name as title with the fixed help text, the visibility switch, the trash
// button (34 × 30, "删除收纳箱") and nothing else.
FormRow& addStorageBoxRow(FormContent& form, std::string title, bool isOn,
                          std::function<void(bool)> onToggle, std::function<void()> onDelete);

// The shortcut editor (StartMenuShortcutEditor): "⌃" "⌥" "⇧" "⌘", the key pop-up and the reset
// button. `action` runs with the key code and modifiers after an accepted change, `resetAction`
// after the reset, `beep` when unchecking the last modifier was refused.
FormRow& addStartMenuShortcut(
    FormContent& form, std::string title, std::string detail, std::int64_t keyCode,
    std::int64_t modifiers,
    std::function<void(std::int64_t keyCode, std::int64_t modifiers)> action,
    std::function<void()> resetAction, std::function<void()> beep);

}  // namespace tavrel
