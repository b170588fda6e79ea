#include "core/settings/stored_settings.h"

#include <algorithm>

#include "core/foundation/json_nesting.h"
#include "core/settings/settings_codecs.h"
#include "core/settings/settings_json.h"
#include "core/settings/settings_normalization.h"
#include "core/settings/taskbar_settings.h"

namespace tavrel {

using settings_json::CompatibleKeyedDecodingContainer;
using settings_json::DecodeIssues;
using settings_json::Json;
using settings_json::JsonWriter;
using settings_json::KeyPath;

namespace {

Result<Json> parseDocument(std::string_view bytes) {
    if (bytes.size() > SettingsDocumentLimits::maxBytes) {
        return Error{"the document is larger than " +
                     std::to_string(SettingsDocumentLimits::maxBytes) + " bytes"};
    }
    if (bytes.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        return Error{"the document is empty"};
    }
    if (jsonNestingDepth(bytes, SettingsDocumentLimits::maxDepth) >
        SettingsDocumentLimits::maxDepth) {
        return Error{"the document nests deeper than " +
                     std::to_string(SettingsDocumentLimits::maxDepth) + " levels"};
    }
    try {
        return Json::parse(bytes);
    } catch (const Json::exception& error) {
        return Error{std::string("the document is not valid JSON: ") + error.what()};
    }
}

}  // namespace

Result<StoredSettings> StoredSettings::decode(std::string_view bytes, DecodeIssues* issues) {
    auto parsed = parseDocument(bytes);
    if (!parsed) return parsed.error();
    const Json& document = *parsed;
    if (!document.is_object()) return Error{"the document is not a JSON object"};

    const KeyPath root;
    const CompatibleKeyedDecodingContainer keys(document, root, issues);
    StoredSettings record;
    record.themeIsolationVersion = keys.decodeIfPresent<std::int64_t>("themeIsolationVersion");
    record.theme = keys.decodeIfPresent<std::int64_t>("theme");

#define TAVREL_DECODE_GLOBAL(Type, name, defaultValue, rule) \
    record.name = keys.decodeIfPresent<StoredValue<Type>>(#name);
    TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_DECODE_GLOBAL, TAVREL_DECODE_GLOBAL)
#undef TAVREL_DECODE_GLOBAL
    record.applicationStorageBoxEnabled =
        keys.decodeIfPresent<bool>("applicationStorageBoxEnabled");

#define TAVREL_DECODE_MIRROR_none(Type, name)
#define TAVREL_DECODE_MIRROR_global(Type, name)
#define TAVREL_DECODE_MIRROR_OPTIONAL(Type, name) record.name = keys.decodeIfPresent<Type>(#name);
#define TAVREL_DECODE_MIRROR_startMenu TAVREL_DECODE_MIRROR_OPTIONAL
#define TAVREL_DECODE_MIRROR_desktopCorner TAVREL_DECODE_MIRROR_OPTIONAL
#define TAVREL_DECODE_MIRROR_mergedPreviews TAVREL_DECODE_MIRROR_OPTIONAL
#define TAVREL_DECODE_MIRROR_layout TAVREL_DECODE_MIRROR_OPTIONAL
#define TAVREL_DECODE_MIRROR_notRead TAVREL_DECODE_MIRROR_OPTIONAL
#define TAVREL_DECODE_MIRROR_notReadRequired(Type, name) \
    if (auto value = keys.decodeIfPresent<Type>(#name)) record.name = *value;
#define TAVREL_DECODE_MIRROR(Type, name, windowsDefault, liquidGlassDefault, mirror, setter) \
    TAVREL_DECODE_MIRROR_##mirror(Type, name)
    TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_DECODE_MIRROR)
#undef TAVREL_DECODE_MIRROR
#undef TAVREL_DECODE_MIRROR_none
#undef TAVREL_DECODE_MIRROR_global
#undef TAVREL_DECODE_MIRROR_OPTIONAL
#undef TAVREL_DECODE_MIRROR_startMenu
#undef TAVREL_DECODE_MIRROR_desktopCorner
#undef TAVREL_DECODE_MIRROR_mergedPreviews
#undef TAVREL_DECODE_MIRROR_layout
#undef TAVREL_DECODE_MIRROR_notRead
#undef TAVREL_DECODE_MIRROR_notReadRequired

    record.windowsSettings = keys.decodeIfPresent<TaskbarThemeConfiguration>("windowsSettings");
    record.liquidGlassSettings =
        keys.decodeIfPresent<TaskbarThemeConfiguration>("liquidGlassSettings");
    record.screenCornersEnabled = keys.decodeIfPresent<bool>("screenCornersEnabled");
    record.hideNotchTopMaskEnabled = keys.decodeIfPresent<bool>("hideNotchTopMaskEnabled");
    // "hideNotchBottomMaskEnabled" is neither read nor written.
    return record;
}

Result<std::string> StoredSettings::encode() const {
    JsonWriter out;
    out.reserve(24 * 1024);
    out.beginObject();
    settings_json::encodeIfPresent(out, "themeIsolationVersion", themeIsolationVersion);
    settings_json::encodeIfPresent(out, "theme", theme);

#define TAVREL_ENCODE_GLOBAL(Type, name, defaultValue, rule) \
    settings_json::encodeIfPresent(out, #name, name);
    TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_ENCODE_GLOBAL, TAVREL_ENCODE_GLOBAL)
#undef TAVREL_ENCODE_GLOBAL
    settings_json::encodeIfPresent(out, "applicationStorageBoxEnabled",
                                   applicationStorageBoxEnabled);

#define TAVREL_ENCODE_MIRROR_none(name)
#define TAVREL_ENCODE_MIRROR_global(name)
#define TAVREL_ENCODE_MIRROR_OPTIONAL(name) settings_json::encodeIfPresent(out, #name, name);
#define TAVREL_ENCODE_MIRROR_startMenu TAVREL_ENCODE_MIRROR_OPTIONAL
#define TAVREL_ENCODE_MIRROR_desktopCorner TAVREL_ENCODE_MIRROR_OPTIONAL
#define TAVREL_ENCODE_MIRROR_mergedPreviews TAVREL_ENCODE_MIRROR_OPTIONAL
#define TAVREL_ENCODE_MIRROR_layout TAVREL_ENCODE_MIRROR_OPTIONAL
#define TAVREL_ENCODE_MIRROR_notRead TAVREL_ENCODE_MIRROR_OPTIONAL
#define TAVREL_ENCODE_MIRROR_notReadRequired(name) settings_json::encodeMember(out, #name, name);
#define TAVREL_ENCODE_MIRROR(Type, name, windowsDefault, liquidGlassDefault, mirror, setter) \
    TAVREL_ENCODE_MIRROR_##mirror(name)
    TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_ENCODE_MIRROR)
#undef TAVREL_ENCODE_MIRROR
#undef TAVREL_ENCODE_MIRROR_none
#undef TAVREL_ENCODE_MIRROR_global
#undef TAVREL_ENCODE_MIRROR_OPTIONAL
#undef TAVREL_ENCODE_MIRROR_startMenu
#undef TAVREL_ENCODE_MIRROR_desktopCorner
#undef TAVREL_ENCODE_MIRROR_mergedPreviews
#undef TAVREL_ENCODE_MIRROR_layout
#undef TAVREL_ENCODE_MIRROR_notRead
#undef TAVREL_ENCODE_MIRROR_notReadRequired

    settings_json::encodeIfPresent(out, "windowsSettings", windowsSettings);
    settings_json::encodeIfPresent(out, "liquidGlassSettings", liquidGlassSettings);
    // The legacy keys are never written again.
    out.endObject();
    if (out.failed()) return Error{"a settings value is not a finite number"};
    return out.take();
}

StoredSettings StoredSettings::from(const TaskbarSettings& settings) {
    StoredSettings record;
    record.themeIsolationVersion = 1;
    record.theme = enumerationCode(settings.theme);

#define TAVREL_FROM_KEY(Type, name, defaultValue, rule) \
    record.name = toStoredOptional(settings.name);
#define TAVREL_FROM_VALUE_KEY(Type, name, defaultValue, rule) \
    record.name = SettingsNormalization::rule(settings.name##Value);
    TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_FROM_KEY, TAVREL_FROM_VALUE_KEY)
#undef TAVREL_FROM_KEY
#undef TAVREL_FROM_VALUE_KEY

    record.applicationStorageBoxEnabled = std::any_of(
        settings.applicationStorageBoxes.begin(), settings.applicationStorageBoxes.end(),
        [](const ApplicationStorageBoxConfiguration& box) { return box.isVisible; });

    // The mirrors carry the current theme's values ...
    const TaskbarThemeConfiguration& active = settings.activeProfile();
#define TAVREL_FROM_MIRROR_none(name)
#define TAVREL_FROM_MIRROR_global(name)
#define TAVREL_FROM_MIRROR_ANY(name) record.name = active.name;
#define TAVREL_FROM_MIRROR_startMenu TAVREL_FROM_MIRROR_ANY
#define TAVREL_FROM_MIRROR_desktopCorner TAVREL_FROM_MIRROR_ANY
#define TAVREL_FROM_MIRROR_mergedPreviews TAVREL_FROM_MIRROR_ANY
#define TAVREL_FROM_MIRROR_layout TAVREL_FROM_MIRROR_ANY
#define TAVREL_FROM_MIRROR_notRead TAVREL_FROM_MIRROR_ANY
#define TAVREL_FROM_MIRROR_notReadRequired TAVREL_FROM_MIRROR_ANY
#define TAVREL_FROM_MIRROR(Type, name, windowsDefault, liquidGlassDefault, mirror, setter) \
    TAVREL_FROM_MIRROR_##mirror(name)
    TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_FROM_MIRROR)
#undef TAVREL_FROM_MIRROR
#undef TAVREL_FROM_MIRROR_none
#undef TAVREL_FROM_MIRROR_global
#undef TAVREL_FROM_MIRROR_ANY
#undef TAVREL_FROM_MIRROR_startMenu
#undef TAVREL_FROM_MIRROR_desktopCorner
#undef TAVREL_FROM_MIRROR_mergedPreviews
#undef TAVREL_FROM_MIRROR_layout
#undef TAVREL_FROM_MIRROR_notRead
#undef TAVREL_FROM_MIRROR_notReadRequired
    // ... as the taskbar sees them: the effective opacity and the normalised codes.
    record.opacity = settings.opacity();
    record.taskbarScreenEdge = enumerationCode(settings.taskbarScreenEdge());
    record.activeIconClickAction = enumerationCode(settings.activeIconClickAction());

    record.windowsSettings = settings.windowsProfile;
    record.liquidGlassSettings = settings.liquidGlassProfile;
    return record;
}

}  // namespace tavrel
