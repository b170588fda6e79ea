#include "core/settings_pages/start_menu_shortcut_editor.h"

#include <array>

#include "core/settings/start_menu_shortcut.h"

namespace tavrel {

namespace {

constexpr std::array<StartMenuShortcutModifierBox, 4> kBoxes{{
    {"⌃", "Control", StartMenuShortcutModifiers::control},
    {"⌥", "Option", StartMenuShortcutModifiers::option},
    {"⇧", "Shift", StartMenuShortcutModifiers::shift},
    {"⌘", "Command", StartMenuShortcutModifiers::command},
}};

}  // namespace

std::span<const StartMenuShortcutModifierBox> StartMenuShortcutEditor::modifierBoxes() {
    return kBoxes;
}

StartMenuShortcutEdit StartMenuShortcutEditor::toggle(std::int64_t bit, bool on) {
    const std::int64_t next = on ? (modifiers_ | bit) : (modifiers_ & ~bit);
    if (next == 0) return StartMenuShortcutEdit{std::nullopt, /*beep=*/true};
    modifiers_ = next;
    return StartMenuShortcutEdit{StartMenuShortcutEdit::Shortcut{keyCode_, modifiers_}, false};
}

StartMenuShortcutEdit StartMenuShortcutEditor::chooseKey(std::int64_t keyCode) {
    keyCode_ = keyCode;
    return StartMenuShortcutEdit{StartMenuShortcutEdit::Shortcut{keyCode_, modifiers_}, false};
}

void StartMenuShortcutEditor::reset() {
    keyCode_ = StartMenuShortcutKey::defaultKeyCode;
    modifiers_ = StartMenuShortcutModifiers::command;
}

}  // namespace tavrel
