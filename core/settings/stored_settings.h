#pragma once

// The flat record that settings.json encodes: every key of the document, each optional on
// reading. Decoding is tolerant per key (a key of the wrong type is absent, noted and raises the
// recovery flag); a document that is no JSON object, too large or nested too deep is unreadable
// as a whole.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/foundation/result.h"
#include "core/settings/settings_value_types.h"
#include "core/settings/taskbar_settings_keys.h"
#include "core/settings/taskbar_theme_configuration.h"

namespace tavrel {

class TaskbarSettings;

namespace settings_json {
struct DecodeIssues;
}

struct SettingsDocumentLimits {
    // Far above any real document (about 20 KB) and small enough to read at once.
    static constexpr std::size_t maxBytes = 4 * 1024 * 1024;
    // A real document nests four levels deep (a storage box's order list).
    static constexpr int maxDepth = 64;
};

struct StoredSettings {
    std::optional<std::int64_t> themeIsolationVersion;
    std::optional<std::int64_t> theme;

#define TAVREL_STORED_GLOBAL(Type, name, defaultValue, rule) std::optional<StoredValue<Type>> name;
    TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_STORED_GLOBAL, TAVREL_STORED_GLOBAL)
#undef TAVREL_STORED_GLOBAL

    // Written as whether any storage box is visible; read only without "applicationStorageBoxes".
    std::optional<bool> applicationStorageBoxEnabled;

    // Top-level copies of the current theme's values (the "global" group is above).
#define TAVREL_STORED_MIRROR_none(Type, name, windowsDefault)
#define TAVREL_STORED_MIRROR_global(Type, name, windowsDefault)
#define TAVREL_STORED_MIRROR_startMenu(Type, name, windowsDefault) std::optional<Type> name;
#define TAVREL_STORED_MIRROR_desktopCorner(Type, name, windowsDefault) std::optional<Type> name;
#define TAVREL_STORED_MIRROR_mergedPreviews(Type, name, windowsDefault) std::optional<Type> name;
#define TAVREL_STORED_MIRROR_layout(Type, name, windowsDefault) std::optional<Type> name;
#define TAVREL_STORED_MIRROR_notRead(Type, name, windowsDefault) std::optional<Type> name;
#define TAVREL_STORED_MIRROR_notReadRequired(Type, name, windowsDefault) Type name = windowsDefault;
#define TAVREL_STORED_MIRROR(Type, name, windowsDefault, liquidGlassDefault, mirror, setter) \
    TAVREL_STORED_MIRROR_##mirror(Type, name, windowsDefault)
    TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_STORED_MIRROR)
#undef TAVREL_STORED_MIRROR
#undef TAVREL_STORED_MIRROR_none
#undef TAVREL_STORED_MIRROR_global
#undef TAVREL_STORED_MIRROR_startMenu
#undef TAVREL_STORED_MIRROR_desktopCorner
#undef TAVREL_STORED_MIRROR_mergedPreviews
#undef TAVREL_STORED_MIRROR_layout
#undef TAVREL_STORED_MIRROR_notRead
#undef TAVREL_STORED_MIRROR_notReadRequired

    std::optional<TaskbarThemeConfiguration> windowsSettings;
    std::optional<TaskbarThemeConfiguration> liquidGlassSettings;

    // Legacy keys: read, never written.
    std::optional<bool> screenCornersEnabled;
    std::optional<bool> hideNotchTopMaskEnabled;

    // The record of a settings object, as save() writes it: every key except the legacy ones,
    // the mirrors with the current theme's values, "themeIsolationVersion" 1.
    static StoredSettings from(const TaskbarSettings& settings);

    // Reads a whole document. `issues`, when given, receives the keys that were dropped.
    static Result<StoredSettings> decode(std::string_view bytes,
                                         settings_json::DecodeIssues* issues = nullptr);

    // Compact JSON, keys in a fixed order: the same record always gives the same bytes. Fails
    // only for a number JSON cannot carry (NaN, infinity).
    Result<std::string> encode() const;

    friend bool operator==(const StoredSettings&, const StoredSettings&) = default;
};

}  // namespace tavrel
