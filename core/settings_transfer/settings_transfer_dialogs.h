#pragma once

// The settings window's "导出设置…", "导入设置…" and "恢复备份": the file panels and alerts around
// the export envelope and the import the command line uses too. An import is checked as a whole
// first, then its summary is shown and nothing happens unless the user confirms; a refused file
// says why and changes nothing. Main thread only.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/settings_transfer/settings_backups.h"
#include "core/settings_transfer/settings_export.h"
#include "core/settings_transfer/settings_import.h"
#include "platform/dialogs.h"
#include "platform/files.h"

namespace tavrel {

struct SettingsTransferTexts {
    static constexpr const char* exportItem = "导出设置…";
    static constexpr const char* importItem = "导入设置…";
    static constexpr const char* restoreMenu = "恢复备份";
    static constexpr const char* noBackupsItem = "没有备份";
    static constexpr const char* importButton = "导入";
    static constexpr const char* restoreButton = "恢复";
    static constexpr const char* cancelButton = "取消";
    static constexpr const char* okButton = "好";
};

struct SettingsTransferContext {
    platform::Dialogs& dialogs;
    SettingsDocumentLocations locations;
    std::string appVersion = {};
    platform::Durability durability = platform::Durability::durable;
    std::function<std::chrono::system_clock::time_point()> now = [] {
        return std::chrono::system_clock::now();
    };
    // A moment as the user reads it ("2026年12月10日 21:30"), in local time.
    std::function<std::string(std::chrono::system_clock::time_point)> localTime = {};
    // Runs once for each document an import replaced, in the order they were written, so that
    // each change is announced as its own editor announces it.
    std::function<void(SettingsDocumentKind)> announce = {};
};

enum class SettingsTransferResult {
    cancelled,  // the user said no (or closed a panel)
    nothing,    // there was nothing to do, and the user was told
    done,
    refused,  // the file or backup cannot be imported; nothing changed
    failed,   // writing failed; the alert says what was changed
};

SettingsTransferResult exportSettingsThroughDialogs(const SettingsTransferContext& context);
SettingsTransferResult importSettingsThroughDialogs(const SettingsTransferContext& context);
SettingsTransferResult restoreSettingsBackupThroughDialogs(const SettingsTransferContext& context,
                                                           const std::string& backupName);

// The backups as the restore menu lists them, newest first.
struct SettingsBackupMenuItem {
    std::string name;   // the backup's file name
    std::string title;  // "2026年12月10日 21:30（导入前）"
};
std::vector<SettingsBackupMenuItem> settingsBackupMenuItems(const SettingsTransferContext& context);

// The summary as the confirmation shows it: one line per document, then the notes.
std::string settingsImportSummaryText(const SettingsImportSummary& summary);

// The first sentence of a refusal, by its kind.
std::string_view settingsExportRefusalText(SettingsExportRefusal refusal);

}  // namespace tavrel
