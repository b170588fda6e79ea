#pragma once

// Importing an export envelope into a data directory. The envelope was validated as a whole when
// it was decoded; importing first says what would change, then takes a backup of the current
// documents, then replaces each changed document atomically, one after the other, and reports
// which ones changed so that the caller announces each as its own editor does. A crash at any
// moment leaves every document either as it was or as imported.

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/foundation/result.h"
#include "core/settings_transfer/settings_backups.h"
#include "core/settings_transfer/settings_export.h"
#include "platform/files.h"

namespace tavrel {

enum class SettingsDocumentKind {
    settings,           // settings.json
    nativeDockFolders,  // native-dock-folders.json
    newFile,            // NewFileSettings.json and its imported template files
};

struct SettingsDocumentChange {
    SettingsDocumentKind kind = SettingsDocumentKind::settings;
    std::string name;        // the document's file name
    bool existed = false;    // the data directory has it now
    bool differs = false;    // importing changes its bytes (or the template files)
    std::size_t values = 0;  // differing values, folders or templates
    std::string unit;        // "value", "folder" or "template" (one of them)
};

struct SettingsImportSummary {
    // The documents of the envelope, in envelope order.
    std::vector<SettingsDocumentChange> documents;
    // The documents the envelope does not hold, which the import leaves as they are.
    std::vector<std::string> untouched;
    // Things worth saying besides the counts, as sentences, and the same as values.
    std::vector<std::string> notes;
    std::size_t unreadableSettingsValues = 0;  // values of the imported settings.json dropped
    std::optional<bool> newFileSwitchedOn;     // the New File menu is switched on (off)

    bool changesAnything() const;
    // The lines a user reads before (or after) the import.
    std::string text() const;
};

// What importing `envelope` into `locations` would change. Reads, writes nothing.
SettingsImportSummary summarizeSettingsImport(const SettingsExport& envelope,
                                              const SettingsDocumentLocations& locations);

struct SettingsImportOptions {
    // The reason recorded for the backup taken first; nothing takes none.
    std::optional<SettingsBackupReason> backup = SettingsBackupReason::import;
    std::string appVersion;
    std::chrono::system_clock::time_point now = std::chrono::system_clock::now();
    platform::Durability durability = platform::Durability::durable;
    // Runs after each file the import has replaced; crash tests stop the process there.
    std::function<void()> afterEachWrite;
};

struct SettingsImportOutcome {
    std::vector<SettingsDocumentKind> changed;  // in the order they were written
    std::optional<std::string> backupName;
    // Set when the import stopped early: nothing was written when the backup failed, else the
    // documents in `changed` are imported and the rest are as they were.
    std::optional<Error> failure;

    bool didChange(SettingsDocumentKind kind) const;
};

// Writes settings.json, native-dock-folders.json, the template files, then NewFileSettings.json
// (the document last, so it never names a template file that is not there yet); documents whose
// bytes would not change are not written. Nothing is written and no backup taken when nothing
// differs.
SettingsImportOutcome applySettingsImport(const SettingsExport& envelope,
                                          const SettingsDocumentLocations& locations,
                                          const SettingsImportOptions& options);

}  // namespace tavrel
