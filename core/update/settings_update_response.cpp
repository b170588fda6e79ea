#include "core/update/settings_update_response.h"

#include <nlohmann/json.hpp>

#include "core/foundation/json_nesting.h"

namespace tavrel {

namespace {

using Json = nlohmann::json;

// A member that must be there with a string value.
std::optional<std::string> requiredString(const Json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end() || !it->is_string()) return std::nullopt;
    return it->get<std::string>();
}

// A member that may be absent or null; any other non-string value fails (false).
bool optionalString(const Json& object, const char* key, std::optional<std::string>& out) {
    out.reset();
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) return true;
    if (!it->is_string()) return false;
    out = it->get<std::string>();
    return true;
}

Result<SettingsUpdateResponse> decodeJson(const Json& json) {
    if (!json.is_object()) return Error{"the answer is not a JSON object"};
    SettingsUpdateResponse response;

    const auto ok = json.find("ok");
    if (ok == json.end() || !ok->is_boolean()) return Error{"\"ok\" is missing or not a boolean"};
    response.ok = ok->get<bool>();

    if (!optionalString(json, "latestVersion", response.latestVersion)) {
        return Error{"\"latestVersion\" is not a string"};
    }
    if (!optionalString(json, "websiteURL", response.websiteURL)) {
        return Error{"\"websiteURL\" is not a string"};
    }

    const auto versions = json.find("versions");
    if (versions == json.end() || !versions->is_array()) {
        return Error{"\"versions\" is missing or not an array"};
    }
    response.versions.reserve(versions->size());
    for (std::size_t i = 0; i < versions->size(); ++i) {
        const Json& element = (*versions)[i];
        const std::string where = "versions[" + std::to_string(i) + "]";
        if (!element.is_object()) return Error{where + " is not an object"};
        auto version = requiredString(element, "version");
        auto notes = requiredString(element, "releaseNotes");
        auto createdAt = requiredString(element, "createdAt");
        if (!version || !notes || !createdAt) {
            return Error{where + " lacks \"version\", \"releaseNotes\" or \"createdAt\""};
        }
        response.versions.push_back(
            {std::move(*version), std::move(*notes), std::move(*createdAt)});
    }
    return response;
}

}  // namespace

Result<SettingsUpdateResponse> decodeSettingsUpdateResponse(std::string_view bytes) {
    if (bytes.size() > SettingsUpdateResponseLimits::maxBytes) {
        return Error{"the answer is larger than " +
                     std::to_string(SettingsUpdateResponseLimits::maxBytes) + " bytes"};
    }
    if (jsonNestingDepth(bytes, SettingsUpdateResponseLimits::maxDepth) >
        SettingsUpdateResponseLimits::maxDepth) {
        return Error{"the answer nests deeper than " +
                     std::to_string(SettingsUpdateResponseLimits::maxDepth) + " levels"};
    }
    // The parser validates UTF-8 and refuses trailing bytes; it never throws past here.
    const Json json = Json::parse(bytes, nullptr, /*allow_exceptions=*/false);
    if (json.is_discarded()) return Error{"the answer is not JSON"};
    return decodeJson(json);
}

}  // namespace tavrel
