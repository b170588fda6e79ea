#include "core/settings/taskbar_theme_configuration.h"

namespace tavrel {

TaskbarThemeConfiguration TaskbarThemeConfiguration::windowsDefaults() {
    return {};
}

TaskbarThemeConfiguration TaskbarThemeConfiguration::liquidGlassDefaults() {
    TaskbarThemeConfiguration record;
#define TAVREL_LIQUID_GLASS_DEFAULT(Type, name, windowsDefault, liquidGlassDefault, mirror, \
                                    setter)                                                 \
    record.name = liquidGlassDefault;
    TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_LIQUID_GLASS_DEFAULT)
#undef TAVREL_LIQUID_GLASS_DEFAULT
    return record;
}

}  // namespace tavrel
