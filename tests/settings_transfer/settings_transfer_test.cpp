// The export envelope, importing it, and the automatic backups, over private data directories.

#include <chrono>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/foundation/base64.h"
#include "core/settings_transfer/settings_backups.h"
#include "core/settings_transfer/settings_export.h"
#include "core/settings_transfer/settings_import.h"
#include "transfer_test_support.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using OrderedJson = nlohmann::ordered_json;

constexpr auto kTime = std::chrono::sys_days{std::chrono::December / 10 / 2026} +
                       std::chrono::hours(21) + std::chrono::minutes(30);

class SettingsTransferTest : public ::testing::Test {
protected:
    SettingsDocumentLocations locations(const std::string& name) const {
        return {scratch_.path() / name / "Tavrel"};
    }

    SettingsExport exportOf(const SettingsDocumentLocations& from) const {
        const SettingsExportReading reading = readSettingsExport(from, "2.8.0", kTime);
        EXPECT_TRUE(reading.leftOut.empty());
        return reading.envelope;
    }

    static SettingsImportOptions options(
        SettingsBackupReason reason = SettingsBackupReason::import) {
        SettingsImportOptions options;
        options.backup = reason;
        options.appVersion = "2.8.0";
        options.now = kTime;
        options.durability = platform::Durability::fast;
        return options;
    }

    // The documents, without the backups.
    static std::map<std::string, std::string> documents(const SettingsDocumentLocations& at) {
        auto files = test::snapshot(at.directory);
        std::erase_if(files, [](const auto& entry) { return entry.first.starts_with("backups/"); });
        return files;
    }

    test::ScratchDirectory scratch_;
};

TEST_F(SettingsTransferTest, ExportThenImportIntoAnEmptyDirectoryGivesTheSameBytes) {
    const auto source = locations("source");
    test::writeDocuments(source);
    const SettingsExport exported = exportOf(source);
    EXPECT_EQ(exported.documentNames(),
              (std::vector<std::string>{"settings.json", "native-dock-folders.json",
                                        "NewFileSettings.json", "NewFileTemplates"}));
    EXPECT_EQ(exported.exportedAt, "2026-12-10T21:30:00Z");

    const auto encoded = exported.encode();
    ASSERT_TRUE(encoded.ok()) << encoded.error().message;
    const auto decoded = SettingsExport::decode(*encoded);
    ASSERT_TRUE(decoded.ok()) << decoded.error().message;
    EXPECT_EQ(*decoded, exported);

    const auto target = locations("target");
    const SettingsImportOutcome outcome = applySettingsImport(*decoded, target, options());
    EXPECT_FALSE(outcome.failure);
    EXPECT_FALSE(outcome.backupName) << "an empty directory has nothing to back up";
    EXPECT_EQ(outcome.changed,
              (std::vector<SettingsDocumentKind>{SettingsDocumentKind::settings,
                                                 SettingsDocumentKind::nativeDockFolders,
                                                 SettingsDocumentKind::newFile}));
    EXPECT_EQ(documents(target), documents(source));
    EXPECT_EQ(documents(source).size(), 4u);
}

TEST_F(SettingsTransferTest, RefusesBrokenForeignNewerAndOversizedFiles) {
    const auto source = locations("source");
    test::writeDocuments(source);
    const std::string valid = exportOf(source).encode().value();
    const auto edited = [&valid](const std::function<void(OrderedJson&)>& edit) {
        OrderedJson envelope = OrderedJson::parse(valid);
        edit(envelope);
        return envelope.dump();
    };
    const std::string templateName = "custom-5c1e0f9a-0d3e-4c59-9d7a-1f2e3d4c5b6a.md";

    const struct {
        const char* what;
        std::string bytes;
        const char* says;
        SettingsExportRefusal kind = SettingsExportRefusal::damaged;
    } cases[] = {
        {"truncated", valid.substr(0, valid.size() / 2), "not complete JSON",
         SettingsExportRefusal::notAnExport},
        {"empty", "", "not complete JSON", SettingsExportRefusal::notAnExport},
        {"a list", "[]", "not a JSON object", SettingsExportRefusal::notAnExport},
        {"foreign", edited([](auto& e) { e["format"] = "dconf-dump"; }),
         "its format is \"dconf-dump\"", SettingsExportRefusal::notAnExport},
        {"no format", edited([](auto& e) { e.erase("format"); }), "has no \"format\"",
         SettingsExportRefusal::notAnExport},
        {"newer format", edited([](auto& e) { e["formatVersion"] = 2; }), "made by a newer Tavrel",
         SettingsExportRefusal::newerFormat},
        {"format zero", edited([](auto& e) { e["formatVersion"] = 0; }), "formatVersion"},
        {"format as text", edited([](auto& e) { e["formatVersion"] = "1"; }), "formatVersion"},
        {"oversized", std::string(SettingsTransferLimits::maxEnvelopeBytes + 1, ' '), "larger than",
         SettingsExportRefusal::tooLarge},
        {"deep", std::string(100, '[') + std::string(100, ']'), "nests too deep",
         SettingsExportRefusal::notAnExport},
        {"unknown member", edited([](auto& e) { e["extra"] = true; }), "unknown member \"extra\""},
        {"no version of the app", edited([](auto& e) { e.erase("appVersion"); }), "appVersion"},
        {"unknown document", edited([](auto& e) { e["documents"]["other.json"] = "{}"; }),
         "unknown document"},
        {"document as JSON",
         edited([](auto& e) { e["documents"]["settings.json"] = OrderedJson::object(); }),
         "is not a text"},
        {"unreadable settings", edited([](auto& e) { e["documents"]["settings.json"] = "[]"; }),
         "settings.json cannot be read"},
        {"folder without a UUID", edited([](auto& e) {
             e["documents"]["native-dock-folders.json"] =
                 R"([{"id":"nope","name":"A","applications":[]}])";
         }),
         "native-dock-folders.json cannot be read"},
        {"template without extension", edited([](auto& e) {
             e["documents"]["NewFileSettings.json"] =
                 R"({"isEnabled":true,"templates":[{"id":"x","displayName":"X",)"
                 R"("defaultBaseName":"X","isEnabled":true,"isBuiltIn":false}]})";
         }),
         "NewFileSettings.json cannot be read"},
        {"template outside its folder",
         edited([](auto& e) { e["documents"]["NewFileTemplates"]["../evil"] = "AAAA"; }),
         "no plain file name"},
        {"template of no kind",
         edited([](auto& e) { e["documents"]["NewFileTemplates"]["other.md"] = "AAAA"; }),
         "belongs to no imported template"},
        {"template not Base64",
         edited([&](auto& e) { e["documents"]["NewFileTemplates"][templateName] = "@@@@"; }),
         "not Base64"},
        {"templates without their document",
         edited([](auto& e) { e["documents"].erase("NewFileSettings.json"); }),
         "without their NewFileSettings.json"},
    };
    for (const auto& refused : cases) {
        SettingsExportRefusal kind = SettingsExportRefusal::damaged;
        const auto decoded = SettingsExport::decode(refused.bytes, &kind);
        ASSERT_FALSE(decoded.ok()) << refused.what;
        EXPECT_EQ(kind, refused.kind) << refused.what;
        EXPECT_NE(decoded.error().message.find(refused.says), std::string::npos)
            << refused.what << ": " << decoded.error().message;
    }
}

TEST_F(SettingsTransferTest, ExportLeavesOutWhatItsProgramCannotRead) {
    const auto source = locations("source");
    test::writeDocuments(source);
    test::writeText(source.settingsURL(), "[]");
    fs::remove(source.newFileTemplatesDirectory() /
               "custom-5c1e0f9a-0d3e-4c59-9d7a-1f2e3d4c5b6a.md");
    const SettingsExportReading reading = readSettingsExport(source, "2.8.0", kTime);
    EXPECT_EQ(reading.envelope.documentNames(),
              (std::vector<std::string>{"native-dock-folders.json", "NewFileSettings.json"}));
    ASSERT_EQ(reading.leftOut.size(), 2u);
    EXPECT_NE(reading.leftOut[0].find("settings.json cannot be read"), std::string::npos);
    // What is exported always imports.
    EXPECT_TRUE(SettingsExport::decode(reading.envelope.encode().value()).ok());
}

TEST_F(SettingsTransferTest, SummaryCountsWhatAnImportChanges) {
    const auto target = locations("target");
    const auto other = locations("other");
    test::writeDocuments(target, 0);
    test::writeDocuments(other, 1);

    const SettingsImportSummary summary = summarizeSettingsImport(exportOf(other), target);
    ASSERT_EQ(summary.documents.size(), 3u);
    EXPECT_TRUE(summary.changesAnything());
    EXPECT_EQ(summary.documents[0].values, 1u);  // windowsSettings.taskbarHeight
    EXPECT_EQ(summary.documents[1].values, 1u);  // the folder's name
    EXPECT_EQ(summary.documents[2].values, 1u);  // the imported template's switch
    EXPECT_NE(summary.text().find("settings.json: 1 value differs"), std::string::npos)
        << summary.text();

    // The directory's own export changes nothing, and importing it writes nothing.
    const SettingsExport same = exportOf(target);
    EXPECT_FALSE(summarizeSettingsImport(same, target).changesAnything());
    const auto before = test::snapshot(target.directory);
    const SettingsImportOutcome outcome = applySettingsImport(same, target, options());
    EXPECT_TRUE(outcome.changed.empty());
    EXPECT_FALSE(outcome.backupName);
    EXPECT_EQ(test::snapshot(target.directory), before);

    // A document the file does not hold is left alone and said so.
    SettingsExport onlySettings = exportOf(other);
    onlySettings.nativeDockFolders.reset();
    onlySettings.newFileSettings.reset();
    onlySettings.newFileTemplates.clear();
    const std::string folders = test::readText(target.nativeDockFoldersURL());
    const SettingsImportSummary partial = summarizeSettingsImport(onlySettings, target);
    EXPECT_EQ(partial.untouched,
              (std::vector<std::string>{"native-dock-folders.json", "NewFileSettings.json"}));
    ASSERT_FALSE(applySettingsImport(onlySettings, target, options()).failure);
    EXPECT_EQ(test::readText(target.nativeDockFoldersURL()), folders);
    EXPECT_EQ(test::readText(target.settingsURL()), *onlySettings.settings);
}

TEST_F(SettingsTransferTest, ImportTakesOneBackupAndRestoringItBringsTheEarlierBytesBack) {
    const auto target = locations("target");
    const auto other = locations("other");
    test::writeDocuments(target, 0);
    test::writeDocuments(other, 1);
    const auto earlier = documents(target);

    const SettingsImportOutcome imported = applySettingsImport(exportOf(other), target, options());
    ASSERT_FALSE(imported.failure) << imported.failure->message;
    ASSERT_TRUE(imported.backupName);
    EXPECT_EQ(documents(target), documents(other));
    const auto backups = listSettingsBackups(target);
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(backups[0].fileName(), *imported.backupName);
    EXPECT_EQ(backups[0].reason, SettingsBackupReason::import);

    const auto backup = readSettingsBackup(target, *imported.backupName);
    ASSERT_TRUE(backup.ok()) << backup.error().message;
    const SettingsImportOutcome restored =
        applySettingsImport(*backup, target, options(SettingsBackupReason::restore));
    ASSERT_FALSE(restored.failure);
    EXPECT_EQ(documents(target), earlier);
    EXPECT_EQ(listSettingsBackups(target).size(), 2u) << "the restore backs up what it replaces";

    EXPECT_FALSE(readSettingsBackup(target, "../settings.json").ok());
    EXPECT_FALSE(readSettingsBackup(target, "settings.json").ok());
}

TEST_F(SettingsTransferTest, AnImportWhoseBackupFailsWritesNothing) {
    const auto target = locations("target");
    const auto other = locations("other");
    test::writeDocuments(target, 0);
    test::writeDocuments(other, 1);
    test::writeText(target.backupsDirectory(), "a file where the backups folder belongs");
    const auto before = test::snapshot(target.directory);

    const SettingsImportOutcome outcome = applySettingsImport(exportOf(other), target, options());
    ASSERT_TRUE(outcome.failure);
    EXPECT_NE(outcome.failure->message.find("nothing was imported"), std::string::npos);
    EXPECT_TRUE(outcome.changed.empty());
    EXPECT_EQ(test::snapshot(target.directory), before);
}

TEST_F(SettingsTransferTest, BackupNamesSayWhenAndWhy) {
    const SettingsBackupName name = SettingsBackupName::at(kTime + std::chrono::milliseconds(7),
                                                           SettingsBackupReason::migration);
    EXPECT_EQ(name.fileName(), "backup-20261210T213000.007Z-migration.json");
    EXPECT_EQ(SettingsBackupName::parse(name.fileName())->time(),
              kTime + std::chrono::milliseconds(7));
    const SettingsBackupName second =
        SettingsBackupName::at(kTime, SettingsBackupReason::import, 2);
    EXPECT_EQ(second.fileName(), "backup-20261210T213000.000Z-2-import.json");

    for (const char* made :
         {"backup-20261210T213000.007Z-migration.json", "backup-20261210T213000.000Z-2-import.json",
          "backup-20261210T213000.000Z-unreadable.json",
          "backup-19991231T235959.999Z-restore.json"}) {
        const auto parsed = SettingsBackupName::parse(made);
        ASSERT_TRUE(parsed) << made;
        EXPECT_EQ(parsed->fileName(), made);
    }
    for (const char* other :
         {"settings.json", "backup-20261210T213000.007Z-other.json",
          "backup-20261210T213000Z-import.json", "backup-20261210T213000.007Z-import.json.tmp",
          "backup-20261210T213000.007Z-1-import.json", "backup-20261210T213000.007Z-02-import.json",
          "backup-2026121xT213000.007Z-import.json", "backup-20261210T213000.007Z--import.json"}) {
        EXPECT_FALSE(SettingsBackupName::parse(other)) << other;
    }
    EXPECT_LT(second, *SettingsBackupName::parse("backup-20261210T213000.007Z-migration.json"));
    EXPECT_LT(SettingsBackupName::at(kTime, SettingsBackupReason::restore), second);
}

TEST_F(SettingsTransferTest, KeepsTheNewestTenBackups) {
    const auto target = locations("target");
    test::writeDocuments(target);
    test::writeText(target.backupsDirectory() / "notes.txt", "mine");

    std::vector<std::string> taken;
    for (int i = 0; i < 11; ++i) {
        // The first two within the same millisecond.
        const auto at = kTime + std::chrono::seconds(i == 0 ? 0 : i - 1);
        const auto name = takeSettingsBackup(target, SettingsBackupReason::import, "2.8.0", at);
        ASSERT_TRUE(name.ok()) << name.error().message;
        ASSERT_TRUE(name->has_value());
        taken.push_back(**name);
        EXPECT_EQ(listSettingsBackups(target).size(), std::min<std::size_t>(i + 1, 10));
    }
    EXPECT_EQ(taken[1], "backup-20261210T213000.000Z-2-import.json");
    std::vector<std::string> kept;
    for (const auto& backup : listSettingsBackups(target)) kept.push_back(backup.fileName());
    EXPECT_EQ(kept, std::vector<std::string>(taken.begin() + 1, taken.end()));
    EXPECT_EQ(test::readText(target.backupsDirectory() / "notes.txt"), "mine");
}

TEST_F(SettingsTransferTest, LoadsBackUpBeforeTheyMigrateOrMoveAsideSettings) {
    const auto target = locations("target");
    test::writeDocuments(target);
    SettingsEnvironment environment = test::environmentAt(target.directory);
    environment.backups =
        std::make_shared<SettingsTransferBackupHook>("2.8.0", [] { return kTime; });

    // A document of an older version: no themeIsolationVersion yet.
    const std::string older = R"({"theme":0,"taskbarHeight":52,"hideNativeDock":true})";
    test::writeText(target.settingsURL(), older);
    TaskbarSettings().load(environment);
    ASSERT_NE(test::readText(target.settingsURL()), older) << "the load migrates the document";
    auto backups = listSettingsBackups(target);
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(backups[0].reason, SettingsBackupReason::migration);
    const auto backup = readSettingsBackup(target, backups[0].fileName());
    ASSERT_TRUE(backup.ok()) << backup.error().message;
    EXPECT_EQ(backup->settings, older);

    // A current document is loaded without a rewrite and without a backup.
    TaskbarSettings().load(environment);
    EXPECT_EQ(listSettingsBackups(target).size(), 1u);

    // An unreadable one is moved aside; the backup holds the other documents.
    test::writeText(target.settingsURL(), "[]");
    TaskbarSettings().load(environment);
    backups = listSettingsBackups(target);
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_EQ(backups[1].reason, SettingsBackupReason::unreadableDocument);
    const auto kept = readSettingsBackup(target, backups[1].fileName());
    ASSERT_TRUE(kept.ok());
    EXPECT_FALSE(kept->settings);
    EXPECT_TRUE(kept->nativeDockFolders);
}

}  // namespace
}  // namespace tavrel
