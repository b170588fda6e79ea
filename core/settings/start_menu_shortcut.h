#pragma once

// The start-menu shortcut: a key out of a fixed list of 56 and a set of modifier flags.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tavrel {

struct StartMenuShortcutKey {
    std::int64_t keyCode = 49;
    std::string_view label;

    static constexpr std::int64_t defaultKeyCode = 49;  // Space

    // The 56 choices, in the order the shortcut recorder offers them.
    static std::span<const StartMenuShortcutKey> choices();
    static std::optional<StartMenuShortcutKey> choice(std::int64_t keyCode);
    // A code out of the list becomes Space.
    static std::int64_t normalizedKeyCode(std::int64_t keyCode);

    friend bool operator==(const StartMenuShortcutKey&, const StartMenuShortcutKey&) = default;
};

struct StartMenuShortcutModifiers {
    static constexpr std::int64_t control = 1;  // "⌃"
    static constexpr std::int64_t option = 2;   // "⌥"
    static constexpr std::int64_t shift = 4;    // "⇧"
    static constexpr std::int64_t command = 8;  // "⌘"
};

}  // namespace tavrel
