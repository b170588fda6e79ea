#include "core/settings_transfer/settings_export.h"

#include <algorithm>
#include <ctime>
#include <nlohmann/json.hpp>
#include <set>
#include <system_error>
#include <utility>

#include "core/foundation/base64.h"
#include "core/foundation/json_nesting.h"
#include "core/native_dock/settings_native_dock_folder.h"
#include "core/new_file/new_file_limits.h"
#include "core/new_file/new_file_settings.h"
#include "core/new_file/plain_file_name.h"
#include "core/settings/settings_compatibility_recovery.h"
#include "core/settings/stored_settings.h"
#include "platform/directory.h"
#include "platform/files.h"

namespace tavrel {

namespace {

using Json = nlohmann::ordered_json;
namespace fs = std::filesystem;

std::string quotedText(std::string_view text) {
    return "\"" + printableForLog(text) + "\"";
}

// The file names of the imported templates of a New File document, as the programs resolve
// them (merged with the defaults; plain names only).
std::set<std::string> importedTemplateFileNames(const NewFileSettings& document) {
    std::set<std::string> names;
    for (const NewFileTemplate& entry : document.mergedWithDefaults().templates) {
        if (entry.isBuiltIn || !entry.templateFileName) continue;
        if (isPlainFileName(*entry.templateFileName)) names.insert(*entry.templateFileName);
    }
    return names;
}

Status validateSettingsDocument(std::string_view bytes) {
    SettingsCompatibilityRecovery::reset();
    const auto record = StoredSettings::decode(bytes);
    SettingsCompatibilityRecovery::consume();
    if (!record) return record.error();
    return Status::success();
}

Status validateNativeDockFolders(std::string_view bytes) {
    if (bytes.size() > NativeDockFolderDocumentLimits::maxBytes) {
        return Error{"the document is larger than " +
                     std::to_string(NativeDockFolderDocumentLimits::maxBytes) + " bytes"};
    }
    if (jsonNestingDepth(bytes, NativeDockFolderDocumentLimits::maxDepth) >
        NativeDockFolderDocumentLimits::maxDepth) {
        return Error{"the document nests too deep"};
    }
    auto folders = decodeNativeDockFolders(bytes);
    if (!folders) return folders.error();
    return Status::success();
}

Result<std::string> documentText(const Json& documents, std::string_view name) {
    const Json& value = documents.at(std::string(name));
    if (!value.is_string()) {
        return Error{"its document " + std::string(name) + " is not a text"};
    }
    return value.get<std::string>();
}

}  // namespace

std::vector<std::string> SettingsExport::documentNames() const {
    std::vector<std::string> names;
    if (settings) names.emplace_back(SettingsExportDocument::settings);
    if (nativeDockFolders) names.emplace_back(SettingsExportDocument::nativeDockFolders);
    if (newFileSettings) names.emplace_back(SettingsExportDocument::newFileSettings);
    if (!newFileTemplates.empty()) names.emplace_back(SettingsExportDocument::newFileTemplates);
    return names;
}

Result<std::string> SettingsExport::encode() const {
    Json documents = Json::object();
    if (settings) documents[std::string(SettingsExportDocument::settings)] = *settings;
    if (nativeDockFolders) {
        documents[std::string(SettingsExportDocument::nativeDockFolders)] = *nativeDockFolders;
    }
    if (newFileSettings) {
        documents[std::string(SettingsExportDocument::newFileSettings)] = *newFileSettings;
    }
    if (!newFileTemplates.empty()) {
        Json templates = Json::object();
        for (const auto& [name, bytes] : newFileTemplates) templates[name] = base64::encode(bytes);
        documents[std::string(SettingsExportDocument::newFileTemplates)] = std::move(templates);
    }
    Json envelope = Json::object();
    envelope["format"] = settingsExportFormat;
    envelope["formatVersion"] = settingsExportFormatVersion;
    envelope["appVersion"] = appVersion;
    envelope["exportedAt"] = exportedAt;
    envelope["documents"] = std::move(documents);
    std::string text;
    try {
        text = envelope.dump(2) + "\n";
    } catch (const Json::exception&) {
        return Error{"a document is not UTF-8 text"};
    }
    if (text.size() > SettingsTransferLimits::maxEnvelopeBytes) {
        return Error{
            "the export would be " + std::to_string(text.size()) + " bytes, more than the " +
            std::to_string(SettingsTransferLimits::maxEnvelopeBytes) + " bytes an import accepts"};
    }
    return text;
}

namespace {

// The checks in the order a reader meets them; `stage` says how far the file got when one fails.
Result<SettingsExport> decodeEnvelope(std::string_view bytes, SettingsExportRefusal& stage) {
    stage = SettingsExportRefusal::tooLarge;
    if (bytes.size() > SettingsTransferLimits::maxEnvelopeBytes) {
        return Error{"the file is larger than the " +
                     std::to_string(SettingsTransferLimits::maxEnvelopeBytes) +
                     " bytes a settings export can have"};
    }
    stage = SettingsExportRefusal::notAnExport;
    if (jsonNestingDepth(bytes, SettingsTransferLimits::maxDepth) >
        SettingsTransferLimits::maxDepth) {
        return Error{"the file is not a Tavrel settings export (it nests too deep)"};
    }
    const Json envelope = Json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (envelope.is_discarded()) {
        return Error{"the file is not a Tavrel settings export (it is not complete JSON)"};
    }
    if (!envelope.is_object()) {
        return Error{"the file is not a Tavrel settings export (it is not a JSON object)"};
    }
    const auto format = envelope.find("format");
    if (format == envelope.end() || !format->is_string()) {
        return Error{"the file is not a Tavrel settings export (it has no \"format\")"};
    }
    if (format->get<std::string>() != settingsExportFormat) {
        return Error{"the file is not a Tavrel settings export (its format is " +
                     quotedText(format->get<std::string>()) + ")"};
    }
    stage = SettingsExportRefusal::damaged;
    const auto version = envelope.find("formatVersion");
    if (version == envelope.end() || !version->is_number_integer()) {
        return Error{"the file has no valid \"formatVersion\""};
    }
    // Positive numbers parse as unsigned; anything past the signed range is newer too.
    const bool newer = version->is_number_unsigned()
                           ? version->get<std::uint64_t>() >
                                 static_cast<std::uint64_t>(settingsExportFormatVersion)
                           : version->get<std::int64_t>() > settingsExportFormatVersion;
    if (newer) {
        stage = SettingsExportRefusal::newerFormat;
        return Error{"the file was made by a newer Tavrel (export format " + version->dump() +
                     "); this version reads format " + std::to_string(settingsExportFormatVersion) +
                     " only; update Tavrel to import it"};
    }
    if (!version->is_number_unsigned() && version->get<std::int64_t>() < 1) {
        return Error{"the file has no valid \"formatVersion\""};
    }
    if (version->is_number_unsigned() && version->get<std::uint64_t>() < 1) {
        return Error{"the file has no valid \"formatVersion\""};
    }

    for (const auto& member : envelope.items()) {
        static const std::set<std::string> known = {"format", "formatVersion", "appVersion",
                                                    "exportedAt", "documents"};
        if (!known.contains(member.key())) {
            return Error{"the file has an unknown member " + quotedText(member.key())};
        }
    }
    SettingsExport decoded;
    for (const char* name : {"appVersion", "exportedAt"}) {
        const auto member = envelope.find(name);
        if (member == envelope.end() || !member->is_string()) {
            return Error{std::string("the file has no valid \"") + name + "\""};
        }
    }
    decoded.appVersion = envelope.at("appVersion").get<std::string>();
    decoded.exportedAt = envelope.at("exportedAt").get<std::string>();

    const auto documents = envelope.find("documents");
    if (documents == envelope.end() || !documents->is_object()) {
        return Error{"the file has no \"documents\""};
    }
    for (const auto& member : documents->items()) {
        const std::string& name = member.key();
        if (name == SettingsExportDocument::settings) {
            auto text = documentText(*documents, name);
            if (!text) return text.error();
            if (Status valid = validateSettingsDocument(*text); !valid) {
                return Error{"its settings.json cannot be read: " + valid.error().message};
            }
            decoded.settings = std::move(*text);
        } else if (name == SettingsExportDocument::nativeDockFolders) {
            auto text = documentText(*documents, name);
            if (!text) return text.error();
            if (Status valid = validateNativeDockFolders(*text); !valid) {
                return Error{"its native-dock-folders.json cannot be read: " +
                             valid.error().message};
            }
            decoded.nativeDockFolders = std::move(*text);
        } else if (name == SettingsExportDocument::newFileSettings) {
            auto text = documentText(*documents, name);
            if (!text) return text.error();
            if (auto valid = NewFileSettings::decode(*text); !valid) {
                return Error{"its NewFileSettings.json cannot be read: " + valid.error().message};
            }
            decoded.newFileSettings = std::move(*text);
        } else if (name != SettingsExportDocument::newFileTemplates) {
            return Error{"the file holds an unknown document " + quotedText(name)};
        }
    }

    const auto templates = documents->find(std::string(SettingsExportDocument::newFileTemplates));
    if (templates != documents->end()) {
        if (!templates->is_object()) return Error{"its NewFileTemplates are not a list of files"};
        if (!decoded.newFileSettings) {
            return Error{"it holds New File templates without their NewFileSettings.json"};
        }
        if (templates->size() > NewFileLimits::maxCustomTemplates) {
            return Error{"it holds more than " + std::to_string(NewFileLimits::maxCustomTemplates) +
                         " New File templates"};
        }
        const auto referenced =
            importedTemplateFileNames(NewFileSettings::decode(*decoded.newFileSettings).value());
        std::size_t total = 0;
        for (const auto& member : templates->items()) {
            const std::string& name = member.key();
            if (!isPlainFileName(name)) {
                return Error{"its New File template " + quotedText(name) +
                             " is no plain file name"};
            }
            if (!referenced.contains(name)) {
                return Error{"its New File template " + quotedText(name) +
                             " belongs to no imported template of its NewFileSettings.json"};
            }
            if (!member.value().is_string()) {
                return Error{"its New File template " + quotedText(name) + " is not Base64 text"};
            }
            const std::string& text = member.value().get_ref<const std::string&>();
            const auto size = base64::decodedSize(text);
            if (!size) {
                return Error{"its New File template " + quotedText(name) + " is not Base64 text"};
            }
            if (*size > NewFileLimits::maxTemplateFileBytes ||
                total + *size > NewFileLimits::maxCustomTemplateBytes) {
                return Error{"its New File templates are larger than a template may be"};
            }
            auto data = base64::decode(text);
            if (!data) {
                return Error{"its New File template " + quotedText(name) + " is not Base64 text"};
            }
            total += data->size();
            decoded.newFileTemplates.emplace(name, std::string(data->begin(), data->end()));
        }
    }
    return decoded;
}

}  // namespace

Result<SettingsExport> SettingsExport::decode(std::string_view bytes,
                                              SettingsExportRefusal* refusal) {
    SettingsExportRefusal stage = SettingsExportRefusal::tooLarge;
    Result<SettingsExport> decoded = decodeEnvelope(bytes, stage);
    if (!decoded && refusal) *refusal = stage;
    return decoded;
}

std::string settingsExportTimestamp(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

SettingsExportReading readSettingsExport(const SettingsDocumentLocations& locations,
                                         std::string appVersion,
                                         std::chrono::system_clock::time_point now) {
    SettingsExportReading reading;
    reading.envelope.appVersion = std::move(appVersion);
    reading.envelope.exportedAt = settingsExportTimestamp(now);

    // The document's bytes when it exists and its program reads it; a note otherwise.
    const auto take = [&reading](const fs::path& url, std::string_view name, std::size_t maxBytes,
                                 const auto& validate) -> std::optional<std::string> {
        std::error_code error;
        if (!fs::exists(fs::symlink_status(url, error))) return std::nullopt;
        auto bytes = platform::readFile(url, maxBytes);
        if (!bytes) {
            reading.leftOut.push_back(std::string(name) + " cannot be read (" +
                                      bytes.error().message + "); it is left out");
            return std::nullopt;
        }
        if (Status valid = validate(*bytes); !valid) {
            reading.leftOut.push_back(std::string(name) + " cannot be read (" +
                                      valid.error().message + "); it is left out");
            return std::nullopt;
        }
        return std::move(*bytes);
    };

    reading.envelope.settings = take(locations.settingsURL(), SettingsExportDocument::settings,
                                     SettingsDocumentLimits::maxBytes, validateSettingsDocument);
    reading.envelope.nativeDockFolders =
        take(locations.nativeDockFoldersURL(), SettingsExportDocument::nativeDockFolders,
             NativeDockFolderDocumentLimits::maxBytes, validateNativeDockFolders);
    reading.envelope.newFileSettings =
        take(locations.newFileSettingsURL(), SettingsExportDocument::newFileSettings,
             NewFileLimits::maxDocumentBytes, [](std::string_view bytes) -> Status {
                 auto decoded = NewFileSettings::decode(bytes);
                 if (!decoded) return decoded.error();
                 return Status::success();
             });

    if (reading.envelope.newFileSettings) {
        const auto names = importedTemplateFileNames(
            NewFileSettings::decode(*reading.envelope.newFileSettings).value());
        auto directory = platform::Directory::open(locations.newFileTemplatesDirectory(),
                                                   platform::Directory::Create::no);
        std::size_t total = 0;
        for (const std::string& name : names) {
            auto bytes = directory ? directory->read(name, NewFileLimits::maxTemplateFileBytes)
                                   : Result<std::string>(directory.error());
            if (!bytes) {
                reading.leftOut.push_back("the New File template " + name + " cannot be read (" +
                                          bytes.error().message + "); it is left out");
                continue;
            }
            if (reading.envelope.newFileTemplates.size() >= NewFileLimits::maxCustomTemplates ||
                total + bytes->size() > NewFileLimits::maxCustomTemplateBytes) {
                reading.leftOut.push_back("the New File template " + name +
                                          " is past the size an import accepts; it is left out");
                continue;
            }
            total += bytes->size();
            reading.envelope.newFileTemplates.emplace(name, std::move(*bytes));
        }
    }
    return reading;
}

}  // namespace tavrel
