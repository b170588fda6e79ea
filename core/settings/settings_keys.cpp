#include "core/settings/settings_keys.h"

#include <algorithm>
#include <vector>

#include "core/settings/taskbar_settings_keys.h"
#include "core/settings/taskbar_theme_configuration_keys.h"

namespace tavrel {

namespace {

const std::vector<ThemeKeyInfo>& themeKeys() {
    static const std::vector<ThemeKeyInfo> keys = [] {
        std::vector<ThemeKeyInfo> list;
#define TAVREL_THEME_KEY_INFO(Type, name, windowsDefault, liquidGlassDefault, mirror, setter) \
    list.push_back({#name, settingsValueKind<Type>(), MirrorGroup::mirror});
        TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_THEME_KEY_INFO)
#undef TAVREL_THEME_KEY_INFO
        return list;
    }();
    return keys;
}

const std::vector<SettingsKeyInfo>& documentKeys() {
    static const std::vector<SettingsKeyInfo> keys = [] {
        std::vector<SettingsKeyInfo> list;
        const auto add = [&](std::string_view name, SettingsValueKind kind, SettingsKeyRole role,
                             MirrorGroup mirror = MirrorGroup::none) {
            list.push_back({name, kind, role, mirror});
        };
        add("themeIsolationVersion", SettingsValueKind::integer, SettingsKeyRole::document);
        add("theme", SettingsValueKind::integer, SettingsKeyRole::document);
#define TAVREL_GLOBAL_KEY_INFO(Type, name, defaultValue, rule) \
    add(#name, settingsValueKind<StoredValue<Type>>(), SettingsKeyRole::global);
        TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_GLOBAL_KEY_INFO, TAVREL_GLOBAL_KEY_INFO)
#undef TAVREL_GLOBAL_KEY_INFO
        add("applicationStorageBoxEnabled", SettingsValueKind::boolean, SettingsKeyRole::derived);
        for (const auto& key : themeKeys()) {
            if (key.mirror == MirrorGroup::none) continue;
            if (key.mirror == MirrorGroup::global) {
                // One top-level key serves as the global value and as the mirror.
                auto found = std::find_if(list.begin(), list.end(), [&](const auto& entry) {
                    return entry.name == key.name;
                });
                if (found != list.end()) found->mirror = MirrorGroup::global;
                continue;
            }
            add(key.name, key.kind, SettingsKeyRole::mirror, key.mirror);
        }
        add("windowsSettings", SettingsValueKind::themeConfiguration, SettingsKeyRole::document);
        add("liquidGlassSettings", SettingsValueKind::themeConfiguration,
            SettingsKeyRole::document);
        add("screenCornersEnabled", SettingsValueKind::boolean, SettingsKeyRole::legacy);
        add("hideNotchTopMaskEnabled", SettingsValueKind::boolean, SettingsKeyRole::legacy);
        add("hideNotchBottomMaskEnabled", SettingsValueKind::boolean, SettingsKeyRole::legacy);
        return list;
    }();
    return keys;
}

}  // namespace

std::span<const SettingsKeyInfo> settingsDocumentKeys() {
    return documentKeys();
}

std::span<const ThemeKeyInfo> themeConfigurationKeys() {
    return themeKeys();
}

const SettingsKeyInfo* findSettingsDocumentKey(std::string_view name) {
    const auto& keys = documentKeys();
    const auto found =
        std::find_if(keys.begin(), keys.end(), [&](const auto& key) { return key.name == name; });
    return found == keys.end() ? nullptr : &*found;
}

const ThemeKeyInfo* findThemeConfigurationKey(std::string_view name) {
    const auto& keys = themeKeys();
    const auto found =
        std::find_if(keys.begin(), keys.end(), [&](const auto& key) { return key.name == name; });
    return found == keys.end() ? nullptr : &*found;
}

std::string_view settingsValueKindName(SettingsValueKind kind) {
    switch (kind) {
        case SettingsValueKind::boolean:
            return "a boolean";
        case SettingsValueKind::number:
            return "a number";
        case SettingsValueKind::integer:
            return "an integer";
        case SettingsValueKind::color:
            return "a colour object {\"red\", \"green\", \"blue\", \"alpha\"}";
        case SettingsValueKind::string:
            return "a string";
        case SettingsValueKind::stringList:
            return "a list of strings";
        case SettingsValueKind::excludedApplications:
            return "a list of applications {\"name\", \"bundleIdentifier\", \"path\"}";
        case SettingsValueKind::closeProtectionApps:
            return "a list of applications {\"appName\", \"bundleIdentifier\", \"path\"}";
        case SettingsValueKind::storageBoxes:
            return "a list of storage boxes {\"id\", \"name\", \"isVisible\", …}";
        case SettingsValueKind::themeConfiguration:
            return "a theme configuration object";
    }
    return "a value";
}

}  // namespace tavrel
