#include "tools/settings/settings_tool.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "core/settings/settings_compatibility_recovery.h"
#include "core/settings/settings_json.h"
#include "core/settings/settings_keys.h"
#include "core/settings/stored_settings.h"
#include "core/settings/taskbar_settings.h"
#include "core/settings_pages/page_registry.h"
#include "core/settings_transfer/page_settings_keys.h"
#include "core/settings_transfer/settings_backups.h"
#include "core/settings_transfer/settings_export.h"
#include "core/settings_transfer/settings_import.h"
#include "core/settings_transfer/settings_reset.h"
#include "platform/files.h"

namespace tavrel {

namespace {

using Json = nlohmann::ordered_json;
namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    R"(usage: tavrel-settings COMMAND [ARGUMENTS]

Reads and edits the taskbar settings (settings.json) through the same model as the
settings application: unknown keys are refused, values are checked and normalised,
and every write replaces the whole document atomically.

commands:
  path              print where settings.json lives
  dump              load settings.json as the application does (repairing and
                    rewriting it when needed) and print the resulting document
  get KEY           print one value: a top-level key, or windowsSettings.KEY /
                    liquidGlassSettings.KEY for a theme's own value
  set KEY JSON      store a value (JSON text: true, 42, 0.5, "text", {...}) and
                    announce the change to the running taskbar
  reset KEY         put one key back to its default (KEY as for get; a whole
                    windowsSettings or liquidGlassSettings record too)
  reset --page PAGE put back every value the settings window's page PAGE shows
                    (taskbar, clockCalendar, nativeDock, ...; or the page's title);
                    a theme's values only in the current theme
  reset --all       put every value of settings.json back to its default
  diff              list every key whose value differs from its default (what a
                    first start loads), with the value and the default
  check             report whether settings.json decodes cleanly and which keys
                    would fall back to their defaults; writes nothing
  keys              list every key with the kind of value it takes
  defaults          print the built-in default document

  export FILE       write settings.json, native-dock-folders.json and the New
                    File settings with their imported templates into one file
  import FILE       check FILE completely, print what it changes, back up the
                    current documents, then replace each changed document and
                    announce it; a document FILE does not hold is left alone
  import --dry-run FILE
                    only check FILE and print what importing it would change
  backups           list the automatic backups, oldest first (taken before
                    every import or restore and before the application
                    migrates or moves aside settings.json; the newest ten are
                    kept)
  restore NAME      import the backup NAME (as listed by backups)
  --help            show this text

A top-level per-theme key (taskbarHeight, opacity, ...) means the value of the
current theme. An import asks no question: like dconf load, it applies what it
prints, and the backup it takes first undoes it (tavrel-settings restore NAME).
Exit status: 0 success, 1 check found problems, 2 usage error, unknown key,
wrong value, failed write or refused import.
)";

constexpr const char* kThemeRecords[] = {"windowsSettings", "liquidGlassSettings"};

// Equal as JSON values, whatever the order of object members.
bool sameValue(const Json& a, const Json& b) {
    return nlohmann::json::parse(a.dump()) == nlohmann::json::parse(b.dump());
}

std::string pretty(const Json& value) {
    return value.is_structured() ? value.dump(2) : value.dump();
}

// Where a key of the command line lives in the document.
struct KeyTarget {
    std::string record;  // a theme record, or empty for the top level
    std::string name;
    SettingsValueKind kind = SettingsValueKind::boolean;
    SettingsKeyRole role = SettingsKeyRole::global;
    MirrorGroup mirror = MirrorGroup::none;

    std::string display() const { return record.empty() ? name : record + "." + name; }
};

Result<KeyTarget> resolveKey(std::string_view key, bool forWriting) {
    const std::string text(key);
    const auto dot = key.find('.');
    if (dot != std::string_view::npos) {
        const std::string record(key.substr(0, dot));
        const std::string name(key.substr(dot + 1));
        if (std::find(std::begin(kThemeRecords), std::end(kThemeRecords), record) ==
            std::end(kThemeRecords)) {
            return Error{"unknown key '" + text +
                         "': only windowsSettings.KEY and liquidGlassSettings.KEY have keys of "
                         "their own"};
        }
        const auto* info = findThemeConfigurationKey(name);
        if (info == nullptr) {
            return Error{"unknown key '" + text + "': '" + name + "' is no key of a theme"};
        }
        return KeyTarget{record, name, info->kind, SettingsKeyRole::document, MirrorGroup::none};
    }
    const auto* info = findSettingsDocumentKey(key);
    if (info == nullptr) {
        return Error{"unknown key '" + text + "' (tavrel-settings keys lists them)"};
    }
    if (info->role == SettingsKeyRole::legacy) {
        return Error{"'" + text + "' is a legacy key: it is read from older documents and " +
                     "never written"};
    }
    if (forWriting && key == "themeIsolationVersion") {
        return Error{"'themeIsolationVersion' is always written as 1"};
    }
    if (forWriting && info->role == SettingsKeyRole::derived) {
        return Error{"'" + text + "' follows the storage boxes; set applicationStorageBoxes " +
                     "instead"};
    }
    return KeyTarget{"", text, info->kind, info->role, info->mirror};
}

const Json* valueAt(const Json& document, const KeyTarget& target) {
    const Json* scope = &document;
    if (!target.record.empty()) {
        const auto record = document.find(target.record);
        if (record == document.end()) return nullptr;
        scope = &*record;
    }
    const auto found = scope->find(target.name);
    return found == scope->end() ? nullptr : &*found;
}

std::optional<StoredSettings> decodeFile(const fs::path& path, std::string* failure,
                                         settings_json::DecodeIssues* issues = nullptr) {
    auto bytes = platform::readFile(path, SettingsDocumentLimits::maxBytes);
    if (!bytes) {
        *failure = bytes.error().message;
        return std::nullopt;
    }
    SettingsCompatibilityRecovery::reset();
    auto record = StoredSettings::decode(*bytes, issues);
    SettingsCompatibilityRecovery::consume();
    if (!record) {
        *failure = record.error().message;
        return std::nullopt;
    }
    return std::move(*record);
}

// The values the application would work with, without writing anything: the document, else
// the shipped default document, else the built-in defaults.
TaskbarSettings readWithoutWriting(const SettingsEnvironment& environment, std::ostream& err) {
    TaskbarSettings settings;
    std::error_code error;
    const bool existed = fs::exists(environment.settingsURL(), error);
    if (existed) {
        std::string failure;
        if (const auto record = decodeFile(environment.settingsURL(), &failure)) {
            settings.map(*record);
            return settings;
        }
        err << "tavrel-settings: settings.json cannot be read (" << failure
            << "); showing the values the application would start from\n";
    }
    if (environment.defaultDocument) {
        if (const auto url = environment.defaultDocument()) {
            std::string failure;
            if (const auto record = decodeFile(*url, &failure)) settings.map(*record);
        }
    }
    if (!existed) settings.setTaskbarEdgeFromNativeDock(environment.preferences.get());
    return settings;
}

Json documentOf(const TaskbarSettings& settings) {
    return Json::parse(settings.encoded().value());
}

// The top-level copies of the per-theme keys follow the current theme's record, as every writer
// of the document keeps them.
void synchroniseMirrors(Json& document) {
    // A theme code of 1 is liquid glass; anything else, Windows.
    const auto theme = document.find("theme");
    const bool liquidGlass =
        theme != document.end() && theme->is_number() && theme->get<double>() == 1.0;
    const char* active = liquidGlass ? "liquidGlassSettings" : "windowsSettings";
    const Json& record = document[active];
    for (const auto& key : settingsDocumentKeys()) {
        if (key.role != SettingsKeyRole::mirror) continue;
        const std::string name(key.name);
        if (record.contains(name)) document[name] = record[name];
    }
}

int commandPath(const SettingsToolContext& context) {
    context.out << context.environment(false).settingsURL().string() << "\n";
    return SettingsToolExit::success;
}

int commandDump(const SettingsToolContext& context) {
    const SettingsEnvironment environment = context.environment(true);
    TaskbarSettings settings;
    const auto report = settings.load(environment);
    if (!report.saveStatus.ok()) {
        context.err << "tavrel-settings: warning: the repaired document could not be written: "
                    << report.saveStatus.error().message << "\n";
    }
    context.out << pretty(documentOf(settings)) << "\n";
    return SettingsToolExit::success;
}

int commandGet(const SettingsToolContext& context, std::string_view key) {
    const auto target = resolveKey(key, false);
    if (!target) {
        context.err << "tavrel-settings: " << target.error().message << "\n";
        return SettingsToolExit::usage;
    }
    const TaskbarSettings settings = readWithoutWriting(context.environment(false), context.err);
    const Json document = documentOf(settings);
    const Json* value = valueAt(document, *target);
    context.out << (value != nullptr ? pretty(*value) : "null") << "\n";
    return SettingsToolExit::success;
}

// Checks the value's shape by decoding it where it will be stored.
Status checkValue(const KeyTarget& target, const Json& value) {
    Json probe = Json::object();
    const bool inRecord = !target.record.empty() || target.role == SettingsKeyRole::mirror;
    if (inRecord) {
        probe["windowsSettings"][target.name] = value;
    } else {
        probe[target.name] = value;
    }
    settings_json::DecodeIssues issues;
    SettingsCompatibilityRecovery::reset();
    const auto decoded = StoredSettings::decode(probe.dump(), &issues);
    SettingsCompatibilityRecovery::consume();
    // Only the display selections may be cleared.
    const bool clearable =
        target.record.empty() &&
        (target.name == "taskbarDisplayIdentifier" || target.name == "taskbarDisplayIdentifiers" ||
         target.name == "taskbarExcludedDisplayIdentifiers");
    if (!decoded || !issues.droppedKeys.empty() || (value.is_null() && !clearable)) {
        return Error{"the value for '" + target.display() + "' must be " +
                     std::string(settingsValueKindName(target.kind))};
    }
    return Status::success();
}

int commandSet(const SettingsToolContext& context, std::string_view key, std::string_view text) {
    const auto edit = parseSettingsEdit(key, text);
    if (!edit) {
        context.err << "tavrel-settings: " << edit.error().message << "\n";
        return SettingsToolExit::usage;
    }
    const auto outcome = applySettingsEdit(*edit, context.environment(true));
    if (!outcome) {
        context.err << "tavrel-settings: " << outcome.error().message << "\n";
        return SettingsToolExit::usage;
    }
    if (outcome->note) context.err << "tavrel-settings: note: " << *outcome->note << "\n";
    if (outcome->fileChanged) {
        if (Status announced = context.announce(); !announced) {
            context.err << "tavrel-settings: warning: settings.json was saved, but the change "
                           "was not announced ("
                        << announced.error().message
                        << "); a running taskbar sees it when it next reloads its settings\n";
        }
    }
    return SettingsToolExit::success;
}

std::string describeDroppedKey(const std::string& path) {
    std::string kind;
    const auto dot = path.find('.');
    const auto bracket = path.find('[');
    if (bracket == std::string::npos) {
        if (dot == std::string::npos) {
            if (const auto* info = findSettingsDocumentKey(path)) {
                kind = settingsValueKindName(info->kind);
            }
        } else if (const auto* info = findThemeConfigurationKey(path.substr(dot + 1))) {
            kind = settingsValueKindName(info->kind);
        }
    }
    if (kind.empty()) return "  " + path + ": cannot be read; left out\n";
    return "  " + path + ": not " + kind + "; the default is used\n";
}

int commandCheck(const SettingsToolContext& context) {
    const SettingsEnvironment environment = context.environment(false);
    const fs::path url = environment.settingsURL();
    std::error_code error;
    if (!fs::exists(url, error)) {
        context.out << url.string()
                    << " does not exist yet; the application creates it from the defaults.\n";
        return SettingsToolExit::success;
    }
    std::string failure;
    settings_json::DecodeIssues issues;
    const auto record = decodeFile(url, &failure, &issues);
    if (!record) {
        context.out << url.string() << " cannot be read: " << failure << "\n"
                    << "The application will move it aside as "
                       "settings.incompatible-<time>-<id>.json and start from the defaults.\n";
        return SettingsToolExit::problems;
    }

    std::vector<std::string> unknown;
    std::vector<std::string> legacy;
    if (const auto bytes = platform::readFile(url, SettingsDocumentLimits::maxBytes)) {
        const Json document = Json::parse(*bytes, nullptr, false);
        for (const auto& item : document.items()) {
            const auto* info = findSettingsDocumentKey(item.key());
            if (info == nullptr) {
                unknown.push_back(item.key());
            } else if (info->role == SettingsKeyRole::legacy) {
                legacy.push_back(item.key());
            }
        }
    }
    TaskbarSettings settings;
    const auto mapping = settings.map(*record);

    if (issues.droppedKeys.empty()) {
        context.out << url.string() << " decodes cleanly.\n";
    } else {
        context.out << url.string() << " decodes, but " << issues.droppedKeys.size()
                    << (issues.droppedKeys.size() == 1 ? " key falls" : " keys fall")
                    << " back to the default:\n";
        for (const auto& path : issues.droppedKeys) context.out << describeDroppedKey(path);
    }
    const auto list = [](const std::vector<std::string>& keys) {
        std::string text;
        for (const auto& key : keys) text += (text.empty() ? "" : ", ") + key;
        return text;
    };
    if (mapping.themeIsolationRan) {
        context.out << "note: no themeIsolationVersion: the layout keys are copied into both "
                       "themes once.\n";
    }
    if (mapping.heightRepaired) {
        context.out << "note: the liquid-glass taskbar height was overwritten with the Windows "
                       "height and is repaired.\n";
    }
    if (!legacy.empty()) {
        context.out << "note: legacy keys, migrated and then dropped: " << list(legacy) << "\n";
    }
    if (!unknown.empty()) {
        context.out << "note: unknown keys, ignored and dropped on the next save: " << list(unknown)
                    << "\n";
    }
    if (!issues.droppedKeys.empty() || mapping.themeIsolationRan || mapping.heightRepaired) {
        context.out << "The application rewrites the document when it next loads it.\n";
    }
    return issues.droppedKeys.empty() ? SettingsToolExit::success : SettingsToolExit::problems;
}

int commandKeys(const SettingsToolContext& context) {
    for (const auto& key : settingsDocumentKeys()) {
        context.out << key.name << "\t" << settingsValueKindName(key.kind);
        if (key.role == SettingsKeyRole::mirror) context.out << " (the current theme's value)";
        if (key.role == SettingsKeyRole::legacy) context.out << " (legacy, never written)";
        if (key.role == SettingsKeyRole::derived) context.out << " (follows the storage boxes)";
        context.out << "\n";
    }
    for (const char* record : kThemeRecords) {
        for (const auto& key : themeConfigurationKeys()) {
            context.out << record << "." << key.name << "\t" << settingsValueKindName(key.kind)
                        << "\n";
        }
    }
    return SettingsToolExit::success;
}

int usageError(const SettingsToolContext& context, const std::string& message) {
    context.err << "tavrel-settings: " << message << "\n"
                << "Try 'tavrel-settings --help'.\n";
    return SettingsToolExit::usage;
}

}  // namespace

Result<SettingsEdit> parseSettingsEdit(std::string_view key, std::string_view jsonText) {
    auto target = resolveKey(key, true);
    if (!target) return target.error();
    Json value;
    try {
        value = Json::parse(jsonText);
    } catch (const Json::exception&) {
        return Error{"'" + std::string(jsonText) +
                     "' is not JSON (strings need quotes: '\"text\"')"};
    }
    if (Status valid = checkValue(*target, value); !valid) return valid.error();
    return SettingsEdit{target->record, target->name, target->role, std::move(value)};
}

Result<SettingsEditOutcome> applySettingsEdit(const SettingsEdit& edit,
                                              const SettingsEnvironment& environment) {
    const auto before =
        platform::readFile(environment.settingsURL(), SettingsDocumentLimits::maxBytes);
    TaskbarSettings current;
    current.load(environment);

    Json document;
    if (edit.record.empty() && edit.name == "opacity") {
        // The effective opacity: the Windows record's, or the liquid-glass material's.
        current.setOpacity(edit.value.get<double>());
        document = documentOf(current);
    } else {
        document = documentOf(current);
        if (!edit.record.empty()) {
            document[edit.record][edit.name] = edit.value;
        } else if (edit.role == SettingsKeyRole::mirror) {
            const bool liquidGlass = current.theme == TaskbarTheme::liquidGlass;
            document[liquidGlass ? "liquidGlassSettings" : "windowsSettings"][edit.name] =
                edit.value;
        } else {
            document[edit.name] = edit.value;
        }
        synchroniseMirrors(document);
    }

    TaskbarSettings updated;
    updated.map(StoredSettings::decode(document.dump()).value());
    if (Status saved = updated.save(environment); !saved) {
        return Error{"could not save " + environment.settingsURL().string() + ": " +
                     saved.error().message};
    }

    SettingsEditOutcome outcome;
    const Json stored = documentOf(updated);
    const KeyTarget target{edit.record, edit.name, SettingsValueKind::boolean, edit.role,
                           MirrorGroup::none};
    if (const Json* storedValue = valueAt(stored, target);
        storedValue != nullptr && !sameValue(*storedValue, edit.value)) {
        outcome.note = edit.display() + " was stored as " + pretty(*storedValue);
    }
    const auto after =
        platform::readFile(environment.settingsURL(), SettingsDocumentLimits::maxBytes);
    outcome.fileChanged = before.ok() != after.ok() || (before.ok() && *before != *after);
    return outcome;
}

namespace {

std::chrono::system_clock::time_point nowOf(const SettingsToolContext& context) {
    return context.now ? context.now() : std::chrono::system_clock::now();
}

std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

void warnNotAnnounced(const SettingsToolContext& context, const std::string& what,
                      const Status& announced) {
    if (announced) return;
    context.err << "tavrel-settings: warning: " << what
                << " was saved, but the change was not announced (" << announced.error().message
                << "); the running programs see it when they next read it\n";
}

// Loads the document as the application does, changes it and saves; announces when the bytes
// changed.
int modifySettings(const SettingsToolContext& context,
                   const std::function<Status(TaskbarSettings&)>& change) {
    const SettingsEnvironment environment = context.environment(true);
    TaskbarSettings settings;
    settings.load(environment);
    const auto before =
        platform::readFile(environment.settingsURL(), SettingsDocumentLimits::maxBytes);
    if (Status changed = change(settings); !changed) {
        context.err << "tavrel-settings: " << changed.error().message << "\n";
        return SettingsToolExit::usage;
    }
    if (Status saved = settings.save(environment); !saved) {
        context.err << "tavrel-settings: could not save " << environment.settingsURL().string()
                    << ": " << saved.error().message << "\n";
        return SettingsToolExit::usage;
    }
    const auto after =
        platform::readFile(environment.settingsURL(), SettingsDocumentLimits::maxBytes);
    const bool fileChanged = before.ok() != after.ok() || (before.ok() && *before != *after);
    if (fileChanged) warnNotAnnounced(context, "settings.json", context.announce());
    return SettingsToolExit::success;
}

int commandReset(const SettingsToolContext& context, const std::string& what) {
    if (what == "--all") {
        return modifySettings(context, [](TaskbarSettings& settings) {
            resetAllSettings(settings);
            return Status::success();
        });
    }
    if (what.starts_with("-")) {
        return usageError(context, "usage: tavrel-settings reset KEY|--page PAGE|--all");
    }
    return modifySettings(
        context, [&what](TaskbarSettings& settings) { return resetSettingsKey(settings, what); });
}

int commandResetPage(const SettingsToolContext& context, const std::string& name) {
    const auto page = featurePageNamed(name);
    if (!page) {
        std::string names;
        for (const FeaturePage candidate : allFeaturePages()) {
            names += (names.empty() ? "" : ", ") + std::string(featurePageName(candidate));
        }
        return usageError(context, "unknown page '" + name + "'; the pages are " + names);
    }
    return modifySettings(context, [page](TaskbarSettings& settings) {
        resetPageSettings(settings, *page);
        return Status::success();
    });
}

int commandDiff(const SettingsToolContext& context) {
    const TaskbarSettings settings = readWithoutWriting(context.environment(false), context.err);
    for (const SettingsDefaultDifference& difference : settingsDefaultDifferences(settings)) {
        context.out << difference.key << " " << difference.value.dump() << " (default "
                    << difference.defaultValue.dump() << ")\n";
    }
    return SettingsToolExit::success;
}

int commandExport(const SettingsToolContext& context, const std::string& file) {
    const SettingsDocumentLocations locations{context.environment(false).directory};
    const SettingsExportReading reading =
        readSettingsExport(locations, context.appVersion, nowOf(context));
    for (const std::string& note : reading.leftOut) {
        context.err << "tavrel-settings: warning: " << note << "\n";
    }
    const std::vector<std::string> names = reading.envelope.documentNames();
    if (names.empty()) {
        context.err << "tavrel-settings: nothing to export: " << locations.directory.string()
                    << " holds none of the documents\n";
        return SettingsToolExit::usage;
    }
    const auto bytes = reading.envelope.encode();
    if (!bytes) {
        context.err << "tavrel-settings: cannot export: " << bytes.error().message << "\n";
        return SettingsToolExit::usage;
    }
    if (Status written = platform::writeFileAtomically(file, *bytes); !written) {
        context.err << "tavrel-settings: could not write " << file << ": "
                    << written.error().message << "\n";
        return SettingsToolExit::usage;
    }
    context.out << "exported " << listed(names) << " to " << file << "\n";
    return SettingsToolExit::success;
}

// The import path shared by import and restore: summary, backup, writes, announcements.
int importEnvelope(const SettingsToolContext& context, const SettingsExport& envelope,
                   const std::string& source, SettingsBackupReason reason, bool dryRun) {
    const SettingsEnvironment environment = context.environment(!dryRun);
    const SettingsDocumentLocations locations{environment.directory};
    const SettingsImportSummary summary = summarizeSettingsImport(envelope, locations);
    context.out << source << " (exported " << envelope.exportedAt << " by Tavrel "
                << envelope.appVersion << "):\n"
                << summary.text();
    if (dryRun) {
        context.out << "nothing was changed (--dry-run)\n";
        return SettingsToolExit::success;
    }
    if (!summary.changesAnything()) {
        context.out << "nothing to import: every document is as in the file\n";
        return SettingsToolExit::success;
    }

    SettingsImportOptions options;
    options.backup = reason;
    options.appVersion = context.appVersion;
    options.now = nowOf(context);
    options.durability = environment.durability;
    options.afterEachWrite = context.afterEachImportWrite;
    const SettingsImportOutcome outcome = applySettingsImport(envelope, locations, options);
    if (outcome.backupName) {
        context.out << "the documents as they were are in the backup " << *outcome.backupName
                    << " (tavrel-settings restore " << *outcome.backupName
                    << " brings them back)\n";
    }
    for (const SettingsDocumentKind kind : outcome.changed) {
        switch (kind) {
            case SettingsDocumentKind::settings:
                warnNotAnnounced(context, "settings.json", context.announce());
                break;
            case SettingsDocumentKind::nativeDockFolders:
                if (context.announceNativeDockFolders) {
                    warnNotAnnounced(context, "native-dock-folders.json",
                                     context.announceNativeDockFolders());
                }
                break;
            case SettingsDocumentKind::newFile:
                if (context.announceNewFileSettings) {
                    warnNotAnnounced(context, "NewFileSettings.json",
                                     context.announceNewFileSettings());
                }
                break;
        }
    }
    if (outcome.failure) {
        context.err << "tavrel-settings: the import stopped: " << outcome.failure->message << "\n";
        return SettingsToolExit::usage;
    }
    context.out << "imported\n";
    return SettingsToolExit::success;
}

int commandImport(const SettingsToolContext& context, const std::string& file, bool dryRun) {
    // One byte past the cap, so that the decoder names an oversized file as such.
    auto bytes = platform::readFile(file, SettingsTransferLimits::maxEnvelopeBytes + 1);
    if (!bytes) {
        std::error_code error;
        const auto size = fs::file_size(file, error);
        const std::string reason =
            !error && size > SettingsTransferLimits::maxEnvelopeBytes
                ? "the file is larger than the " +
                      std::to_string(SettingsTransferLimits::maxEnvelopeBytes) +
                      " bytes a settings export can have"
                : bytes.error().message;
        context.err << "tavrel-settings: cannot import " << file << ": " << reason
                    << "; nothing was changed\n";
        return SettingsToolExit::usage;
    }
    auto envelope = SettingsExport::decode(*bytes);
    if (!envelope) {
        context.err << "tavrel-settings: cannot import " << file << ": " << envelope.error().message
                    << "; nothing was changed\n";
        return SettingsToolExit::usage;
    }
    return importEnvelope(context, *envelope, file, SettingsBackupReason::import, dryRun);
}

int commandBackups(const SettingsToolContext& context) {
    const SettingsDocumentLocations locations{context.environment(false).directory};
    const auto backups = listSettingsBackups(locations);
    if (backups.empty()) {
        context.out << "no backups in " << locations.backupsDirectory().string() << "\n";
        return SettingsToolExit::success;
    }
    for (const SettingsBackupName& backup : backups) {
        const std::string name = backup.fileName();
        context.out << name << "\t" << settingsBackupReasonText(backup.reason);
        if (auto envelope = readSettingsBackup(locations, name)) {
            context.out << "\t" << listed(envelope->documentNames());
        } else {
            context.out << "\tcannot be read: " << envelope.error().message;
        }
        context.out << "\n";
    }
    return SettingsToolExit::success;
}

int commandRestore(const SettingsToolContext& context, const std::string& name) {
    const SettingsDocumentLocations locations{context.environment(false).directory};
    auto envelope = readSettingsBackup(locations, name);
    if (!envelope) {
        context.err << "tavrel-settings: cannot restore " << name << ": "
                    << envelope.error().message
                    << " (tavrel-settings backups lists them); nothing was changed\n";
        return SettingsToolExit::usage;
    }
    return importEnvelope(context, *envelope, name, SettingsBackupReason::restore, false);
}

}  // namespace

std::string_view settingsToolUsage() {
    return kUsage;
}

int runSettingsTool(const std::vector<std::string>& arguments, const SettingsToolContext& context) {
    if (arguments.empty()) return usageError(context, "no command given");
    const std::string& command = arguments[0];
    const std::size_t operands = arguments.size() - 1;
    const auto expect = [&](std::size_t count, const char* shape) -> bool {
        if (operands == count) return true;
        usageError(context, "usage: tavrel-settings " + command + shape);
        return false;
    };
    if (command == "--help" || command == "-h" || command == "help") {
        context.out << kUsage;
        return SettingsToolExit::success;
    }
    if (command == "path") return expect(0, "") ? commandPath(context) : SettingsToolExit::usage;
    if (command == "dump") return expect(0, "") ? commandDump(context) : SettingsToolExit::usage;
    if (command == "check") return expect(0, "") ? commandCheck(context) : SettingsToolExit::usage;
    if (command == "keys") return expect(0, "") ? commandKeys(context) : SettingsToolExit::usage;
    if (command == "defaults") {
        if (!expect(0, "")) return SettingsToolExit::usage;
        context.out << pretty(documentOf(TaskbarSettings())) << "\n";
        return SettingsToolExit::success;
    }
    if (command == "get") {
        return expect(1, " KEY") ? commandGet(context, arguments[1]) : SettingsToolExit::usage;
    }
    if (command == "set") {
        return expect(2, " KEY JSON") ? commandSet(context, arguments[1], arguments[2])
                                      : SettingsToolExit::usage;
    }
    if (command == "diff") return expect(0, "") ? commandDiff(context) : SettingsToolExit::usage;
    if (command == "reset") {
        if (operands == 2 && arguments[1] == "--page")
            return commandResetPage(context, arguments[2]);
        return expect(1, " KEY|--page PAGE|--all") ? commandReset(context, arguments[1])
                                                   : SettingsToolExit::usage;
    }
    if (command == "export") {
        return expect(1, " FILE") ? commandExport(context, arguments[1]) : SettingsToolExit::usage;
    }
    if (command == "import") {
        if (operands == 2 && arguments[1] == "--dry-run") {
            return commandImport(context, arguments[2], true);
        }
        if (operands == 1 && !arguments[1].starts_with("--")) {
            return commandImport(context, arguments[1], false);
        }
        return usageError(context, "usage: tavrel-settings import [--dry-run] FILE");
    }
    if (command == "backups") {
        return expect(0, "") ? commandBackups(context) : SettingsToolExit::usage;
    }
    if (command == "restore") {
        return expect(1, " NAME") ? commandRestore(context, arguments[1]) : SettingsToolExit::usage;
    }
    return usageError(context, "unknown command '" + command + "'");
}

}  // namespace tavrel
