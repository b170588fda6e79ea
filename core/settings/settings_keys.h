#pragma once

// The keys of settings.json and of a theme record as data, for tools and checks that walk them
// (the command-line tool, the key-table tests). Derived from the same declarations as the codecs.

#include <span>
#include <string_view>

#include "core/settings/settings_value_types.h"

namespace tavrel {

// How the top-level copy of a per-theme key is read (taskbar_theme_configuration_keys.h).
enum class MirrorGroup {
    none,
    startMenu,
    desktopCorner,
    mergedPreviews,
    layout,
    global,
    notRead,
    notReadRequired,
};

enum class SettingsKeyRole {
    document,  // "themeIsolationVersion", "theme", "windowsSettings", "liquidGlassSettings"
    global,    // a value of its own (the ten global mirrors included)
    mirror,    // the top-level copy of a per-theme key
    derived,   // "applicationStorageBoxEnabled": written from the storage boxes
    legacy,    // read by older rules, never written
};

struct SettingsKeyInfo {
    std::string_view name;
    SettingsValueKind kind;
    SettingsKeyRole role;
    MirrorGroup mirror;
};

struct ThemeKeyInfo {
    std::string_view name;
    SettingsValueKind kind;
    MirrorGroup mirror;
};

// Every top-level key, in the order the document is written, then the legacy keys.
std::span<const SettingsKeyInfo> settingsDocumentKeys();
std::span<const ThemeKeyInfo> themeConfigurationKeys();

const SettingsKeyInfo* findSettingsDocumentKey(std::string_view name);
const ThemeKeyInfo* findThemeConfigurationKey(std::string_view name);

std::string_view settingsValueKindName(SettingsValueKind kind);

}  // namespace tavrel
