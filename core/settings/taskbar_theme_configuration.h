#pragma once

// The values each theme keeps for itself, so that switching the theme brings back everything the
// user had set for it. The document stores two of them, "windowsSettings" and
// "liquidGlassSettings".

#include <cstdint>

#include "core/settings/codable_color.h"
#include "core/settings/taskbar_theme_configuration_keys.h"

namespace tavrel {

struct TaskbarThemeConfiguration {
    // A default-constructed record holds the Windows defaults, which is also what a key that is
    // missing from a stored record reads as, in either theme.
#define TAVREL_THEME_FIELD(Type, name, windowsDefault, liquidGlassDefault, mirror, setter) \
    Type name = windowsDefault;
    TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_THEME_FIELD)
#undef TAVREL_THEME_FIELD

    static TaskbarThemeConfiguration windowsDefaults();
    static TaskbarThemeConfiguration liquidGlassDefaults();

    friend bool operator==(const TaskbarThemeConfiguration&,
                           const TaskbarThemeConfiguration&) = default;
};

}  // namespace tavrel
