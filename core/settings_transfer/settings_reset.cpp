#include "core/settings_transfer/settings_reset.h"

#include "core/settings/settings_compatibility_recovery.h"
#include "core/settings/settings_differences.h"
#include "core/settings/settings_keys.h"
#include "core/settings/stored_settings.h"
#include "core/settings/taskbar_settings_keys.h"
#include "core/settings/taskbar_theme_configuration_keys.h"
#include "platform/files.h"

namespace tavrel {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kWindowsRecord = "windowsSettings";
constexpr std::string_view kLiquidGlassRecord = "liquidGlassSettings";

std::string_view recordName(TaskbarTheme theme) {
    return theme == TaskbarTheme::windows ? kWindowsRecord : kLiquidGlassRecord;
}

TaskbarSettings& installedDefaults() {
    static TaskbarSettings defaults;
    return defaults;
}

const TaskbarSettings& defaultSettings() {
    return installedDefaults();
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

// The settings a document holding everything of `settings` but the global key `name` loads into:
// where that key reads its default, which may depend on the other values (the current theme's
// record, for instance).
TaskbarSettings settingsWithout(const TaskbarSettings& settings, std::string_view name) {
    Json document = documentOf(settings);
    document.erase(std::string(name));
    // Without boxes a document falls back to the box the derived switch describes.
    if (name == "applicationStorageBoxes") document.erase("applicationStorageBoxEnabled");
    SettingsCompatibilityRecovery::reset();
    auto record = StoredSettings::decode(document.dump());
    SettingsCompatibilityRecovery::consume();
    TaskbarSettings loaded;
    if (record) loaded.map(*record);
    return loaded;
}

}  // namespace

const TaskbarSettings& settingsResetDefaults() {
    return installedDefaults();
}

void installFirstStartSettingsDefaults(const SettingsEnvironment& environment) {
    // As a load without settings.json: the shipped document, else the built-in defaults, then
    // the edge the native Dock leaves free.
    TaskbarSettings defaults;
    if (const auto url =
            environment.defaultDocument ? environment.defaultDocument() : std::nullopt) {
        if (auto bytes = platform::readFile(*url, SettingsDocumentLimits::maxBytes)) {
            SettingsCompatibilityRecovery::reset();
            auto record = StoredSettings::decode(*bytes);
            SettingsCompatibilityRecovery::consume();
            if (record) defaults.map(*record);
        }
    }
    defaults.setTaskbarEdgeFromNativeDock(environment.preferences.get());
    installedDefaults() = std::move(defaults);
}

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
    if (name == "theme") {
        settings.theme = defaultSettings().theme;
        return true;
    }
#define TAVREL_RESET_KEY(Type, key, defaultValue, rule)     \
    if (name == #key) {                                     \
        settings.key = settingsWithout(settings, name).key; \
        return true;                                        \
    }
#define TAVREL_RESET_VALUE_KEY(Type, key, defaultValue, rule)             \
    if (name == #key) {                                                   \
        settings.key##Value = settingsWithout(settings, name).key##Value; \
        return true;                                                      \
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
    std::vector<SettingsDefaultDifference> differences;
    const auto add = [&](std::string_view record, std::string_view name, const Json& defaults) {
        std::string key =
            record.empty() ? std::string(name) : std::string(record) + "." + std::string(name);
        differences.push_back(
            {std::move(key), memberOf(current, record, name), memberOf(defaults, record, name)});
    };
    if (settings.theme != defaultSettings().theme) add("", "theme", documentOf(defaultSettings()));
#define TAVREL_DIFFERENT_KEY(Type, key, defaultValue, rule)              \
    if (const TaskbarSettings without = settingsWithout(settings, #key); \
        !(settings.key == without.key)) {                                \
        add("", #key, documentOf(without));                              \
    }
#define TAVREL_DIFFERENT_VALUE_KEY(Type, key, defaultValue, rule)        \
    if (const TaskbarSettings without = settingsWithout(settings, #key); \
        !(settings.key##Value == without.key##Value)) {                  \
        add("", #key, documentOf(without));                              \
    }
    TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_DIFFERENT_KEY, TAVREL_DIFFERENT_VALUE_KEY)
#undef TAVREL_DIFFERENT_KEY
#undef TAVREL_DIFFERENT_VALUE_KEY
    // A theme's record keys default to that theme's defaults, whatever else is stored.
    const Json defaults = documentOf(defaultSettings());
    for (const TaskbarTheme theme : {TaskbarTheme::windows, TaskbarTheme::liquidGlass}) {
        for (const SettingsKeyDifference& difference :
             settingsDifferences(settings, defaultSettings())) {
            if (difference.theme == theme) add(recordName(theme), difference.name, defaults);
        }
    }
    return differences;
}

}  // namespace tavrel
