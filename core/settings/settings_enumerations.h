#pragma once

// The enumerations of the settings document. Every one is stored as its integer code; reading a
// code that names no case gives the enumeration's fallback case (usually the key's default), so
// a document written by a newer taskbar never fails because of a new case.

#include <cstdint>

namespace tavrel {

enum class TaskbarTheme : std::int64_t { windows = 0, liquidGlass = 1 };
enum class TavrelAppearanceMode : std::int64_t { automatic = 0, light = 1, dark = 2 };
enum class TaskbarShelfMaterial : std::int64_t { metal = 0, glass = 1, wood = 2 };
enum class TaskbarBackgroundStyle : std::int64_t { flat = 0, dimensional = 1, noBackground = 2 };
enum class TaskbarLiquidGlassBackgroundMaterial : std::int64_t {
    frosted = 0,
    clear = 1,
    ultraTransparentOS27 = 2,
};
enum class MusicWidgetPlacement : std::int64_t {
    taskbarLeft = 0,
    taskbarRight = 1,
    nativeDockLeft = 2,
    nativeDockRight = 3,
};
enum class WindowPreviewStyle : std::int64_t { standard = 0, compact = 1 };
enum class StartMenuStyle : std::int64_t { classic = 0, mac27 = 1, appLibrary = 2 };
enum class LauncherHotCorner : std::int64_t {
    topLeft = 0,
    bottomLeft = 1,
    bottomRight = 2,
    topRight = 3,
};
enum class AdvancedGestureSwipeDownAction : std::int64_t {
    minimizeCurrentWindow = 0,
    minimizeAllWindows = 1,
    minimizeOtherWindows = 2,
};
enum class AdvancedGestureWindowSwitchAction : std::int64_t {
    previousWindow = 0,
    secondPreviousWindow = 1,
};
enum class WindowSwitcherPresentationStyle : std::int64_t {
    tiled = 0,
    advancedCards = 1,
    nativeIcons = 2,
};

// Per-theme codes. The theme records keep the raw integer (a newer taskbar may know more codes);
// the settings object's properties read them through these enumerations.
enum class TaskbarScreenEdge : std::int64_t {
    bottom = 0,
    left = 1,
    right = 2,
    // Written by the taskbar application; the taskbar page shows it as bottom.
    alternateBottom = 3,
};
enum class TaskbarAlignment : std::int64_t { left = 0, center = 1 };
enum class TaskbarAvoidanceMode : std::int64_t {
    windowsAvoidTaskbar = 0,
    taskbarAvoidsWindows = 1
};
enum class ActiveIconClickAction : std::int64_t { minimizeWindow = 0, hideApplication = 1 };
enum class RunningIconClickAnimation : std::int64_t { off = 0, zoomOnClick = 1 };
enum class ClockDisplayMode : std::int64_t { time = 0, dateAndWeekday = 1, all = 2 };
enum class ClockLineLayout : std::int64_t { twoLines = 0, oneLine = 1 };
enum class ClockScreenPosition : std::int64_t { bottom = 0, top = 1 };

// How a code becomes a case: codes 0..count-1 are kept, anything else gives `fallback`;
// with `nonZeroIsLast` every non-zero code gives the last case.
template <class E>
struct EnumerationTraits;

#define TAVREL_SETTINGS_ENUMERATION(E, count, fallbackCase, nonZero) \
    template <>                                                      \
    struct EnumerationTraits<E> {                                    \
        static constexpr std::int64_t codeCount = count;             \
        static constexpr E fallback = E::fallbackCase;               \
        static constexpr bool nonZeroIsLast = nonZero;               \
    };
TAVREL_SETTINGS_ENUMERATION(TaskbarTheme, 2, windows, false)
TAVREL_SETTINGS_ENUMERATION(TavrelAppearanceMode, 3, automatic, false)
TAVREL_SETTINGS_ENUMERATION(TaskbarShelfMaterial, 3, metal, false)
TAVREL_SETTINGS_ENUMERATION(TaskbarBackgroundStyle, 3, flat, false)
TAVREL_SETTINGS_ENUMERATION(TaskbarLiquidGlassBackgroundMaterial, 3, frosted, false)
TAVREL_SETTINGS_ENUMERATION(MusicWidgetPlacement, 4, taskbarRight, false)
TAVREL_SETTINGS_ENUMERATION(WindowPreviewStyle, 2, standard, false)
TAVREL_SETTINGS_ENUMERATION(StartMenuStyle, 3, classic, false)
TAVREL_SETTINGS_ENUMERATION(LauncherHotCorner, 4, bottomLeft, false)
TAVREL_SETTINGS_ENUMERATION(AdvancedGestureSwipeDownAction, 3, minimizeCurrentWindow, false)
TAVREL_SETTINGS_ENUMERATION(AdvancedGestureWindowSwitchAction, 2, previousWindow, false)
TAVREL_SETTINGS_ENUMERATION(WindowSwitcherPresentationStyle, 3, tiled, false)
TAVREL_SETTINGS_ENUMERATION(TaskbarScreenEdge, 4, bottom, false)
TAVREL_SETTINGS_ENUMERATION(TaskbarAlignment, 2, left, true)
TAVREL_SETTINGS_ENUMERATION(TaskbarAvoidanceMode, 2, windowsAvoidTaskbar, false)
TAVREL_SETTINGS_ENUMERATION(ActiveIconClickAction, 2, minimizeWindow, false)
TAVREL_SETTINGS_ENUMERATION(RunningIconClickAnimation, 2, off, true)
TAVREL_SETTINGS_ENUMERATION(ClockDisplayMode, 3, time, false)
TAVREL_SETTINGS_ENUMERATION(ClockLineLayout, 2, twoLines, false)
TAVREL_SETTINGS_ENUMERATION(ClockScreenPosition, 2, bottom, false)
#undef TAVREL_SETTINGS_ENUMERATION

template <class E>
concept SettingsEnumeration = requires {
    EnumerationTraits<E>::codeCount;
};

template <SettingsEnumeration E>
constexpr E enumerationFromCode(std::int64_t code) {
    using Traits = EnumerationTraits<E>;
    if constexpr (Traits::nonZeroIsLast) {
        return static_cast<E>(code == 0 ? 0 : Traits::codeCount - 1);
    } else {
        return code >= 0 && code < Traits::codeCount ? static_cast<E>(code) : Traits::fallback;
    }
}

template <SettingsEnumeration E>
constexpr std::int64_t enumerationCode(E value) {
    return static_cast<std::int64_t>(value);
}

}  // namespace tavrel
