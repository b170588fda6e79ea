#pragma once

// Settings back to their defaults, key by key, and the list of keys that are not at their
// default. A key of a theme's record defaults to that theme's default; a global key to the value
// it takes when the document does not hold it, which for some keys follows the other values
// (the current theme's record); "theme" and a reset of everything to a new settings object
// (what `tavrel-settings defaults` prints), with the liquid-glass theme current.
//
// Keys are named as the document names them: "taskbarHeight" (a global key, or the current
// theme's value of a per-theme key), "windowsSettings.taskbarHeight" and
// "liquidGlassSettings.taskbarHeight" (one theme's own value), "windowsSettings" (a whole record).

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/foundation/result.h"
#include "core/settings/settings_enumerations.h"
#include "core/settings/settings_environment.h"
#include "core/settings/taskbar_settings.h"

namespace tavrel {

// The settings a reset puts back and the markers compare with: those a new user starts with.
// They are the built-in defaults until a program installs what a first start loads: the shipped
// default document (DefaultSettings.json, else the built-in defaults), with the taskbar on the
// screen edge the native Dock leaves free. Install once, at the start, on the main thread.
const TaskbarSettings& settingsResetDefaults();
void installFirstStartSettingsDefaults(const SettingsEnvironment& environment);

// One key of one theme's record back to that theme's default; false for a name that is no key
// of a theme record.
bool resetThemeSettingsKey(TaskbarSettings& settings, TaskbarTheme theme, std::string_view name);
// One global key (or "theme") back to its default; false for a name that is no global key.
bool resetGlobalSettingsKey(TaskbarSettings& settings, std::string_view name);

// A key as the command line names it. The error says why the key cannot be reset (unknown,
// legacy, derived).
Status resetSettingsKey(TaskbarSettings& settings, std::string_view key);

// Every value back to its default.
void resetAllSettings(TaskbarSettings& settings);

struct SettingsDefaultDifference {
    std::string key;  // "hideNativeDock", "windowsSettings.taskbarHeight"
    nlohmann::ordered_json value;
    nlohmann::ordered_json defaultValue;
};

// Every key whose stored value differs from its default: "theme", the global keys, then each
// theme record's keys, in the order of the key tables.
std::vector<SettingsDefaultDifference> settingsDefaultDifferences(const TaskbarSettings& settings);

}  // namespace tavrel
