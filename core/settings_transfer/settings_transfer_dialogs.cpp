#include "core/settings_transfer/settings_transfer_dialogs.h"

#include <algorithm>
#include <system_error>

namespace tavrel {

namespace fs = std::filesystem;

namespace {

using platform::ModalAlert;

constexpr const char* kNothingChanged = "没有更改任何设置。";

std::string documentTitle(SettingsDocumentKind kind) {
    switch (kind) {
        case SettingsDocumentKind::settings:
            return "任务栏设置（settings.json）";
        case SettingsDocumentKind::nativeDockFolders:
            return "原生 Dock 文件夹（native-dock-folders.json）";
        case SettingsDocumentKind::newFile:
            return "新建文件（NewFileSettings.json）";
    }
    return {};
}

std::string countedDifference(const SettingsDocumentChange& change) {
    const std::string count = std::to_string(change.values);
    switch (change.kind) {
        case SettingsDocumentKind::settings:
            return count + " 项设置不同";
        case SettingsDocumentKind::nativeDockFolders:
            return count + " 个文件夹不同";
        case SettingsDocumentKind::newFile:
            return count + " 项不同";
    }
    return {};
}

std::string_view backupReasonTitle(SettingsBackupReason reason) {
    switch (reason) {
        case SettingsBackupReason::import:
            return "导入前";
        case SettingsBackupReason::restore:
            return "恢复备份前";
        case SettingsBackupReason::migration:
            return "升级设置文件前";
        case SettingsBackupReason::unreadableDocument:
            return "移走无法读取的设置文件前";
    }
    return {};
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty()) text += "、";
        text += name;
    }
    return text;
}

void tell(const SettingsTransferContext& context, ModalAlert::Style style, std::string message,
          std::string informativeText) {
    context.dialogs.runSheet(ModalAlert{style,
                                        std::move(message),
                                        std::move(informativeText),
                                        {SettingsTransferTexts::okButton},
                                        {},
                                        {}});
}

std::string localTime(const SettingsTransferContext& context,
                      std::chrono::system_clock::time_point time) {
    return context.localTime ? context.localTime(time) : settingsExportTimestamp(time);
}

// The file the user chose, read with room for one byte past the cap, so that an oversized file
// is named as such by the decoder.
Result<SettingsExport> readChosenFile(const fs::path& file, SettingsExportRefusal& refusal) {
    refusal = SettingsExportRefusal::damaged;
    std::error_code error;
    const auto size = fs::file_size(file, error);
    if (!error && size > SettingsTransferLimits::maxEnvelopeBytes) {
        refusal = SettingsExportRefusal::tooLarge;
        return Error{"the file is larger than the " +
                     std::to_string(SettingsTransferLimits::maxEnvelopeBytes) +
                     " bytes a settings export can have"};
    }
    auto bytes = platform::readFile(file, SettingsTransferLimits::maxEnvelopeBytes + 1);
    if (!bytes) return bytes.error();
    return SettingsExport::decode(*bytes, &refusal);
}

// Summary, confirmation, backup, writes, announcements: the path an import and a restore share.
SettingsTransferResult importEnvelope(const SettingsTransferContext& context,
                                      const SettingsExport& envelope, const std::string& question,
                                      const char* confirmButton, SettingsBackupReason reason) {
    const SettingsImportSummary summary = summarizeSettingsImport(envelope, context.locations);
    if (!summary.changesAnything()) {
        tell(context, ModalAlert::Style::informational, "无需导入",
             "文件中的设置与当前设置完全相同。" + std::string(kNothingChanged));
        return SettingsTransferResult::nothing;
    }
    std::string details = "导出于 " + envelope.exportedAt + "，Tavrel " + envelope.appVersion +
                          "\n\n" + settingsImportSummaryText(summary) +
                          "\n导入前，当前的设置会自动备份，可在“恢复备份”中找回。";
    const platform::ModalAlertResponse answer =
        context.dialogs.runSheet(ModalAlert{ModalAlert::Style::warning,
                                            question,
                                            std::move(details),
                                            {confirmButton, SettingsTransferTexts::cancelButton},
                                            {},
                                            {}});
    if (!answer.isFirstButton()) return SettingsTransferResult::cancelled;

    SettingsImportOptions options;
    options.backup = reason;
    options.appVersion = context.appVersion;
    options.now = context.now();
    options.durability = context.durability;
    const SettingsImportOutcome outcome = applySettingsImport(envelope, context.locations, options);
    if (context.announce) {
        for (const SettingsDocumentKind kind : outcome.changed) context.announce(kind);
    }
    if (outcome.failure) {
        std::string text = outcome.changed.empty() ? std::string(kNothingChanged) : "已导入：";
        if (!outcome.changed.empty()) {
            std::vector<std::string> names;
            for (const SettingsDocumentKind kind : outcome.changed)
                names.push_back(documentTitle(kind));
            text += joined(names) + "。其余的保持原样。";
        }
        text += "\n\n详细信息：" + outcome.failure->message;
        tell(context, ModalAlert::Style::critical, "导入未完成", std::move(text));
        return SettingsTransferResult::failed;
    }
    return SettingsTransferResult::done;
}

}  // namespace

std::string_view settingsExportRefusalText(SettingsExportRefusal refusal) {
    switch (refusal) {
        case SettingsExportRefusal::tooLarge:
            return "这个文件太大，不是 Tavrel 导出的设置文件。";
        case SettingsExportRefusal::notAnExport:
            return "这个文件不是 Tavrel 导出的设置文件。";
        case SettingsExportRefusal::newerFormat:
            return "这个文件由更新版本的 Tavrel 导出，当前版本还无法读取。请先更新 Tavrel。";
        case SettingsExportRefusal::damaged:
            return "这个文件不完整或已损坏。";
    }
    return {};
}

std::string settingsImportSummaryText(const SettingsImportSummary& summary) {
    std::string text;
    for (const SettingsDocumentChange& change : summary.documents) {
        text += documentTitle(change.kind) + "：";
        if (!change.differs) {
            text += "相同";
        } else if (change.values == 0) {
            text += "内容相同，将重新写入";
        } else {
            text += countedDifference(change);
        }
        if (!change.existed) text += "（目前还没有）";
        text += "\n";
    }
    for (const std::string& name : summary.untouched) {
        text += name + "：文件中没有，保持不变\n";
    }
    if (summary.unreadableSettingsValues > 0) {
        text += "文件中有 " + std::to_string(summary.unreadableSettingsValues) +
                " 项设置无法读取，将使用默认值。\n";
    }
    if (summary.newFileSwitchedOn) {
        text +=
            *summary.newFileSwitchedOn ? "“新建文件”菜单将开启。\n" : "“新建文件”菜单将关闭。\n";
    }
    return text;
}

SettingsTransferResult exportSettingsThroughDialogs(const SettingsTransferContext& context) {
    const auto now = context.now();
    const SettingsExportReading reading =
        readSettingsExport(context.locations, context.appVersion, now);
    const std::vector<std::string> names = reading.envelope.documentNames();
    if (names.empty()) {
        tell(context, ModalAlert::Style::informational, "没有可导出的设置",
             "还没有保存过任何设置。");
        return SettingsTransferResult::nothing;
    }
    auto bytes = reading.envelope.encode();
    if (!bytes) {
        tell(context, ModalAlert::Style::critical, "无法导出设置",
             "详细信息：" + bytes.error().message);
        return SettingsTransferResult::failed;
    }

    platform::SaveFileRequest request;
    request.title = "导出设置";
    request.suggestedName = "Tavrel 设置 " + settingsExportTimestamp(now).substr(0, 10) + ".json";
    request.defaultExtension = "json";
    request.prompt = "导出";
    const std::optional<fs::path> file = context.dialogs.saveFile(request);
    if (!file) return SettingsTransferResult::cancelled;

    if (Status written = platform::writeFileAtomically(*file, *bytes, context.durability);
        !written) {
        tell(context, ModalAlert::Style::critical, "无法导出设置",
             "无法写入“" + file->filename().string() + "”。\n\n详细信息：" +
                 written.error().message);
        return SettingsTransferResult::failed;
    }
    std::string text = "已写入“" + file->filename().string() + "”：" + joined(names) + "。";
    if (!reading.leftOut.empty()) {
        text += "\n\n未能带上：";
        for (const std::string& line : reading.leftOut) text += "\n" + line;
    }
    tell(context, ModalAlert::Style::informational, "设置已导出", std::move(text));
    return SettingsTransferResult::done;
}

SettingsTransferResult importSettingsThroughDialogs(const SettingsTransferContext& context) {
    platform::OpenFileRequest request;
    request.title = "导入设置";
    request.allowedExtensions = {"json"};
    request.prompt = "导入";
    const std::optional<fs::path> file = context.dialogs.openFile(request);
    if (!file) return SettingsTransferResult::cancelled;

    SettingsExportRefusal refusal = SettingsExportRefusal::damaged;
    const Result<SettingsExport> envelope = readChosenFile(*file, refusal);
    if (!envelope) {
        tell(context, ModalAlert::Style::warning, "无法导入“" + file->filename().string() + "”",
             std::string(settingsExportRefusalText(refusal)) + "\n\n详细信息：" +
                 envelope.error().message + "\n\n" + kNothingChanged);
        return SettingsTransferResult::refused;
    }
    return importEnvelope(context, *envelope, "导入“" + file->filename().string() + "”？",
                          SettingsTransferTexts::importButton, SettingsBackupReason::import);
}

SettingsTransferResult restoreSettingsBackupThroughDialogs(const SettingsTransferContext& context,
                                                           const std::string& backupName) {
    const Result<SettingsExport> envelope = readSettingsBackup(context.locations, backupName);
    std::string title = backupName;
    if (const auto parsed = SettingsBackupName::parse(backupName)) {
        title = localTime(context, parsed->time());
    }
    if (!envelope) {
        tell(context, ModalAlert::Style::warning, "无法恢复备份“" + title + "”",
             "详细信息：" + envelope.error().message + "\n\n" + kNothingChanged);
        return SettingsTransferResult::refused;
    }
    return importEnvelope(context, *envelope, "恢复 " + title + " 的备份？",
                          SettingsTransferTexts::restoreButton, SettingsBackupReason::restore);
}

std::vector<SettingsBackupMenuItem> settingsBackupMenuItems(
    const SettingsTransferContext& context) {
    std::vector<SettingsBackupMenuItem> items;
    const std::vector<SettingsBackupName> backups = listSettingsBackups(context.locations);
    for (auto backup = backups.rbegin(); backup != backups.rend(); ++backup) {
        items.push_back({backup->fileName(), localTime(context, backup->time()) + "（" +
                                                 std::string(backupReasonTitle(backup->reason)) +
                                                 "）"});
    }
    return items;
}

}  // namespace tavrel
