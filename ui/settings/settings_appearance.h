#pragma once

// The appearance rule with Qt palettes: automatic takes the desktop's own palette (as it was
// when the application started), light and dark fixed palettes of our own.

#include <QPalette>

#include "core/settings/settings_enumerations.h"

namespace tavrel {

QPalette lightSettingsPalette();
QPalette darkSettingsPalette();

class SettingsAppearance {
public:
    // Remembers the application's current palette as the system's.
    SettingsAppearance();

    QPalette palette(TavrelAppearanceMode mode) const;
    // Sets the application's palette; every window follows it.
    void apply(TavrelAppearanceMode mode) const;

private:
    QPalette system_;
};

}  // namespace tavrel
