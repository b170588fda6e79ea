#include "core/settings/settings_codecs.h"

namespace tavrel::settings_json {

std::optional<TaskbarThemeConfiguration> Codec<TaskbarThemeConfiguration>::decode(
    const Json& json, const KeyPath& path, DecodeIssues* issues) {
    if (!json.is_object()) return std::nullopt;
    const CompatibleKeyedDecodingContainer keys(json, path, issues);
    TaskbarThemeConfiguration record;  // Windows defaults
#define TAVREL_DECODE_THEME_KEY(Type, name, windowsDefault, liquidGlassDefault, mirror, setter) \
    if (auto value = keys.decodeIfPresent<Type>(#name)) record.name = *value;
    TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_DECODE_THEME_KEY)
#undef TAVREL_DECODE_THEME_KEY
    return record;
}

void Codec<TaskbarThemeConfiguration>::encode(const TaskbarThemeConfiguration& value,
                                              JsonWriter& out) {
    out.beginObject();
#define TAVREL_ENCODE_THEME_KEY(Type, name, windowsDefault, liquidGlassDefault, mirror, setter) \
    encodeMember(out, #name, value.name);
    TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_ENCODE_THEME_KEY)
#undef TAVREL_ENCODE_THEME_KEY
    out.endObject();
}

std::optional<TaskbarExcludedApplication> Codec<TaskbarExcludedApplication>::decode(
    const Json& json, const KeyPath& path, DecodeIssues* issues) {
    if (!json.is_object()) return std::nullopt;
    const CompatibleKeyedDecodingContainer keys(json, path, issues);
    auto name = keys.decodeRequired<std::string>("name");
    if (!name) return std::nullopt;
    TaskbarExcludedApplication application;
    application.name = std::move(*name);
    application.bundleIdentifier = keys.decodeIfPresent<std::string>("bundleIdentifier");
    application.path = keys.decodeIfPresent<std::string>("path");
    return application;
}

void Codec<TaskbarExcludedApplication>::encode(const TaskbarExcludedApplication& value,
                                               JsonWriter& out) {
    out.beginObject();
    encodeIfPresent(out, "bundleIdentifier", value.bundleIdentifier);
    encodeIfPresent(out, "path", value.path);
    encodeMember(out, "name", value.name);
    out.endObject();
}

std::optional<CloseProtectionApp> Codec<CloseProtectionApp>::decode(const Json& json,
                                                                    const KeyPath& path,
                                                                    DecodeIssues* issues) {
    if (!json.is_object()) return std::nullopt;
    const CompatibleKeyedDecodingContainer keys(json, path, issues);
    auto appName = keys.decodeRequired<std::string>("appName");
    if (!appName) return std::nullopt;
    CloseProtectionApp application;
    application.appName = std::move(*appName);
    application.bundleIdentifier = keys.decodeIfPresent<std::string>("bundleIdentifier");
    application.path = keys.decodeIfPresent<std::string>("path");
    return application;
}

void Codec<CloseProtectionApp>::encode(const CloseProtectionApp& value, JsonWriter& out) {
    out.beginObject();
    encodeMember(out, "appName", value.appName);
    encodeIfPresent(out, "bundleIdentifier", value.bundleIdentifier);
    encodeIfPresent(out, "path", value.path);
    out.endObject();
}

std::optional<ApplicationStorageBoxSortMode> Codec<ApplicationStorageBoxSortMode>::decode(
    const Json& json, const KeyPath&, DecodeIssues*) {
    if (!json.is_string()) return std::nullopt;
    return sortModeNamed(json.get_ref<const std::string&>());
}

std::optional<ApplicationStorageBoxSize> Codec<ApplicationStorageBoxSize>::decode(
    const Json& json, const KeyPath& path, DecodeIssues* issues) {
    const auto code = Codec<std::int64_t>::decode(json, path, issues);
    if (!code || *code < 1 || *code > 5) return std::nullopt;
    return static_cast<ApplicationStorageBoxSize>(*code);
}

std::optional<ApplicationStorageBoxConfiguration> Codec<ApplicationStorageBoxConfiguration>::decode(
    const Json& json, const KeyPath& path, DecodeIssues* issues) {
    if (!json.is_object()) return std::nullopt;
    const CompatibleKeyedDecodingContainer keys(json, path, issues);
    auto id = keys.decodeRequired<platform::Uuid>("id");
    auto name = keys.decodeRequired<std::string>("name");
    auto isVisible = keys.decodeRequired<bool>("isVisible");
    if (!id || !name || !isVisible) return std::nullopt;
    ApplicationStorageBoxConfiguration box;
    box.id = *id;
    box.name = std::move(*name);
    box.isVisible = *isVisible;
    // A size this version does not know makes the box unreadable, as the taskbar application
    // reads it; an unknown sort mode or a broken order list only loses that member.
    if (!keys.decodeStrictIfPresent("size", box.size)) return std::nullopt;
    box.sortMode = keys.decodeIfPresent<ApplicationStorageBoxSortMode>("sortMode");
    box.manualAppOrder = keys.decodeIfPresent<std::vector<std::string>>("manualAppOrder");
    return box;
}

void Codec<ApplicationStorageBoxConfiguration>::encode(
    const ApplicationStorageBoxConfiguration& value, JsonWriter& out) {
    out.beginObject();
    encodeMember(out, "id", value.id);
    encodeMember(out, "name", value.name);
    encodeMember(out, "isVisible", value.isVisible);
    encodeIfPresent(out, "sortMode", value.sortMode);
    encodeIfPresent(out, "manualAppOrder", value.manualAppOrder);
    encodeIfPresent(out, "size", value.size);
    out.endObject();
}

}  // namespace tavrel::settings_json
