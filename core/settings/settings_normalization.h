#pragma once

// The value rules of the settings document, each written once. Reading, the clamping accessors,
// `apply(from:)` and encoding all call these.

#include <cstdint>

#include "core/settings/start_menu_shortcut.h"

namespace tavrel::SettingsNormalization {

// A NaN gives the lower bound: a value that cannot be encoded must never reach a save.
constexpr double clamp(double value, double lower, double upper) {
    if (!(value >= lower)) return lower;
    return value > upper ? upper : value;
}
constexpr std::int64_t clamp(std::int64_t value, std::int64_t lower, std::int64_t upper) {
    return value < lower ? lower : (value > upper ? upper : value);
}

template <class T>
constexpr T keep(T value) {
    return value;
}

// Global keys.
constexpr double nativeDockPreviewCornerRadius(double value) {
    return clamp(value, 0.0, 100.0);
}
constexpr double nativeDockPreviewScale(double value) {
    return clamp(value, 0.3, 2.0);
}
inline std::int64_t startMenuShortcutKeyCode(std::int64_t keyCode) {
    return StartMenuShortcutKey::normalizedKeyCode(keyCode);
}
// Control 1, Option 2, Shift 4, Command 8; only these bits count and the empty set is Command.
constexpr std::int64_t startMenuShortcutModifiers(std::int64_t flags) {
    const std::int64_t bits = flags & 0xF;
    return bits == 0 ? 8 : bits;
}
constexpr std::int64_t windowSwitcherModifierKey(std::int64_t code) {
    return code == 1 ? 1 : 0;
}
constexpr double previewSnapshotInterval(double seconds) {
    return clamp(seconds, 0.3, 60.0);
}
constexpr double previewSnapshotMaxPixelWidth(double pixels) {
    return clamp(pixels, 100.0, 1000.0);
}
constexpr std::int64_t previewSnapshotCacheLimit(std::int64_t limit) {
    return clamp(limit, std::int64_t{10}, std::int64_t{100});
}

// Setters of the per-theme properties.
constexpr double unitInterval(double value) {
    return clamp(value, 0.0, 1.0);
}
constexpr double magnificationAmount(double value) {
    return clamp(value, 1.0, 100.0);
}
constexpr double cornerRadius(double value) {
    return clamp(value, 0.0, 100.0);
}
constexpr double previewScale(double value) {
    return clamp(value, 0.3, 2.0);
}
constexpr double avatarBorderWidth(double value) {
    return clamp(value, 0.0, 8.0);
}

}  // namespace tavrel::SettingsNormalization
