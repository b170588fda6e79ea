#include "core/native_dock/settings_native_dock_folder.h"

#include <exception>
#include <nlohmann/json.hpp>

#include "core/foundation/json_nesting.h"

namespace tavrel {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

Error malformed(std::size_t index, std::string_view why) {
    return Error{"native Dock folder " + std::to_string(index) + ": " + std::string(why)};
}

// A required string member.
const std::string* requiredString(const Json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string()) return nullptr;
    return &found->get_ref<const std::string&>();
}

// An optional string member: absent or null is nothing; another type is an error.
Result<std::optional<std::string>> optionalString(const Json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) return std::optional<std::string>{};
    if (!found->is_string()) return Error{std::string(key) + " is not a string"};
    return std::optional<std::string>{found->get<std::string>()};
}

Result<SettingsNativeDockFolderApplication> decodeApplication(const Json& json) {
    if (!json.is_object()) return Error{"an application is not an object"};
    const std::string* appKey = requiredString(json, "appKey");
    const std::string* name = requiredString(json, "name");
    if (appKey == nullptr || name == nullptr) return Error{"an application lacks appKey or name"};
    auto bundleIdentifier = optionalString(json, "bundleIdentifier");
    if (!bundleIdentifier) return bundleIdentifier.error();
    auto path = optionalString(json, "path");
    if (!path) return path.error();
    return SettingsNativeDockFolderApplication{*appKey, *name, std::move(*bundleIdentifier),
                                               std::move(*path)};
}

Result<SettingsNativeDockFolder> decodeFolder(const Json& json, std::size_t index) {
    if (!json.is_object()) return malformed(index, "not an object");
    const std::string* idText = requiredString(json, "id");
    if (idText == nullptr) return malformed(index, "no id");
    const auto id = platform::Uuid::parse(*idText);
    if (!id) return malformed(index, "id is not a UUID");
    const std::string* name = requiredString(json, "name");
    if (name == nullptr) return malformed(index, "no name");
    const auto applications = json.find("applications");
    if (applications == json.end() || !applications->is_array()) {
        return malformed(index, "no applications array");
    }
    SettingsNativeDockFolder folder{*id, *name, {}, true};
    folder.applications.reserve(applications->size());
    for (const auto& member : *applications) {
        auto application = decodeApplication(member);
        if (!application) return malformed(index, application.error().message);
        folder.applications.push_back(std::move(*application));
    }
    if (const auto enabled = json.find("isEnabled"); enabled != json.end() && !enabled->is_null()) {
        if (!enabled->is_boolean()) return malformed(index, "isEnabled is not a boolean");
        folder.isEnabled = enabled->get<bool>();
    }
    return folder;
}

}  // namespace

Result<std::vector<SettingsNativeDockFolder>> decodeNativeDockFolders(std::string_view bytes) {
    if (bytes.size() > NativeDockFolderDocumentLimits::maxBytes) {
        return Error{"the folder document is larger than " +
                     std::to_string(NativeDockFolderDocumentLimits::maxBytes) + " bytes"};
    }
    if (jsonNestingDepth(bytes, NativeDockFolderDocumentLimits::maxDepth) >
        NativeDockFolderDocumentLimits::maxDepth) {
        return Error{"the folder document nests too deeply"};
    }
    const Json json = Json::parse(bytes, nullptr, /*allow_exceptions=*/false);
    if (json.is_discarded()) return Error{"the folder document is not JSON"};
    if (!json.is_array()) return Error{"the folder document is not an array"};
    std::vector<SettingsNativeDockFolder> folders;
    folders.reserve(json.size());
    for (std::size_t index = 0; index < json.size(); ++index) {
        auto folder = decodeFolder(json[index], index);
        if (!folder) return folder.error();
        folders.push_back(std::move(*folder));
    }
    return folders;
}

Result<std::string> encodeNativeDockFolders(const std::vector<SettingsNativeDockFolder>& folders) {
    OrderedJson document = OrderedJson::array();
    for (const auto& folder : folders) {
        OrderedJson applications = OrderedJson::array();
        for (const auto& application : folder.applications) {
            OrderedJson member = OrderedJson::object();
            member["appKey"] = application.appKey;
            member["name"] = application.name;
            if (application.bundleIdentifier) {
                member["bundleIdentifier"] = *application.bundleIdentifier;
            }
            if (application.path) member["path"] = *application.path;
            applications.push_back(std::move(member));
        }
        OrderedJson object = OrderedJson::object();
        object["id"] = folder.id.string();
        object["name"] = folder.name;
        object["applications"] = std::move(applications);
        object["isEnabled"] = folder.isEnabled;
        document.push_back(std::move(object));
    }
    try {
        // Strict: a name that is not UTF-8 must not be written as something else.
        return document.dump();
    } catch (const std::exception& error) {
        return Error{std::string("cannot encode the folder document: ") + error.what()};
    }
}

}  // namespace tavrel
