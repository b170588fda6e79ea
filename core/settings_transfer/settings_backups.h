#pragma once

// Automatic backups: before an import or a restore, before a load migrates settings.json and
// before it moves an unreadable one aside, the current documents are written as one export
// envelope into the data directory's "backups" folder, named after the moment and the reason:
//
//     backup-20261210T213000.123Z-import.json
//     backup-20261210T213000.123Z-2-import.json   (a second backup within the same millisecond)
//
// The newest ten are kept. A backup is restored through the import path.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/foundation/result.h"
#include "core/settings/settings_compatibility_recovery.h"
#include "core/settings_transfer/settings_export.h"

namespace tavrel {

struct SettingsBackupLimits {
    static constexpr std::size_t kept = 10;
};

enum class SettingsBackupReason {
    import,
    restore,
    migration,
    unreadableDocument,
};

// "import", "restore", "migration", "unreadable": the word in the file name.
std::string_view settingsBackupReasonName(SettingsBackupReason reason);
// "before an import", …: how a listing describes it.
std::string_view settingsBackupReasonText(SettingsBackupReason reason);

struct SettingsBackupName {
    std::string stamp;  // "20261210T213000.123Z"
    int sequence = 1;   // 1, or the number that keeps two backups of one millisecond apart
    SettingsBackupReason reason = SettingsBackupReason::import;

    std::string fileName() const;
    // The moment of the stamp.
    std::chrono::system_clock::time_point time() const;
    static SettingsBackupName at(std::chrono::system_clock::time_point time,
                                 SettingsBackupReason reason, int sequence = 1);
    // Nothing for any name this scheme does not make, so other files are never touched.
    static std::optional<SettingsBackupName> parse(std::string_view fileName);

    // Older first.
    friend bool operator<(const SettingsBackupName& a, const SettingsBackupName& b) {
        return a.stamp != b.stamp ? a.stamp < b.stamp : a.sequence < b.sequence;
    }
};

// The backups of the data directory, oldest first.
std::vector<SettingsBackupName> listSettingsBackups(const SettingsDocumentLocations& locations);

// Writes the current documents as a new backup (never replacing one) and removes the oldest
// beyond the newest ten. The result is the new backup's file name, or nothing when there is no
// document to back up.
Result<std::optional<std::string>> takeSettingsBackup(const SettingsDocumentLocations& locations,
                                                      SettingsBackupReason reason,
                                                      const std::string& appVersion,
                                                      std::chrono::system_clock::time_point now);

// A backup by its file name, decoded like any import; an error for a name that is not one of
// the listed backups.
Result<SettingsExport> readSettingsBackup(const SettingsDocumentLocations& locations,
                                          std::string_view fileName);

// The hook a program installs so that loads back the documents up before they rewrite or move
// settings.json. Failures go to the log; the load goes on.
class SettingsTransferBackupHook final : public SettingsBackupHook {
public:
    SettingsTransferBackupHook(std::string appVersion,
                               std::function<std::chrono::system_clock::time_point()> now);
    void backUpBeforeRewrite(SettingsBackupOccasion occasion,
                             const std::filesystem::path& directory) override;

private:
    std::string appVersion_;
    std::function<std::chrono::system_clock::time_point()> now_;
};

}  // namespace tavrel
