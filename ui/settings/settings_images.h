#pragma once

// The window's images by resource name (PNG files found by the resource lookup).

#include <functional>
#include <string_view>

#include <QIcon>
#include <QImage>

namespace tavrel {

using SettingsImageLookup = std::function<QImage(std::string_view name)>;

// The image "<name>.png" of this process's resources, read once; a null image when it is
// missing or unreadable.
QImage settingsResourceImage(std::string_view name);

// An icon of the image "<name>.png", read when one of its pixmaps is first asked for: the
// window system asks for the window icon as the window is made on X11, while on Wayland and
// without a display nothing does. Null when the resource is missing.
QIcon settingsResourceIcon(std::string_view name);

struct SettingsImageName {
    static constexpr std::string_view appLogo = "StartMenuIcon22_AppLogoSafe";
    static constexpr std::string_view windowsThemePreview = "TaskbarThemeWindowsPreview";
    static constexpr std::string_view liquidGlassThemePreview = "TaskbarThemeLiquidGlassPreview";
    // The theme pictures have the size they are shown at on a screen at 1:1; the same name
    // with this suffix has twice the pixels, for sharper screens.
    static constexpr std::string_view doubleResolutionSuffix = "@2x";
};

}  // namespace tavrel
