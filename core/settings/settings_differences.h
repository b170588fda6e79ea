#pragma once

// Which keys hold different values in two settings objects: every global key and every key of
// each theme's record, by the names the settings document uses. The changed-value markers, page
// resets and the checks that a row writes exactly its own key read this.

#include <optional>
#include <string_view>
#include <vector>

#include "core/settings/settings_enumerations.h"
#include "core/settings/taskbar_settings.h"

namespace tavrel {

struct SettingsKeyDifference {
    std::string_view name;
    // The theme whose record differs; nothing for a global key.
    std::optional<TaskbarTheme> theme;
    friend bool operator==(const SettingsKeyDifference&, const SettingsKeyDifference&) = default;
};

// In the order of the key tables: the current theme first ("theme"), the global keys, then the
// Windows record's keys and the liquid-glass record's.
std::vector<SettingsKeyDifference> settingsDifferences(const TaskbarSettings& a,
                                                       const TaskbarSettings& b);

}  // namespace tavrel
