#pragma once

// The launcher's shortcut editor: four modifier check boxes, a pop-up of the 56 keys and a reset
// button over one key code and one modifier set that its controls share for the form's life.
// The renderer shows what the editor holds after each action, so a refused change (the last
// modifier unchecked) puts its check box back.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tavrel {

struct StartMenuShortcutModifierBox {
    std::string_view title;    // "⌃"
    std::string_view toolTip;  // "Control"
    std::int64_t bit;
};

struct StartMenuShortcutTexts {
    static constexpr std::string_view keyToolTip = "按键";
    static constexpr std::string_view resetSymbol = "arrow.counterclockwise";
    static constexpr std::string_view resetToolTip = "恢复默认快捷键";
};

// What an edit asks of the row: the values to report through its change callback, and whether
// the refusal beep sounds.
struct StartMenuShortcutEdit {
    struct Shortcut {
        std::int64_t keyCode;
        std::int64_t modifiers;
        friend bool operator==(const Shortcut&, const Shortcut&) = default;
    };
    std::optional<Shortcut> changed;
    bool beep = false;
    friend bool operator==(const StartMenuShortcutEdit&, const StartMenuShortcutEdit&) = default;
};

class StartMenuShortcutEditor {
public:
    StartMenuShortcutEditor(std::int64_t keyCode, std::int64_t modifiers)
        : keyCode_(keyCode), modifiers_(modifiers) {}

    // "⌃" 1, "⌥" 2, "⇧" 4, "⌘" 8, in the order the row shows them.
    static std::span<const StartMenuShortcutModifierBox> modifierBoxes();

    std::int64_t keyCode() const { return keyCode_; }
    std::int64_t modifiers() const { return modifiers_; }
    // A box is on when all its bits are in the modifiers.
    bool isChecked(std::int64_t bit) const { return (modifiers_ & bit) == bit; }

    // A box was turned on or off. Leaving no modifier is refused: the set stays as it was (the
    // box shows on again) and the beep sounds.
    StartMenuShortcutEdit toggle(std::int64_t bit, bool on);
    // A key was chosen in the pop-up (its key code).
    StartMenuShortcutEdit chooseKey(std::int64_t keyCode);
    // Space with Command only. The row reports this through its reset callback, not the change
    // callback, so `changed` stays empty.
    void reset();

private:
    std::int64_t keyCode_;
    std::int64_t modifiers_;
};

}  // namespace tavrel
