#pragma once

// "应用启动台" and the native Dock launcher page: the launcher's style and its own rows per
// style, its entries, the shortcut, the grid, the hover outline and the launcher icon. The
// native Dock launcher tile keeps its own copy of the size and avatar settings; the page keeps
// that copy equal to the launcher values of the current theme.

#include <array>
#include <string_view>

#include "core/settings/settings_enumerations.h"
#include "core/settings/taskbar_settings.h"

namespace tavrel {

struct StartMenuPageTexts {
    static constexpr std::string_view styleTitle = "启动台样式";
    static constexpr std::string_view classicSection = "经典格网";
    static constexpr std::string_view popUpSection = "弹窗";
    static constexpr std::string_view gridSection = "应用网格";
    static constexpr std::string_view shortcutTitle = "打开快捷键";
};

// The classic grid's columns (3…12) and rows (2…8) are whole numbers; the icon scale is a factor
// of 0.5…1.5 edited as a percentage (50…150, step 5).
double startMenuClassicIconScalePercent(double storedFactor);
double startMenuClassicIconScaleFromPercent(double percent);

// The native Dock launcher's copy of the current theme's launcher size and avatar values.
void syncNativeDockLauncherAppearanceFromStartMenu(TaskbarSettings& settings);
// The eleven keys that copy writes.
const std::array<std::string_view, 11>& nativeDockLauncherAppearanceKeys();

}  // namespace tavrel
