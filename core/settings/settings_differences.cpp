#include "core/settings/settings_differences.h"

#include "core/settings/taskbar_settings_keys.h"
#include "core/settings/taskbar_theme_configuration_keys.h"

namespace tavrel {

namespace {

void recordDifferences(const TaskbarThemeConfiguration& a, const TaskbarThemeConfiguration& b,
                       TaskbarTheme theme, std::vector<SettingsKeyDifference>& differences) {
#define TAVREL_DIFFERENT_THEME_KEY(Type, name, windowsDefault, liquidGlassDefault, mirror, setter) \
    if (!(a.name == b.name)) differences.push_back({#name, theme});
    TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_DIFFERENT_THEME_KEY)
#undef TAVREL_DIFFERENT_THEME_KEY
}

}  // namespace

std::vector<SettingsKeyDifference> settingsDifferences(const TaskbarSettings& a,
                                                       const TaskbarSettings& b) {
    std::vector<SettingsKeyDifference> differences;
    if (a.theme != b.theme) differences.push_back({"theme", std::nullopt});
#define TAVREL_DIFFERENT_KEY(Type, name, defaultValue, rule) \
    if (!(a.name == b.name)) differences.push_back({#name, std::nullopt});
#define TAVREL_DIFFERENT_VALUE_KEY(Type, name, defaultValue, rule) \
    if (!(a.name##Value == b.name##Value)) differences.push_back({#name, std::nullopt});
    TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_DIFFERENT_KEY, TAVREL_DIFFERENT_VALUE_KEY)
#undef TAVREL_DIFFERENT_KEY
#undef TAVREL_DIFFERENT_VALUE_KEY
    recordDifferences(a.windowsProfile, b.windowsProfile, TaskbarTheme::windows, differences);
    recordDifferences(a.liquidGlassProfile, b.liquidGlassProfile, TaskbarTheme::liquidGlass,
                      differences);
    return differences;
}

}  // namespace tavrel
