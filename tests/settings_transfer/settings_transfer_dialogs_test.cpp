// The window's export, import and restore: which panels and alerts the user meets, and that
// nothing changes on disk unless the user confirmed an import that can be done.

#include "core/settings_transfer/settings_transfer_dialogs.h"

#include <chrono>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/settings_app/scripted_settings_dialogs.h"
#include "transfer_test_support.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using platform::ModalAlert;

constexpr auto kTime = std::chrono::sys_days{std::chrono::December / 10 / 2026} +
                       std::chrono::hours(21) + std::chrono::minutes(30);

class SettingsTransferDialogsTest : public ::testing::Test {
protected:
    void SetUp() override { test::writeDocuments(here); }

    SettingsTransferContext context() {
        SettingsTransferContext made{.dialogs = dialogs, .locations = here};
        made.appVersion = "2.8.0";
        made.durability = platform::Durability::fast;
        made.now = [this] { return now; };
        made.localTime = [](std::chrono::system_clock::time_point time) {
            return settingsExportTimestamp(time);
        };
        made.announce = [this](SettingsDocumentKind kind) { announced.push_back(kind); };
        return made;
    }

    // The documents, without the backups.
    std::map<std::string, std::string> documents() const {
        auto files = test::snapshot(here.directory);
        std::erase_if(files, [](const auto& entry) { return entry.first.starts_with("backups/"); });
        return files;
    }

    // An export of other documents (the same kinds, other values), as a file to import.
    fs::path otherExport() {
        const SettingsDocumentLocations other{scratch.path() / "other" / "Tavrel"};
        test::writeDocuments(other, 1);
        const fs::path file = scratch.path() / "other.json";
        test::writeText(file, readSettingsExport(other, "2.8.0", kTime).envelope.encode().value());
        return file;
    }

    test::ScratchDirectory scratch;
    SettingsDocumentLocations here{scratch.path() / "data" / "Tavrel"};
    test::ScriptedSettingsDialogs dialogs;
    std::chrono::system_clock::time_point now = kTime;
    std::vector<SettingsDocumentKind> announced;
};

TEST_F(SettingsTransferDialogsTest, ExportWritesTheEnvelopeWhereTheUserSaid) {
    const fs::path file = scratch.path() / "chosen" / "mine.json";
    fs::create_directories(file.parent_path());
    dialogs.answerSaveFile(file);
    dialogs.answer("好");
    EXPECT_EQ(exportSettingsThroughDialogs(context()), SettingsTransferResult::done);

    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].suggestedName, "Tavrel 设置 2026-12-10.json");
    EXPECT_EQ(dialogs.saveRequests[0].defaultExtension, "json");
    const auto decoded = SettingsExport::decode(test::readText(file));
    ASSERT_TRUE(decoded.ok()) << decoded.error().message;
    EXPECT_EQ(*decoded, readSettingsExport(here, "2.8.0", kTime).envelope);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].message, "设置已导出");
    EXPECT_EQ(dialogs.asked[0].informativeText,
              "已写入“mine.json”：settings.json、native-dock-folders.json、"
              "NewFileSettings.json、NewFileTemplates。");
    EXPECT_TRUE(dialogs.allAnswersUsed());

    // Cancelled at the panel: nothing written, nothing said.
    dialogs.answerSaveFile(std::nullopt);
    EXPECT_EQ(exportSettingsThroughDialogs(context()), SettingsTransferResult::cancelled);
    EXPECT_EQ(dialogs.asked.size(), 1u);

    // A place that cannot be written: said, and the document is not half there.
    dialogs.answerSaveFile(scratch.path() / "missing" / "folder" / "x.json");
    dialogs.answer("好");
    EXPECT_EQ(exportSettingsThroughDialogs(context()), SettingsTransferResult::failed);
    EXPECT_EQ(dialogs.asked.back().message, "无法导出设置");
    EXPECT_EQ(dialogs.asked.back().style, ModalAlert::Style::critical);
    EXPECT_FALSE(fs::exists(scratch.path() / "missing"));
}

TEST_F(SettingsTransferDialogsTest, RefusedFilesSayWhyAndChangeNothing) {
    const std::string valid = test::readText(otherExport());
    nlohmann::ordered_json newer = nlohmann::ordered_json::parse(valid);
    newer["formatVersion"] = 2;
    nlohmann::ordered_json foreign = nlohmann::ordered_json::parse(valid);
    foreign["format"] = "dconf-dump";
    const struct {
        const char* what;
        std::string bytes;
        std::string_view says;
    } cases[] = {
        {"truncated", valid.substr(0, valid.size() - 40),
         settingsExportRefusalText(SettingsExportRefusal::notAnExport)},
        {"foreign", foreign.dump(), settingsExportRefusalText(SettingsExportRefusal::notAnExport)},
        {"newer", newer.dump(), settingsExportRefusalText(SettingsExportRefusal::newerFormat)},
        {"oversized", std::string(SettingsTransferLimits::maxEnvelopeBytes + 1, ' '),
         settingsExportRefusalText(SettingsExportRefusal::tooLarge)},
    };
    const auto before = test::snapshot(here.directory);
    for (const auto& refused : cases) {
        const fs::path file = scratch.path() / (std::string(refused.what) + ".json");
        test::writeText(file, refused.bytes);
        dialogs.answerOpenFile(file);
        dialogs.answer("好");
        EXPECT_EQ(importSettingsThroughDialogs(context()), SettingsTransferResult::refused)
            << refused.what;
        const ModalAlert& alert = dialogs.asked.back();
        EXPECT_EQ(alert.message, "无法导入“" + file.filename().string() + "”") << refused.what;
        EXPECT_TRUE(alert.informativeText.starts_with(refused.says))
            << refused.what << ": " << alert.informativeText;
        EXPECT_TRUE(alert.informativeText.ends_with("没有更改任何设置。")) << refused.what;
        EXPECT_EQ(test::snapshot(here.directory), before) << refused.what;
    }
    EXPECT_TRUE(announced.empty());
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(SettingsTransferDialogsTest, ImportShowsTheSummaryAndChangesNothingUntilConfirmed) {
    const fs::path file = otherExport();
    const auto before = test::snapshot(here.directory);

    dialogs.answerOpenFile(file);
    dialogs.answer("取消");
    EXPECT_EQ(importSettingsThroughDialogs(context()), SettingsTransferResult::cancelled);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    const ModalAlert& question = dialogs.asked[0];
    EXPECT_EQ(question.message, "导入“other.json”？");
    EXPECT_EQ(question.buttons, (std::vector<std::string>{"导入", "取消"}));
    EXPECT_EQ(question.informativeText,
              "导出于 2026-12-10T21:30:00Z，Tavrel 2.8.0\n\n"
              "任务栏设置（settings.json）：1 项设置不同\n"
              "原生 Dock 文件夹（native-dock-folders.json）：1 个文件夹不同\n"
              "新建文件（NewFileSettings.json）：1 项不同\n"
              "\n导入前，当前的设置会自动备份，可在“恢复备份”中找回。");
    EXPECT_EQ(test::snapshot(here.directory), before);
    EXPECT_TRUE(announced.empty());

    dialogs.answerOpenFile(file);
    dialogs.answer("导入");
    EXPECT_EQ(importSettingsThroughDialogs(context()), SettingsTransferResult::done);
    const SettingsDocumentLocations other{scratch.path() / "other" / "Tavrel"};
    auto expected = test::snapshot(other.directory);
    EXPECT_EQ(documents(), expected);
    EXPECT_EQ(announced, (std::vector<SettingsDocumentKind>{SettingsDocumentKind::settings,
                                                            SettingsDocumentKind::nativeDockFolders,
                                                            SettingsDocumentKind::newFile}));
    EXPECT_EQ(listSettingsBackups(here).size(), 1u);
    EXPECT_EQ(dialogs.asked.size(), 2u) << "a finished import says nothing more";

    // The same file again: nothing to do, and no backup for it.
    dialogs.answerOpenFile(file);
    dialogs.answer("好");
    EXPECT_EQ(importSettingsThroughDialogs(context()), SettingsTransferResult::nothing);
    EXPECT_EQ(dialogs.asked.back().message, "无需导入");
    EXPECT_EQ(listSettingsBackups(here).size(), 1u);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(SettingsTransferDialogsTest, RestoreListsTheBackupsNewestFirstAndBringsOneBack) {
    EXPECT_TRUE(settingsBackupMenuItems(context()).empty());
    const auto original = documents();

    dialogs.answerOpenFile(otherExport());
    dialogs.answer("导入");
    ASSERT_EQ(importSettingsThroughDialogs(context()), SettingsTransferResult::done);
    const auto imported = documents();
    ASSERT_NE(imported, original);

    now = kTime + std::chrono::minutes(5);
    ASSERT_TRUE(takeSettingsBackup(here, SettingsBackupReason::migration, "2.8.0", now).ok());
    const auto items = settingsBackupMenuItems(context());
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].title, "2026-12-10T21:35:00Z（升级设置文件前）");
    EXPECT_EQ(items[1].title, "2026-12-10T21:30:00Z（导入前）");

    announced.clear();
    dialogs.answer("恢复");
    EXPECT_EQ(restoreSettingsBackupThroughDialogs(context(), items[1].name),
              SettingsTransferResult::done);
    EXPECT_EQ(dialogs.asked.back().message, "恢复 2026-12-10T21:30:00Z 的备份？");
    EXPECT_EQ(documents(), original);
    EXPECT_EQ(announced.size(), 3u);

    // A name that is no backup of this directory is refused without a question.
    dialogs.answer("好");
    EXPECT_EQ(restoreSettingsBackupThroughDialogs(context(), "../settings.json"),
              SettingsTransferResult::refused);
    EXPECT_EQ(documents(), original);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST(SettingsImportSummaryText, SaysWhatIsNewWhatIsLeftAndWhatSwitches) {
    SettingsImportSummary summary;
    summary.documents.push_back(
        {SettingsDocumentKind::settings, "settings.json", false, true, 0, "value"});
    summary.documents.push_back(
        {SettingsDocumentKind::newFile, "NewFileSettings.json", true, false, 0, "template"});
    summary.untouched.push_back("native-dock-folders.json");
    summary.unreadableSettingsValues = 2;
    summary.newFileSwitchedOn = false;
    EXPECT_EQ(settingsImportSummaryText(summary),
              "任务栏设置（settings.json）：内容相同，将重新写入（目前还没有）\n"
              "新建文件（NewFileSettings.json）：相同\n"
              "native-dock-folders.json：文件中没有，保持不变\n"
              "文件中有 2 项设置无法读取，将使用默认值。\n"
              "“新建文件”菜单将关闭。\n");
}

}  // namespace
}  // namespace tavrel
