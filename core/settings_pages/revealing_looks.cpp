#include "core/settings_pages/revealing_looks.h"

namespace tavrel {

const std::vector<SettingsLook>& rowRevealingLooks() {
    static const std::vector<SettingsLook> all{
        {"windows, everything shown",
         [](TaskbarSettings& s) {
             s.theme = TaskbarTheme::windows;
             s.windowsProfile.alignment = 0;
             s.windowsProfile.enableIconMagnification = true;
             s.windowsProfile.enableWindowTitles = true;
         }},
        {"liquid glass, flat and frosted",
         [](TaskbarSettings& s) {
             s.theme = TaskbarTheme::liquidGlass;
             s.liquidGlassBackgroundStyle = TaskbarBackgroundStyle::flat;
             s.liquidGlassBackgroundMaterial = TaskbarLiquidGlassBackgroundMaterial::frosted;
             s.liquidGlassProfile.enableIconMagnification = true;
         }},
        {"liquid glass, flat and clear",
         [](TaskbarSettings& s) {
             s.theme = TaskbarTheme::liquidGlass;
             s.liquidGlassBackgroundStyle = TaskbarBackgroundStyle::flat;
             s.liquidGlassBackgroundMaterial = TaskbarLiquidGlassBackgroundMaterial::clear;
         }},
        {"liquid glass, dimensional",
         [](TaskbarSettings& s) {
             s.theme = TaskbarTheme::liquidGlass;
             s.liquidGlassBackgroundStyle = TaskbarBackgroundStyle::dimensional;
         }},
        {"windows, mac27 launcher, clock at the top, sized storage box",
         [](TaskbarSettings& s) {
             s.theme = TaskbarTheme::windows;
             s.startMenuStyle = StartMenuStyle::mac27;
             s.windowsProfile.clockScreenPosition = 1;
             if (!s.applicationStorageBoxes.empty()) {
                 s.applicationStorageBoxes.front().size = ApplicationStorageBoxSize::small;
             }
         }},
    };
    return all;
}

}  // namespace tavrel
