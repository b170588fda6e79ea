#include "core/new_file/new_file_settings_sync_payload.h"

#include <nlohmann/json.hpp>

#include "core/foundation/base64.h"
#include "core/new_file/new_file_limits.h"

namespace tavrel {
namespace {

using Json = nlohmann::json;

constexpr char kSettingsDataKey[] = "settingsData";
constexpr char kCustomTemplateDataKey[] = "customTemplateData";

Result<std::string> decodeBase64(const Json& value, std::size_t maxBytes, const std::string& what) {
    if (!value.is_string()) return Error{what + " is not a Base64 string"};
    const auto& text = value.get_ref<const std::string&>();
    const auto size = base64::decodedSize(text);
    if (!size) return Error{what + " is not Base64"};
    if (*size > maxBytes) {
        return Error{what + " is larger than " + std::to_string(maxBytes) + " bytes"};
    }
    auto bytes = base64::decode(text);
    if (!bytes) return Error{what + " is not Base64"};
    return std::string(bytes->begin(), bytes->end());
}

}  // namespace

Result<std::string> NewFileSettingsSyncPayload::encode() const {
    if (settingsData.size() > NewFileLimits::maxDocumentBytes) {
        return Error{"settingsData is too large"};
    }
    if (customTemplateData.size() > NewFileLimits::maxCustomTemplates) {
        return Error{"too many template files"};
    }
    std::size_t total = 0;
    Json files = Json::object();
    for (const auto& [name, bytes] : customTemplateData) {
        if (bytes.size() > NewFileLimits::maxTemplateFileBytes) {
            return Error{"template file is too large"};
        }
        total += bytes.size();
        if (total > NewFileLimits::maxCustomTemplateBytes) {
            return Error{"template files are too large together"};
        }
        files[name] = base64::encode(bytes);
    }
    Json payload = Json::object();
    payload[kSettingsDataKey] = base64::encode(settingsData);
    payload[kCustomTemplateDataKey] = std::move(files);
    std::string text;
    try {
        text = payload.dump();
    } catch (const Json::exception& error) {
        // A file name that is not UTF-8 cannot be a JSON key.
        return Error{error.what()};
    }
    if (text.size() > NewFileLimits::maxPayloadBytes) return Error{"payload is too large"};
    return text;
}

Result<NewFileSettingsSyncPayload> NewFileSettingsSyncPayload::decode(std::string_view bytes) {
    if (bytes.size() > NewFileLimits::maxPayloadBytes) {
        return Error{"payload is larger than " + std::to_string(NewFileLimits::maxPayloadBytes) +
                     " bytes"};
    }
    const Json json = Json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (json.is_discarded()) return Error{"payload is not JSON"};
    if (!json.is_object()) return Error{"payload is not an object"};

    NewFileSettingsSyncPayload payload;
    auto settings = json.find(kSettingsDataKey);
    if (settings == json.end()) return Error{"payload has no settingsData"};
    auto settingsData = decodeBase64(*settings, NewFileLimits::maxDocumentBytes, "settingsData");
    if (!settingsData) return settingsData.error();
    payload.settingsData = std::move(settingsData).value();

    auto files = json.find(kCustomTemplateDataKey);
    if (files == json.end()) return Error{"payload has no customTemplateData"};
    if (!files->is_object()) return Error{"customTemplateData is not an object"};
    if (files->size() > NewFileLimits::maxCustomTemplates) {
        return Error{"customTemplateData has more than " +
                     std::to_string(NewFileLimits::maxCustomTemplates) + " entries"};
    }
    // Every length is checked before the first entry is decoded.
    std::size_t total = 0;
    for (const auto& [name, value] : files->items()) {
        const auto size = value.is_string()
                              ? base64::decodedSize(value.get_ref<const std::string&>())
                              : std::nullopt;
        if (!size) return Error{"customTemplateData entry is not Base64"};
        if (*size > NewFileLimits::maxTemplateFileBytes) {
            return Error{"customTemplateData entry is larger than " +
                         std::to_string(NewFileLimits::maxTemplateFileBytes) + " bytes"};
        }
        total += *size;
        if (total > NewFileLimits::maxCustomTemplateBytes) {
            return Error{"customTemplateData is larger than " +
                         std::to_string(NewFileLimits::maxCustomTemplateBytes) + " bytes"};
        }
    }
    for (const auto& [name, value] : files->items()) {
        auto data =
            decodeBase64(value, NewFileLimits::maxTemplateFileBytes, "customTemplateData entry");
        if (!data) return data.error();
        payload.customTemplateData[name] = std::move(data).value();
    }
    return payload;
}

}  // namespace tavrel
