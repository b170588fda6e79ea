#include "core/settings_transfer/settings_import.h"

#include <algorithm>
#include <map>
#include <set>
#include <system_error>
#include <utility>

#include "core/native_dock/settings_native_dock_folder.h"
#include "core/new_file/new_file_limits.h"
#include "core/new_file/new_file_settings.h"
#include "core/settings/settings_compatibility_recovery.h"
#include "core/settings/settings_differences.h"
#include "core/settings/settings_json.h"
#include "core/settings/stored_settings.h"
#include "core/settings/taskbar_settings.h"
#include "platform/directory.h"

namespace tavrel {

namespace {

namespace fs = std::filesystem;

std::optional<std::string> readIfPresent(const fs::path& url, std::size_t maxBytes) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(url, error))) return std::nullopt;
    auto bytes = platform::readFile(url, maxBytes);
    if (!bytes) return std::nullopt;
    return std::move(*bytes);
}

// The values a document gives the taskbar; the built-in defaults when it cannot be read.
TaskbarSettings settingsOf(const std::optional<std::string>& bytes,
                           settings_json::DecodeIssues* issues = nullptr) {
    TaskbarSettings settings;
    if (!bytes) return settings;
    SettingsCompatibilityRecovery::reset();
    auto record = StoredSettings::decode(*bytes, issues);
    SettingsCompatibilityRecovery::consume();
    if (record) settings.map(*record);
    return settings;
}

std::vector<SettingsNativeDockFolder> foldersOf(const std::optional<std::string>& bytes) {
    if (!bytes) return {};
    auto folders = decodeNativeDockFolders(*bytes);
    return folders ? std::move(*folders) : std::vector<SettingsNativeDockFolder>{};
}

NewFileSettings newFileOf(const std::optional<std::string>& bytes) {
    if (!bytes) return NewFileSettings::defaults();
    auto decoded = NewFileSettings::decode(*bytes);
    return decoded ? decoded->mergedWithDefaults() : NewFileSettings::defaults();
}

// Entries of `a` and `b` with the same id that differ, plus those only one side has.
template <class T, class Id>
std::size_t differingByID(const std::vector<T>& a, const std::vector<T>& b, Id id) {
    std::map<std::string, const T*> left;
    for (const T& entry : a) left.emplace(id(entry), &entry);
    std::set<std::string> seen;
    std::size_t count = 0;
    for (const T& entry : b) {
        const std::string key = id(entry);
        if (!seen.insert(key).second) continue;
        const auto match = left.find(key);
        if (match == left.end() || !(*match->second == entry)) ++count;
    }
    for (const auto& [key, entry] : left) {
        if (!seen.contains(key)) ++count;
    }
    return count;
}

std::string counted(std::size_t count, const std::string& unit) {
    return std::to_string(count) + " " + unit + (count == 1 ? " differs" : "s differ");
}

struct PlannedWrite {
    SettingsDocumentKind kind;
    fs::path url;              // a document
    std::string templateName;  // or a template file in the templates directory
    const std::string* bytes = nullptr;
};

}  // namespace

bool SettingsImportSummary::changesAnything() const {
    return std::any_of(documents.begin(), documents.end(),
                       [](const SettingsDocumentChange& change) { return change.differs; });
}

std::string SettingsImportSummary::text() const {
    std::string text;
    for (const SettingsDocumentChange& change : documents) {
        text += "  " + change.name + ": ";
        if (!change.differs) {
            text += "unchanged";
        } else if (change.values == 0) {
            text += "the same values, written anew";
        } else {
            text += counted(change.values, change.unit);
        }
        if (!change.existed) text += " (not here yet)";
        text += "\n";
    }
    for (const std::string& name : untouched) {
        text += "  " + name + ": not in the file; left as it is\n";
    }
    for (const std::string& note : notes) text += "  note: " + note + "\n";
    return text;
}

SettingsImportSummary summarizeSettingsImport(const SettingsExport& envelope,
                                              const SettingsDocumentLocations& locations) {
    SettingsImportSummary summary;
    if (envelope.settings) {
        const auto current =
            readIfPresent(locations.settingsURL(), SettingsDocumentLimits::maxBytes);
        settings_json::DecodeIssues issues;
        const TaskbarSettings incoming = settingsOf(envelope.settings, &issues);
        SettingsDocumentChange change{SettingsDocumentKind::settings,
                                      std::string(SettingsExportDocument::settings),
                                      current.has_value(),
                                      current != envelope.settings,
                                      0,
                                      "value"};
        if (change.differs)
            change.values = settingsDifferences(settingsOf(current), incoming).size();
        summary.documents.push_back(std::move(change));
        if (!issues.droppedKeys.empty()) {
            summary.unreadableSettingsValues = issues.droppedKeys.size();
            summary.notes.push_back(std::to_string(issues.droppedKeys.size()) +
                                    " values of the imported settings.json cannot be read and "
                                    "take their defaults");
        }
    } else {
        summary.untouched.emplace_back(SettingsExportDocument::settings);
    }

    if (envelope.nativeDockFolders) {
        const auto current = readIfPresent(locations.nativeDockFoldersURL(),
                                           NativeDockFolderDocumentLimits::maxBytes);
        SettingsDocumentChange change{SettingsDocumentKind::nativeDockFolders,
                                      std::string(SettingsExportDocument::nativeDockFolders),
                                      current.has_value(),
                                      current != envelope.nativeDockFolders,
                                      0,
                                      "folder"};
        if (change.differs) {
            change.values = differingByID(
                foldersOf(current), foldersOf(envelope.nativeDockFolders),
                [](const SettingsNativeDockFolder& folder) { return folder.id.string(); });
        }
        summary.documents.push_back(std::move(change));
    } else {
        summary.untouched.emplace_back(SettingsExportDocument::nativeDockFolders);
    }

    if (envelope.newFileSettings) {
        const auto current =
            readIfPresent(locations.newFileSettingsURL(), NewFileLimits::maxDocumentBytes);
        const NewFileSettings before = newFileOf(current);
        const NewFileSettings after = newFileOf(envelope.newFileSettings);
        SettingsDocumentChange change{SettingsDocumentKind::newFile,
                                      std::string(SettingsExportDocument::newFileSettings),
                                      current.has_value(),
                                      current != envelope.newFileSettings,
                                      0,
                                      "template"};
        std::size_t changedFiles = 0;
        for (const auto& [name, bytes] : envelope.newFileTemplates) {
            if (readIfPresent(locations.newFileTemplatesDirectory() / name,
                              NewFileLimits::maxTemplateFileBytes) != bytes) {
                ++changedFiles;
            }
        }
        change.differs = change.differs || changedFiles > 0;
        if (change.differs) {
            change.values = (before.isEnabled != after.isEnabled ? 1 : 0) +
                            differingByID(before.templates, after.templates,
                                          [](const NewFileTemplate& entry) { return entry.id; });
            if (change.values == 0 && changedFiles > 0) change.values = changedFiles;
            if (before.isEnabled != after.isEnabled) {
                summary.newFileSwitchedOn = after.isEnabled;
                summary.notes.push_back(std::string("the New File menu is switched ") +
                                        (after.isEnabled ? "on" : "off"));
            }
        }
        summary.documents.push_back(std::move(change));
    } else {
        summary.untouched.emplace_back(SettingsExportDocument::newFileSettings);
    }
    return summary;
}

bool SettingsImportOutcome::didChange(SettingsDocumentKind kind) const {
    return std::find(changed.begin(), changed.end(), kind) != changed.end();
}

SettingsImportOutcome applySettingsImport(const SettingsExport& envelope,
                                          const SettingsDocumentLocations& locations,
                                          const SettingsImportOptions& options) {
    // Everything to write, in order, leaving out what is already as imported.
    std::vector<PlannedWrite> plan;
    const auto planDocument = [&plan](SettingsDocumentKind kind, const fs::path& url,
                                      const std::optional<std::string>& bytes,
                                      std::size_t maxBytes) {
        if (bytes && readIfPresent(url, maxBytes) != bytes) {
            plan.push_back({kind, url, {}, &*bytes});
        }
    };
    planDocument(SettingsDocumentKind::settings, locations.settingsURL(), envelope.settings,
                 SettingsDocumentLimits::maxBytes);
    planDocument(SettingsDocumentKind::nativeDockFolders, locations.nativeDockFoldersURL(),
                 envelope.nativeDockFolders, NativeDockFolderDocumentLimits::maxBytes);
    for (const auto& [name, bytes] : envelope.newFileTemplates) {
        if (readIfPresent(locations.newFileTemplatesDirectory() / name,
                          NewFileLimits::maxTemplateFileBytes) != bytes) {
            plan.push_back({SettingsDocumentKind::newFile, {}, name, &bytes});
        }
    }
    planDocument(SettingsDocumentKind::newFile, locations.newFileSettingsURL(),
                 envelope.newFileSettings, NewFileLimits::maxDocumentBytes);

    SettingsImportOutcome outcome;
    if (plan.empty()) return outcome;

    if (options.backup) {
        auto backup =
            takeSettingsBackup(locations, *options.backup, options.appVersion, options.now);
        if (!backup) {
            outcome.failure = Error{"the current documents could not be backed up (" +
                                    backup.error().message + "); nothing was imported"};
            return outcome;
        }
        outcome.backupName = std::move(*backup);
        if (options.afterEachWrite && outcome.backupName) options.afterEachWrite();
    }

    std::error_code ignored;  // a missing directory shows up as the write's failure
    fs::create_directories(locations.directory, ignored);
    for (const PlannedWrite& write : plan) {
        Status written;
        std::string name;
        if (write.templateName.empty()) {
            name = write.url.filename().string();
            written = platform::writeFileAtomically(write.url, *write.bytes, options.durability);
        } else {
            name = "the New File template " + write.templateName;
            auto directory =
                platform::Directory::open(locations.newFileTemplatesDirectory(),
                                          platform::Directory::Create::withIntermediates);
            written = directory ? directory->writeAtomically(write.templateName, *write.bytes)
                                : Status(directory.error());
        }
        if (!written) {
            outcome.failure = Error{name + " could not be written (" + written.error().message +
                                    "); it and the documents after it are as they were"};
            return outcome;
        }
        if (!outcome.didChange(write.kind)) outcome.changed.push_back(write.kind);
        if (options.afterEachWrite) options.afterEachWrite();
    }
    return outcome;
}

}  // namespace tavrel
