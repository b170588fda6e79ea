#pragma once

// Every key of a theme configuration, declared once. Each row:
//
//   KEY(type, name, Windows default, liquid-glass default, mirror group, setter rule)
//
// The record's fields, both default records, decoding, encoding, the top-level mirrors and the
// key table all expand from this list; adding a key is one row.
//
// Mirror groups say how the top-level copy of a key in settings.json is read (it is always
// written with the current theme's value):
//   none            no top-level copy
//   startMenu       a present value replaces the current theme's value
//   desktopCorner   always replaces the current theme's value; absent counts as false
//   mergedPreviews  replaces the current theme's value when that theme's record is absent
//   layout          read only by the one-time theme isolation, into both records
//   global          the settings object keeps one global value (see taskbar_settings_keys.h)
//   notRead         ignored on reading; the records are authoritative
//   notReadRequired as notRead, but a required member of the stored record
//
// The setter rule is the normalisation of the settings object's per-theme setter
// (SettingsNormalization), also applied to a start-menu mirror that is read.

#include <cstdint>

#include "core/settings/codable_color.h"

// clang-format off
#define TAVREL_THEME_CONFIGURATION_KEYS(KEY) \
    KEY(double, opacity, 1, 1, notReadRequired, unitInterval) \
    KEY(double, taskbarHeight, 48, 58, notReadRequired, keep) \
    KEY(double, iconSize, 35, 45, notReadRequired, keep) \
    KEY(double, iconCornerRadius, 0, 0, none, keep) \
    KEY(std::int64_t, alignment, 0, 1, notReadRequired, keep) \
    KEY(double, runningIndicatorWidth, 6, 3.5, notReadRequired, keep) \
    KEY(double, runningIndicatorHeight, 2, 3.9306451612903226, notReadRequired, keep) \
    KEY(CodableColor, runningIndicatorColor, rgba(0.439640, 0.445120, 0.445024, 1), rgba(0.129842, 0.129846, 0.129844, 1), notReadRequired, keep) \
    KEY(CodableColor, runningIndicatorDarkColor, rgba(0.439640, 0.445120, 0.445024, 1), rgba(0.754069, 0.754087, 0.754077, 1), none, keep) \
    KEY(double, runningIndicatorIconGap, 0.9790209790209791, 0, notRead, keep) \
    KEY(double, activeIndicatorWidth, 16.777813095994915, 15, notReadRequired, keep) \
    KEY(double, activeIndicatorHeight, 4.2533993783993775, 2.9870898332436795, notReadRequired, keep) \
    KEY(CodableColor, activeIndicatorColor, rgba(0.000331, 0.478419, 1, 1), rgba(0.999996, 1, 1, 1), notReadRequired, keep) \
    KEY(CodableColor, activeIndicatorDarkColor, rgba(0, 0.589801, 1, 1), rgba(0.754069, 0.754087, 0.754077, 1), none, keep) \
    KEY(double, activeIndicatorIconGap, 0.6044305345004636, 0, notRead, keep) \
    KEY(double, buttonSize, 42, 28, notReadRequired, keep) \
    KEY(double, buttonCornerRadius, 7.979020979020979, 6, notReadRequired, keep) \
    KEY(bool, showButtonBackground, false, false, notRead, keep) \
    KEY(bool, enableHoverOutline, true, true, notRead, keep) \
    KEY(CodableColor, hoverOutlineColor, rgba(0.72, 0.75, 0.78, 0.52), rgba(0.72, 0.75, 0.78, 0.52), notRead, keep) \
    KEY(double, hoverOutlineInset, 6, 6, notRead, keep) \
    KEY(bool, enableIconMagnification, false, false, notRead, keep) \
    KEY(double, iconMagnificationAmount, 0, 0, notRead, magnificationAmount) \
    KEY(double, iconMagnificationLift, 0, 0, notRead, keep) \
    KEY(double, pressedIconDarkness, 0, 60, notRead, keep) \
    KEY(std::int64_t, runningIconClickAnimation, 1, 1, notRead, keep) \
    KEY(bool, showClock, true, false, notRead, keep) \
    KEY(std::int64_t, clockDisplayMode, 0, 0, notRead, keep) \
    KEY(std::int64_t, clockLineLayout, 0, 0, notRead, keep) \
    KEY(std::int64_t, clockScreenPosition, 0, 0, notRead, keep) \
    KEY(double, clockVerticalOffset, 0, 0, notRead, keep) \
    KEY(bool, clockDetachedFromTaskbar, false, false, notRead, keep) \
    KEY(double, detachedClockBottomGap, 0, 0, notRead, keep) \
    KEY(double, detachedClockRightGap, 0, 0, notRead, keep) \
    KEY(CodableColor, clockTimeColor, rgba(0, 0, 0, 0.82), rgba(0, 0, 0, 0.82), notRead, keep) \
    KEY(CodableColor, clockDateColor, rgba(0, 0, 0, 0.7), rgba(0, 0, 0, 0.7), notRead, keep) \
    KEY(double, topDetachedClockBottomGap, 0, 0, notRead, keep) \
    KEY(double, topDetachedClockRightGap, 0, 0, notRead, keep) \
    KEY(CodableColor, topClockTimeColor, rgba(0, 0, 0, 0.82), rgba(0, 0, 0, 0.82), notRead, keep) \
    KEY(CodableColor, topClockDateColor, rgba(0, 0, 0, 0.7), rgba(0, 0, 0, 0.7), notRead, keep) \
    KEY(double, previewTaskbarGap, 15, 15, notRead, keep) \
    KEY(bool, mergeAppWindowsInPreview, false, true, mergedPreviews, keep) \
    KEY(double, previewGlassTransparency, 0.78, 0.78, notRead, keep) \
    KEY(double, previewBorderWidth, 0, 0, notRead, keep) \
    KEY(CodableColor, previewBorderColor, rgba(0.574149, 0.574162, 0.574155, 1), rgba(0.754069, 0.754087, 0.754077, 1), notRead, keep) \
    KEY(double, previewHoverBorderWidth, 1, 0.65325196849727, notRead, keep) \
    KEY(CodableColor, previewHoverBorderColor, rgba(0, 0.533333, 1, 1), rgba(0, 0.533333, 1, 1), notRead, keep) \
    KEY(double, previewActiveBorderWidth, 3, 3, none, keep) \
    KEY(CodableColor, previewActiveBorderColor, NamedColor::systemYellow, NamedColor::systemYellow, none, keep) \
    KEY(double, previewShadowStrength, 65.7020399836178, 66.09372770087056, notRead, keep) \
    KEY(double, previewCornerRadius, 18, 18, notRead, cornerRadius) \
    KEY(double, previewThumbnailCornerRadius, 10, 10, notRead, cornerRadius) \
    KEY(double, previewScale, 0.9, 0.9, none, previewScale) \
    KEY(double, taskbarBottomGap, 0, 4, notRead, keep) \
    KEY(double, taskbarCornerRadius, 3, 18, notRead, keep) \
    KEY(double, taskbarWidthRatio, 1, 1, notRead, keep) \
    KEY(bool, taskbarAutoFitWidth, false, true, notRead, keep) \
    KEY(double, taskbarAutoFitExtraWidth, 14, 25, notRead, keep) \
    KEY(double, taskbarItemGap, 8.832167832167833, 5.570904602154602, notRead, keep) \
    KEY(double, taskbarLeftInset, 15, 0, notRead, keep) \
    KEY(double, windowTitleFontSize, 11, 11.5, notRead, keep) \
    KEY(CodableColor, windowTitleColor, rgba(0.250098, 0.250098, 0.250098, 1), rgba(1, 1, 1, 1), notRead, keep) \
    KEY(bool, enableWindowTitles, true, true, notRead, keep) \
    KEY(double, windowTitleBorderWidth, 0, 0.04993444055944056, notRead, keep) \
    KEY(CodableColor, windowTitleBorderColor, rgba(0.999996, 1, 1, 1), rgba(1, 1, 1, 0.28), notRead, keep) \
    KEY(double, windowTitleBackgroundHeight, 29.374125874125873, 41.34012199050338, notRead, keep) \
    KEY(double, windowTitleBackgroundCornerRadius, 5.849650349650349, 12.135968946847411, notRead, keep) \
    KEY(double, windowTitleBackgroundWidth, 130, 82.51180798760143, notRead, keep) \
    KEY(bool, enableDesktopCornerShortcut, true, true, desktopCorner, keep) \
    KEY(bool, enableWindowSwitcher, false, false, global, keep) \
    KEY(std::int64_t, windowSwitcherModifierKey, 0, 0, global, keep) \
    KEY(double, windowSwitcherTitleFontSize, 12, 13, global, keep) \
    KEY(CodableColor, windowSwitcherTitleColor, rgba(0.129842, 0.129846, 0.129844, 1), rgba(0, 0, 0, 0.82), global, keep) \
    KEY(bool, windowSwitcherTitleBold, true, false, global, keep) \
    KEY(double, windowSwitcherIconSize, 33, 28, global, keep) \
    KEY(double, previewSnapshotInterval, 5, 5, global, keep) \
    KEY(double, previewSnapshotMaxPixelWidth, 400, 400, global, keep) \
    KEY(std::int64_t, previewSnapshotCacheLimit, 50, 50, global, keep) \
    KEY(double, startMenuWidth, 650, 700, startMenu, keep) \
    KEY(double, startMenuHeight, 550, 600, startMenu, keep) \
    KEY(double, startMenuIconSize, 60, 60, startMenu, keep) \
    KEY(double, startMenuNameFontSize, 12, 12, startMenu, keep) \
    KEY(double, startMenuNameIconGap, 6, 6, startMenu, keep) \
    KEY(double, startMenuCornerRadius, 36, 36, startMenu, keep) \
    KEY(double, startMenuSearchWidth, 461.43356643356645, 482.72727272727275, startMenu, keep) \
    KEY(double, startMenuSearchHeight, 25, 25, startMenu, keep) \
    KEY(bool, useUserAvatarForStartIcon, false, false, startMenu, keep) \
    KEY(CodableColor, startMenuAvatarBorderColor, NamedColor::white, NamedColor::white, startMenu, keep) \
    KEY(double, startMenuAvatarBorderWidth, 2, 2, startMenu, avatarBorderWidth) \
    KEY(bool, todoWidgetEnabled, false, false, global, keep) \
    KEY(std::int64_t, taskbarScreenEdge, 0, 0, layout, keep) \
    KEY(bool, autoHideTaskbar, false, false, layout, keep) \
    KEY(std::int64_t, taskbarAvoidanceMode, 0, 0, none, keep) \
    KEY(bool, showStartMenuInTaskbar, true, true, layout, keep) \
    KEY(bool, showTrashInTaskbar, true, true, layout, keep) \
    KEY(bool, showTaskbarSeparator, true, true, layout, keep) \
    KEY(bool, showTimeWidgetInTaskbar, false, false, layout, keep) \
    KEY(bool, showSystemMonitorWidgetInTaskbar, false, false, layout, keep) \
    KEY(std::int64_t, activeIconClickAction, 0, 0, layout, keep)

// clang-format on
