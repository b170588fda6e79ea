#include "core/new_file/new_file_settings.h"

#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <system_error>
#include <utility>

#include "core/new_file/new_file_limits.h"
#include "core/new_file/new_file_settings_sync_payload.h"
#include "core/new_file/plain_file_name.h"
#include "core/notifications/notification_names.h"
#include "platform/directory.h"
#include "platform/files.h"
#include "platform/log.h"
#include "platform/notifications.h"
#include "platform/paths.h"
#include "platform/process_identity.h"

namespace tavrel {
namespace {

using Json = nlohmann::json;
namespace fs = std::filesystem;

constexpr char kDocumentName[] = "NewFileSettings.json";
constexpr char kTemplatesDirectoryName[] = "NewFileTemplates";
constexpr char kDesktopRequestName[] = "DesktopIconPositionRequest.json";
// Shipped templates sit in this resource subdirectory or at the resource root.
constexpr char kResourceSubdirectory[] = "NewFileTemplates";

NewFileTemplate builtIn(const char* id, const char* displayName, const char* baseName) {
    return NewFileTemplate{id, displayName, baseName, id, true, true, std::string("empty.") + id};
}

Result<platform::Directory> openTemplatesDirectory(platform::Directory::Create create) {
    return platform::Directory::open(NewFileSettings::templatesDirectory(), create);
}

}  // namespace

const std::vector<NewFileTemplate>& NewFileSettings::builtInTemplates() {
    static const std::vector<NewFileTemplate> templates = {
        builtIn("txt", "文本文档", "新建文本文档"),
        builtIn("docx", "Word 文档", "新建 Word 文档"),
        builtIn("pptx", "PowerPoint 演示文稿", "新建 PowerPoint 演示文稿"),
        builtIn("xlsx", "Excel 工作簿", "新建 Excel 工作簿"),
    };
    return templates;
}

bool NewFileSettings::isBuiltInID(std::string_view id) {
    for (const NewFileTemplate& builtInTemplate : builtInTemplates()) {
        if (builtInTemplate.id == id) return true;
    }
    return false;
}

NewFileSettings NewFileSettings::defaults() {
    return NewFileSettings{true, builtInTemplates()};
}

std::vector<NewFileTemplate> NewFileSettings::enabledTemplates() const {
    std::vector<NewFileTemplate> enabled;
    if (!isEnabled) return enabled;
    for (const NewFileTemplate& candidate : templates) {
        if (candidate.isEnabled) enabled.push_back(candidate);
    }
    return enabled;
}

NewFileSettings NewFileSettings::mergedWithDefaults() const {
    // Ids are unique in what we write; a document that repeats one keeps its first entry.
    std::map<std::string, NewFileTemplate, std::less<>> byID;
    for (const NewFileTemplate& stored : templates) byID.emplace(stored.id, stored);

    NewFileSettings merged;
    merged.isEnabled = isEnabled;
    for (const NewFileTemplate& builtInTemplate : builtInTemplates()) {
        auto [entry, inserted] = byID.emplace(builtInTemplate.id, builtInTemplate);
        NewFileTemplate slot = entry->second;
        if (!slot.templateFileName) slot.templateFileName = builtInTemplate.templateFileName;
        merged.templates.push_back(std::move(slot));
    }
    std::set<std::string, std::less<>> seen;
    for (const NewFileTemplate& stored : templates) {
        if (stored.isBuiltIn || isBuiltInID(stored.id)) continue;
        if (!seen.insert(stored.id).second) continue;
        merged.templates.push_back(stored);
    }
    return merged;
}

Result<NewFileSettings> NewFileSettings::decode(std::string_view bytes) {
    if (bytes.size() > NewFileLimits::maxDocumentBytes) return Error{"document is too large"};
    const Json json = Json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (json.is_discarded()) return Error{"document is not JSON"};
    if (!json.is_object()) return Error{"document is not an object"};

    NewFileSettings decoded;
    auto isEnabled = json.find("isEnabled");
    if (isEnabled == json.end() || !isEnabled->is_boolean()) {
        return Error{"\"isEnabled\" is missing or not a boolean"};
    }
    decoded.isEnabled = isEnabled->get<bool>();
    auto templates = json.find("templates");
    if (templates == json.end() || !templates->is_array()) {
        return Error{"\"templates\" is missing or not a list"};
    }
    for (const Json& entry : *templates) {
        auto newFileTemplate = decodeNewFileTemplate(entry);
        if (!newFileTemplate) return newFileTemplate.error();
        decoded.templates.push_back(std::move(newFileTemplate).value());
    }
    return decoded;
}

Result<std::string> NewFileSettings::encode() const {
    Json list = Json::array();
    for (const NewFileTemplate& newFileTemplate : templates) {
        list.push_back(encodeNewFileTemplate(newFileTemplate));
    }
    // nlohmann's objects keep their keys sorted, which is the order the document promises.
    Json json = Json::object();
    json["isEnabled"] = isEnabled;
    json["templates"] = std::move(list);
    try {
        return json.dump(2);
    } catch (const Json::exception& error) {
        return Error{error.what()};  // text that is not UTF-8
    }
}

fs::path NewFileSettings::mainSettingsDirectory() {
    return platform::paths::applicationSupport() / "Tavrel";
}
fs::path NewFileSettings::settingsURL() {
    return mainSettingsDirectory() / kDocumentName;
}
fs::path NewFileSettings::mainTemplatesDirectory() {
    return mainSettingsDirectory() / kTemplatesDirectoryName;
}
fs::path NewFileSettings::extensionSettingsDirectory() {
    return platform::paths::applicationSupport() / "TavrelNewFileFinderSync";
}
fs::path NewFileSettings::extensionSettingsURL() {
    return extensionSettingsDirectory() / kDocumentName;
}
fs::path NewFileSettings::extensionTemplatesDirectory() {
    return extensionSettingsDirectory() / kTemplatesDirectoryName;
}
fs::path NewFileSettings::settingsDirectory() {
    return mainSettingsDirectory();
}
fs::path NewFileSettings::desktopPositionRequestURL() {
    return mainSettingsDirectory() / kDesktopRequestName;
}
fs::path NewFileSettings::extensionDesktopPositionRequestURL() {
    return extensionSettingsDirectory() / kDesktopRequestName;
}

bool NewFileSettings::isFinderSyncExtension() {
    return platform::bundleIdentifier() == BundleIdentifier::newFileExtension;
}

std::vector<fs::path> NewFileSettings::candidateSettingsURLs() {
    return {isFinderSyncExtension() ? extensionSettingsURL() : settingsURL()};
}

fs::path NewFileSettings::templatesDirectory() {
    return isFinderSyncExtension() ? extensionTemplatesDirectory() : mainTemplatesDirectory();
}

std::vector<fs::path> NewFileSettings::templateStorageURLs(std::string_view fileName) {
    if (!isPlainFileName(fileName)) return {};
    return {templatesDirectory() / fs::path(std::string(fileName))};
}

std::string NewFileSettings::customTemplateFileName(std::string_view id,
                                                    std::string_view fileExtension) {
    return std::string(id) + "." + std::string(fileExtension);
}

NewFileSettings NewFileSettings::load() {
    for (const fs::path& url : candidateSettingsURLs()) {
        auto bytes = platform::readFile(url, NewFileLimits::maxDocumentBytes);
        if (!bytes) continue;
        auto decoded = decode(*bytes);
        if (!decoded) continue;
        return decoded->mergedWithDefaults();
    }
    return defaults();
}

void NewFileSettings::save(const NewFileEnvironment& environment) const {
    auto bytes = encode();
    if (!bytes) {
        platform::log("Tavrel: failed to encode new file settings: " + bytes.error().message);
        return;
    }
    for (const fs::path& url : candidateSettingsURLs()) {
        std::error_code error;
        fs::create_directories(url.parent_path(), error);
        if (error) {
            platform::log("Tavrel: failed to save new file settings at " + url.string() + ": " +
                          error.message());
            continue;
        }
        if (Status written = platform::writeFileAtomically(url, *bytes); !written) {
            platform::log("Tavrel: failed to save new file settings at " + url.string() + ": " +
                          written.error().message);
        }
    }
    syncBundledTemplatesToStorage(environment);
    if (!isFinderSyncExtension()) postCurrentSettingsSync(environment);
}

void NewFileSettings::syncBundledTemplatesToStorage(const NewFileEnvironment& environment) {
    for (const NewFileTemplate& builtInTemplate : builtInTemplates()) {
        if (!builtInTemplate.templateFileName) continue;
        const std::string& name = *builtInTemplate.templateFileName;
        const auto failed = [&name](const std::string& message) {
            platform::log("Tavrel: failed to sync bundled new file template " +
                          printableForLog(name) + ": " + message);
        };
        if (!isPlainFileName(name)) {
            failed("not a plain file name");
            continue;
        }
        if (!environment.resourcesDirectory) continue;  // no bundle, nothing shipped
        std::optional<fs::path> source;
        for (const fs::path& candidate :
             {*environment.resourcesDirectory / kResourceSubdirectory / name,
              *environment.resourcesDirectory / name}) {
            std::error_code error;
            if (fs::exists(candidate, error)) {
                source = candidate;
                break;
            }
        }
        if (!source) continue;  // a missing shipped file is skipped silently

        auto directory = openTemplatesDirectory(platform::Directory::Create::withIntermediates);
        if (!directory) {
            failed(directory.error().message);
            continue;
        }
        auto bytes = platform::readFile(*source, NewFileLimits::maxTemplateFileBytes);
        if (!bytes) {
            failed(bytes.error().message);
            continue;
        }
        // One atomic replacement rather than remove-then-copy: a crash in between never leaves
        // the template missing.
        if (Status written = directory->writeAtomically(name, *bytes); !written) {
            failed(written.error().message);
        }
    }
}

void NewFileSettings::postCurrentSettingsSync(const NewFileEnvironment& environment) {
    if (isFinderSyncExtension() || !environment.notificationCenter) return;
    const NewFileSettings current = load();
    auto settingsData = current.encode();
    if (!settingsData) return;

    NewFileSettingsSyncPayload payload;
    payload.settingsData = std::move(settingsData).value();
    // Template files always come from the main copy, whichever program this is.
    auto directory =
        platform::Directory::open(mainTemplatesDirectory(), platform::Directory::Create::no);
    std::size_t total = 0;
    for (const NewFileTemplate& custom : current.templates) {
        if (custom.isBuiltIn || !custom.templateFileName || !directory) continue;
        const std::string& name = *custom.templateFileName;
        if (!isPlainFileName(name) || payload.customTemplateData.contains(name)) continue;
        if (payload.customTemplateData.size() >= NewFileLimits::maxCustomTemplates) break;
        auto bytes = directory->read(name, NewFileLimits::maxTemplateFileBytes);
        if (!bytes) continue;
        // Past the payload's cap the receiver would refuse everything; leave the rest out.
        if (total + bytes->size() > NewFileLimits::maxCustomTemplateBytes) continue;
        total += bytes->size();
        payload.customTemplateData.emplace(name, std::move(bytes).value());
    }
    auto encoded = payload.encode();
    if (!encoded) return;

    Notification notification;
    notification.name = std::string(NewFileNotification::settingsSync);
    notification.userInfo.emplace(std::string(NotificationKey::payload),
                                  NotificationBytes(encoded->begin(), encoded->end()));
    (void)environment.notificationCenter->post(notification);
}

Result<NewFileSettingsSyncPayload> NewFileSettings::acceptSettingsSyncPayload(
    std::string_view bytes) {
    if (!isFinderSyncExtension()) return Error{"only the extension applies sync payloads"};
    auto payload = NewFileSettingsSyncPayload::decode(bytes);
    if (!payload) return payload.error();
    // A document the extension could not read would only turn its menu back to the defaults.
    if (auto document = decode(payload->settingsData); !document) {
        return Error{"settingsData is not a New File document: " + document.error().message};
    }
    return payload;
}

// Every file is tried; the first failure is the one reported, so that a payload that did not
// land (a full disk) is never taken for applied.
Status NewFileSettings::writeSettingsSyncPayload(const NewFileSettingsSyncPayload& payload) {
    std::optional<Error> failure;
    const auto note = [&failure](const Status& status) {
        if (!status && !failure) failure = Error{"not written: " + status.error().message};
    };
    auto container = platform::Directory::open(extensionSettingsDirectory(),
                                               platform::Directory::Create::withIntermediates);
    if (container) {
        note(container->writeAtomically(kDocumentName, payload.settingsData));
    } else {
        note(container.error());
    }

    auto directory = platform::Directory::open(extensionTemplatesDirectory(),
                                               platform::Directory::Create::withIntermediates);
    if (!directory) {
        note(directory.error());
        return *failure;
    }
    for (const auto& [name, data] : payload.customTemplateData) {
        if (!isPlainFileName(name)) continue;
        note(directory->writeAtomically(name, data));
    }
    if (failure) return *failure;
    return Status::success();
}

Status NewFileSettings::applySettingsSyncPayload(std::string_view bytes) {
    auto payload = acceptSettingsSyncPayload(bytes);
    if (!payload) return payload.error();
    return writeSettingsSyncPayload(*payload);
}

Result<std::string> NewFileSettings::readTemplateFile(std::string_view fileName) {
    if (!isPlainFileName(fileName)) return Error{"not a plain file name"};
    auto directory = openTemplatesDirectory(platform::Directory::Create::no);
    if (!directory) return directory.error();
    return directory->read(fileName, NewFileLimits::maxTemplateFileBytes);
}

Status NewFileSettings::storeTemplateFile(const fs::path& source, std::string_view fileName) {
    if (!isPlainFileName(fileName)) return Error{"not a plain file name"};
    auto bytes = platform::readFile(source, NewFileLimits::maxTemplateFileBytes);
    if (!bytes) return bytes.error();
    auto directory = openTemplatesDirectory(platform::Directory::Create::withIntermediates);
    if (!directory) return directory.error();
    return directory->writeAtomically(fileName, *bytes);
}

Status NewFileSettings::removeTemplateFile(std::string_view fileName) {
    if (!isPlainFileName(fileName)) return Error{"not a plain file name"};
    auto directory = openTemplatesDirectory(platform::Directory::Create::no);
    if (!directory) return directory.error();
    return directory->remove(fileName);
}

}  // namespace tavrel
