#include "core/settings_transfer/settings_reset.h"

#include "core/settings/settings_differences.h"
#include "core/settings/settings_keys.h"
#include "core/settings/taskbar_settings_keys.h"
#include "core/settings/taskbar_theme_configuration_keys.h"

namespace tavrel {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kWindowsRecord = "windowsSettings";
constexpr std::string_view kLiquidGlassRecord = "liquidGlassSettings";

std::string_view recordName(TaskbarTheme theme) {
    return theme == TaskbarTheme::windows ? kWindowsRecord : kLiquidGlassRecord;
}

const TaskbarSettings& defaultSettings() {
    static const TaskbarSettings defaults;
    return defaults;
}

Json documentOf(const TaskbarSettings& settings) {
    const auto bytes = settings.encoded();
    return bytes ? Json::parse(*bytes, nullptr, false) : Json::object();
}

Json memberOf(const Json& document, std::string_view record, std::string_view name) {
    const Json* scope = &document;
    if (!record.empty()) {
        const auto found = document.find(std::string(record));
        if (found == document.end()) return nullptr;
        scope = &*found;
    }
    const auto found = scope->find(std::string(name));
    return found == scope->end() ? Json(nullptr) : *found;
}

}  // namespace

bool resetThemeSettingsKey(TaskbarSettings& settings, TaskbarTheme theme, std::string_view name) {
    TaskbarThemeConfiguration& record = settings.profile(theme);
    const TaskbarThemeConfiguration& defaults = defaultSettings().profile(theme);
#define TAVREL_RESET_THEME_KEY(Type, key, windowsDefault, liquidGlassDefault, mirror, setter) \
    if (name == #key) {                                                                       \
        record.key = defaults.key;                                                            \
        return true;                                                                          \
    }
    TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_RESET_THEME_KEY)
#undef TAVREL_RESET_THEME_KEY
    return false;
}

bool resetGlobalSettingsKey(TaskbarSettings& settings, std::string_view name) {
    const TaskbarSettings& defaults = defaultSettings();
    if (name == "theme") {
        settings.theme = defaults.theme;
        return true;
    }
#define TAVREL_RESET_KEY(Type, key, defaultValue, rule) \
    if (name == #key) {                                 \
        settings.key = defaults.key;                    \
        return true;                                    \
    }
#define TAVREL_RESET_VALUE_KEY(Type, key, defaultValue, rule) \
    if (name == #key) {                                       \
        settings.key##Value = defaults.key##Value;            \
        return true;                                          \
    }
    TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_RESET_KEY, TAVREL_RESET_VALUE_KEY)
#undef TAVREL_RESET_KEY
#undef TAVREL_RESET_VALUE_KEY
    return false;
}

Status resetSettingsKey(TaskbarSettings& settings, std::string_view key) {
    const std::string text(key);
    if (const auto dot = key.find('.'); dot != std::string_view::npos) {
        const std::string_view record = key.substr(0, dot);
        const std::string_view name = key.substr(dot + 1);
        if (record != kWindowsRecord && record != kLiquidGlassRecord) {
            return Error{"unknown key '" + text +
                         "': only windowsSettings.KEY and liquidGlassSettings.KEY have keys of "
                         "their own"};
        }
        const TaskbarTheme theme =
            record == kWindowsRecord ? TaskbarTheme::windows : TaskbarTheme::liquidGlass;
        if (!resetThemeSettingsKey(settings, theme, name)) {
            return Error{"unknown key '" + text + "': '" + std::string(name) +
                         "' is no key of a theme"};
        }
        return Status::success();
    }
    if (key == kWindowsRecord || key == kLiquidGlassRecord) {
        const TaskbarTheme theme =
            key == kWindowsRecord ? TaskbarTheme::windows : TaskbarTheme::liquidGlass;
        settings.profile(theme) = defaultSettings().profile(theme);
        return Status::success();
    }
    const SettingsKeyInfo* info = findSettingsDocumentKey(key);
    if (info == nullptr)
        return Error{"unknown key '" + text + "' (tavrel-settings keys lists them)"};
    switch (info->role) {
        case SettingsKeyRole::legacy:
            return Error{"'" + text + "' is a legacy key: it is read from older documents and " +
                         "never written"};
        case SettingsKeyRole::derived:
            return Error{"'" + text + "' follows the storage boxes; reset " +
                         "applicationStorageBoxes instead"};
        case SettingsKeyRole::mirror:
            if (key == "opacity") {
                // The effective opacity: the Windows record's, or the liquid-glass material's.
                TaskbarSettings defaults = defaultSettings();
                defaults.theme = settings.theme;
                defaults.liquidGlassBackgroundMaterial = settings.liquidGlassBackgroundMaterial;
                settings.setOpacity(defaults.opacity());
                return Status::success();
            }
            resetThemeSettingsKey(settings, settings.theme, key);
            return Status::success();
        case SettingsKeyRole::document:
        case SettingsKeyRole::global:
            break;
    }
    if (key == "themeIsolationVersion") return Error{"'themeIsolationVersion' is always 1"};
    if (!resetGlobalSettingsKey(settings, key)) {
        return Error{"'" + text + "' cannot be reset on its own"};
    }
    return Status::success();
}

void resetAllSettings(TaskbarSettings& settings) {
    settings = defaultSettings();
}

std::vector<SettingsDefaultDifference> settingsDefaultDifferences(const TaskbarSettings& settings) {
    const Json current = documentOf(settings);
    const Json defaults = documentOf(defaultSettings());
    std::vector<SettingsDefaultDifference> differences;
    for (const SettingsKeyDifference& difference :
         settingsDifferences(settings, defaultSettings())) {
        const std::string_view record = difference.theme ? recordName(*difference.theme) : "";
        std::string key = record.empty() ? std::string(difference.name)
                                         : std::string(record) + "." + std::string(difference.name);
        differences.push_back({std::move(key), memberOf(current, record, difference.name),
                               memberOf(defaults, record, difference.name)});
    }
    return differences;
}

}  // namespace tavrel
