// tavrel-settings diff, reset, export, import, backups and restore over a private directory,
// with recording announcers.

#include <chrono>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings/settings_keys.h"
#include "core/settings_pages/page_registry.h"
#include "core/settings_transfer/page_settings_keys.h"
#include "core/settings_transfer/settings_backups.h"
#include "core/settings_transfer/settings_reset.h"
#include "platform/fake/in_memory_preference_domains.h"
#include "tools/settings/settings_tool.h"
#include "transfer_test_support.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

constexpr auto kTime =
    std::chrono::sys_days{std::chrono::December / 10 / 2026} + std::chrono::hours(21);

class SettingsTransferToolTest : public ::testing::Test {
protected:
    struct Run {
        int status;
        std::string out;
        std::string err;
    };

    Run run(std::vector<std::string> arguments, const fs::path& directory) {
        std::ostringstream out;
        std::ostringstream err;
        const SettingsToolContext context{
            .environment =
                [this, directory](bool) {
                    SettingsEnvironment environment = test::environmentAt(directory);
                    environment.preferences = dock_;
                    return environment;
                },
            .announce = [this]() -> Status {
                ++announced_["settingsChanged"];
                return Status::success();
            },
            .out = out,
            .err = err,
            .announceNativeDockFolders = [this]() -> Status {
                ++announced_["nativeDockFoldersChanged"];
                return Status::success();
            },
            .announceNewFileSettings = [this]() -> Status {
                ++announced_["newFileSettingsChanged"];
                return Status::success();
            },
            .appVersion = "2.8.0",
            // Each run a second later, so backups sort by the order they were taken.
            .now = [this] { return kTime + std::chrono::seconds(++ticks_); },
            .afterEachImportWrite = {},
        };
        const int status = runSettingsTool(arguments, context);
        return {status, out.str(), err.str()};
    }
    Run run(std::vector<std::string> arguments) {
        return run(std::move(arguments), data().directory);
    }

    SettingsDocumentLocations data() const { return {scratch_.path() / "data" / "Tavrel"}; }
    SettingsDocumentLocations other() const { return {scratch_.path() / "other" / "Tavrel"}; }
    fs::path file(const std::string& name) const { return scratch_.path() / name; }
    Json stored() const { return Json::parse(test::readText(data().settingsURL())); }

    // The documents, without the backups.
    static std::map<std::string, std::string> documents(const SettingsDocumentLocations& at) {
        auto files = test::snapshot(at.directory);
        std::erase_if(files, [](const auto& entry) { return entry.first.starts_with("backups/"); });
        return files;
    }

    test::ScratchDirectory scratch_;
    std::shared_ptr<platform::InMemoryPreferenceDomains> dock_ =
        std::make_shared<platform::InMemoryPreferenceDomains>();
    std::map<std::string, int> announced_;
    int ticks_ = 0;
};

// The value of a command-line key in a document.
Json valueAt(const Json& document, const std::string& key) {
    const auto dot = key.find('.');
    if (dot == std::string::npos) return document.value(key, Json());
    return document.at(key.substr(0, dot)).value(key.substr(dot + 1), Json());
}

// Values that differ from `current` and that a key of this kind takes.
std::vector<Json> otherValues(SettingsValueKind kind, const Json& current) {
    switch (kind) {
        case SettingsValueKind::boolean:
            return {!current.get<bool>()};
        case SettingsValueKind::number:
        case SettingsValueKind::integer: {
            const double value = current.is_number() ? current.get<double>() : 0;
            std::vector<Json> values;
            for (const double candidate : {value + 1, value - 1, 1.0, 0.0, 2.0, 0.5, 10.0}) {
                if (kind == SettingsValueKind::integer) {
                    values.push_back(static_cast<std::int64_t>(candidate));
                } else {
                    values.push_back(candidate);
                }
            }
            return values;
        }
        case SettingsValueKind::color:
            return {Json{{"red", 0.25}, {"green", 0.5}, {"blue", 0.75}, {"alpha", 1}}};
        case SettingsValueKind::string:
            return {"reset-test", "1"};
        case SettingsValueKind::stringList:
            return {Json::array({"reset-test"})};
        case SettingsValueKind::excludedApplications:
            return {Json::array({Json{{"name", "Reset Test"}}})};
        case SettingsValueKind::closeProtectionApps:
            return {Json::array({Json{{"appName", "Reset Test"}}})};
        case SettingsValueKind::storageBoxes:
            return {Json::array({Json{{"id", "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D"},
                                      {"name", "Reset Test"},
                                      {"isVisible", false}}})};
        case SettingsValueKind::themeConfiguration:
            break;
    }
    return {};
}

TEST_F(SettingsTransferToolTest, ResetGivesBackEveryKeysDefaultAndAnnouncesOnce) {
    struct Key {
        std::string name;
        SettingsValueKind kind;
    };
    std::vector<Key> keys;
    for (const SettingsKeyInfo& key : settingsDocumentKeys()) {
        if (key.role == SettingsKeyRole::global || key.role == SettingsKeyRole::mirror ||
            key.name == "theme") {
            keys.push_back({std::string(key.name), key.kind});
        }
    }
    for (const char* record : {"windowsSettings", "liquidGlassSettings"}) {
        for (const ThemeKeyInfo& key : themeConfigurationKeys()) {
            keys.push_back({std::string(record) + "." + std::string(key.name), key.kind});
        }
    }
    ASSERT_EQ(run({"reset", "--all"}).status, SettingsToolExit::success);
    const Json defaults = stored();

    for (const Key& key : keys) {
        SCOPED_TRACE(key.name);
        const Json value = valueAt(defaults, key.name);
        bool changed = false;
        for (const Json& candidate : otherValues(key.kind, value)) {
            if (run({"set", key.name, candidate.dump()}).status != SettingsToolExit::success) {
                continue;
            }
            if (valueAt(stored(), key.name) != value) {
                changed = true;
                break;
            }
        }
        ASSERT_TRUE(changed) << "no value changed " << key.name;
        const int before = announced_["settingsChanged"];
        const Run reset = run({"reset", key.name});
        EXPECT_EQ(reset.status, SettingsToolExit::success) << reset.err;
        EXPECT_EQ(valueAt(stored(), key.name), value);
        EXPECT_EQ(announced_["settingsChanged"], before + 1);
        // Resetting what is at its default writes and announces nothing.
        EXPECT_EQ(run({"reset", key.name}).status, SettingsToolExit::success);
        EXPECT_EQ(announced_["settingsChanged"], before + 1);
    }
    EXPECT_TRUE(stored() == defaults) << "every key is back at its default";
    EXPECT_EQ(run({"diff"}).out, "");
}

TEST_F(SettingsTransferToolTest, ResetRefusesWhatItCannotResetWithoutWriting) {
    ASSERT_EQ(run({"set", "hideNativeDock", "true"}).status, SettingsToolExit::success);
    const std::string before = test::readText(data().settingsURL());
    const int announced = announced_["settingsChanged"];
    const std::vector<std::vector<std::string>> refused = {
        {"reset"},
        {"reset", "noSuchKey"},
        {"reset", "windowsSettings.noSuchKey"},
        {"reset", "otherSettings.taskbarHeight"},
        {"reset", "screenCornersEnabled"},
        {"reset", "applicationStorageBoxEnabled"},
        {"reset", "themeIsolationVersion"},
        {"reset", "--page"},
        {"reset", "--page", "noSuchPage"},
        {"reset", "hideNativeDock", "taskbarHeight"},
    };
    for (const auto& arguments : refused) {
        const Run result = run(arguments);
        EXPECT_EQ(result.status, SettingsToolExit::usage) << arguments.size();
        EXPECT_FALSE(result.err.empty());
    }
    EXPECT_EQ(test::readText(data().settingsURL()), before);
    EXPECT_EQ(announced_["settingsChanged"], announced);
}

TEST_F(SettingsTransferToolTest, ResetOfOneThemesRecordLeavesTheOtherAlone) {
    ASSERT_EQ(run({"set", "theme", "1"}).status, SettingsToolExit::success);
    ASSERT_EQ(run({"set", "windowsSettings.taskbarHeight", "70"}).status, 0);
    ASSERT_EQ(run({"set", "liquidGlassSettings.taskbarHeight", "72"}).status, 0);
    ASSERT_EQ(run({"set", "liquidGlassSettings.iconSize", "30"}).status, 0);
    const std::string windows =
        test::storedMember(test::readText(data().settingsURL()), "windowsSettings");
    ASSERT_FALSE(windows.empty());

    // Under liquid glass the top-level key is the liquid-glass value.
    ASSERT_EQ(run({"reset", "taskbarHeight"}).status, SettingsToolExit::success);
    EXPECT_EQ(test::storedMember(test::readText(data().settingsURL()), "windowsSettings"), windows);
    EXPECT_EQ(stored()["liquidGlassSettings"]["taskbarHeight"], 58);
    ASSERT_EQ(run({"reset", "liquidGlassSettings"}).status, SettingsToolExit::success);
    EXPECT_EQ(test::storedMember(test::readText(data().settingsURL()), "windowsSettings"), windows);
    EXPECT_EQ(stored()["liquidGlassSettings"]["iconSize"], 45);
}

TEST_F(SettingsTransferToolTest, EveryPageNamesKeysThatCanBeReset) {
    const TaskbarSettings settings;
    std::size_t total = 0;
    for (const FeaturePage page : allFeaturePages()) {
        SCOPED_TRACE(std::string(featurePageName(page)));
        EXPECT_EQ(featurePageNamed(featurePageName(page)), page);
        const auto byTitle = featurePageNamed(featurePageInfo(page).title);
        EXPECT_TRUE(!byTitle || *byTitle == page) << "a title names its own page or none";
        for (const FormKeyReference& key : pageSettingsKeys(page, settings)) {
            TaskbarSettings probe;
            EXPECT_TRUE(key.themeScoped ? resetThemeSettingsKey(probe, probe.theme, key.name)
                                        : resetGlobalSettingsKey(probe, key.name))
                << key.name;
            EXPECT_NE(key.name, "hideNativeDock") << "the native Dock module writes it";
            ++total;
        }
    }
    EXPECT_GT(total, 100u);
    const auto clock = pageSettingsKeys(FeaturePage::clockCalendar, settings);
    EXPECT_NE(std::find(clock.begin(), clock.end(), FormKeyReference{"showClock", true}),
              clock.end());
}

TEST_F(SettingsTransferToolTest, PageResetUnderLiquidGlassLeavesTheWindowsRecordAsItWas) {
    ASSERT_EQ(run({"reset", "--all"}).status, SettingsToolExit::success);
    ASSERT_EQ(run({"set", "theme", "1"}).status, 0);
    ASSERT_EQ(run({"set", "windowsSettings.showClock", "false"}).status, 0);
    ASSERT_EQ(run({"set", "windowsSettings.taskbarHeight", "70"}).status, 0);
    ASSERT_EQ(run({"set", "liquidGlassSettings.showClock", "true"}).status, 0);
    ASSERT_EQ(run({"set", "hideNativeDock", "true"}).status, 0);
    const std::string windows =
        test::storedMember(test::readText(data().settingsURL()), "windowsSettings");
    ASSERT_FALSE(windows.empty());

    announced_.clear();
    ASSERT_EQ(run({"reset", "--page", "clockCalendar"}).status, SettingsToolExit::success);
    EXPECT_EQ(stored()["liquidGlassSettings"]["showClock"], false);
    EXPECT_EQ(test::storedMember(test::readText(data().settingsURL()), "windowsSettings"), windows);
    EXPECT_EQ(announced_["settingsChanged"], 1);

    for (const FeaturePage page : allFeaturePages()) {
        const std::string name(featurePageName(page));
        const Run reset = run({"reset", "--page", name});
        EXPECT_EQ(reset.status, SettingsToolExit::success) << name << ": " << reset.err;
        EXPECT_EQ(test::storedMember(test::readText(data().settingsURL()), "windowsSettings"),
                  windows)
            << name;
    }
    EXPECT_EQ(stored()["hideNativeDock"], true) << "left to the native Dock module";

    const Run unknown = run({"reset", "--page", "nope"});
    EXPECT_EQ(unknown.status, SettingsToolExit::usage);
    EXPECT_NE(unknown.err.find("clockCalendar"), std::string::npos);
}

// The gaps of the clock panel at the top of the screen are hidden while it is at the bottom; a
// page reset takes them back all the same, in the current theme's record only.
TEST_F(SettingsTransferToolTest, PageResetTakesBackValuesOfRowsTheSettingsHide) {
    ASSERT_EQ(run({"reset", "--all"}).status, SettingsToolExit::success);
    ASSERT_EQ(run({"set", "theme", "0"}).status, 0);
    ASSERT_EQ(run({"set", "windowsSettings.clockScreenPosition", "0"}).status, 0);
    ASSERT_EQ(run({"set", "windowsSettings.topDetachedClockRightGap", "37"}).status, 0);
    ASSERT_EQ(run({"set", "liquidGlassSettings.topDetachedClockRightGap", "41"}).status, 0);
    announced_.clear();
    ASSERT_EQ(run({"reset", "--page", "clockCalendar"}).status, SettingsToolExit::success);
    EXPECT_EQ(stored()["windowsSettings"]["topDetachedClockRightGap"],
              Json::parse(run({"defaults"}).out)["windowsSettings"]["topDetachedClockRightGap"]);
    EXPECT_EQ(stored()["liquidGlassSettings"]["topDetachedClockRightGap"], 41);
    EXPECT_EQ(stored()["windowsSettings"]["clockScreenPosition"], 0);
    EXPECT_EQ(announced_["settingsChanged"], 1);
}

TEST_F(SettingsTransferToolTest, DiffListsEveryValueThatIsNotItsDefault) {
    ASSERT_EQ(run({"reset", "--all"}).status, SettingsToolExit::success);
    EXPECT_EQ(run({"diff"}).out, "");
    // Some global keys take their default from the current theme's record: under the Windows
    // theme a reset gives them the Windows record's value, and diff agrees.
    ASSERT_EQ(run({"set", "theme", "0"}).status, 0);
    EXPECT_NE(run({"diff"}).out.find("\nwindowSwitcherIconSize 28 (default 33)\n"),
              std::string::npos);
    ASSERT_EQ(run({"reset", "windowSwitcherIconSize"}).status, 0);
    EXPECT_EQ(stored()["windowSwitcherIconSize"], 33);
    EXPECT_EQ(run({"diff"}).out.find("windowSwitcherIconSize"), std::string::npos);
    ASSERT_EQ(run({"reset", "--all"}).status, 0);

    ASSERT_EQ(run({"set", "hideNativeDock", "true"}).status, 0);
    ASSERT_EQ(run({"set", "windowsSettings.taskbarHeight", "60"}).status, 0);
    ASSERT_EQ(run({"set", "taskbarExcludedApplications", R"([{"name":"Finder"}])"}).status, 0);
    const std::string before = test::readText(data().settingsURL());
    const Run diff = run({"diff"});
    EXPECT_EQ(diff.status, SettingsToolExit::success);
    // In the order of the key table.
    EXPECT_EQ(diff.out,
              "taskbarExcludedApplications [{\"name\":\"Finder\"}] (default [])\n"
              "hideNativeDock true (default false)\n"
              "windowsSettings.taskbarHeight 60 (default 48)\n");
    EXPECT_EQ(test::readText(data().settingsURL()), before) << "diff writes nothing";
}

TEST_F(SettingsTransferToolTest, ExportThenImportIntoAnEmptyDirectoryGivesTheSameBytes) {
    test::writeDocuments(data());
    const Run exported = run({"export", file("all.json").string()});
    ASSERT_EQ(exported.status, SettingsToolExit::success) << exported.err;
    EXPECT_EQ(exported.out,
              "exported settings.json, native-dock-folders.json, NewFileSettings.json "
              "and NewFileTemplates to " +
                  file("all.json").string() + "\n");

    const Run imported = run({"import", file("all.json").string()}, other().directory);
    ASSERT_EQ(imported.status, SettingsToolExit::success) << imported.err;
    EXPECT_EQ(documents(other()), documents(data()));
    EXPECT_TRUE(listSettingsBackups(other()).empty()) << "nothing was there to back up";
    // Each document announced once, as its own editor does.
    EXPECT_EQ(announced_, (std::map<std::string, int>{{"settingsChanged", 1},
                                                      {"nativeDockFoldersChanged", 1},
                                                      {"newFileSettingsChanged", 1}}));

    // The same file again changes nothing and announces nothing.
    const Run again = run({"import", file("all.json").string()}, other().directory);
    EXPECT_EQ(again.status, SettingsToolExit::success);
    EXPECT_NE(again.out.find("nothing to import"), std::string::npos);
    EXPECT_EQ(announced_["settingsChanged"], 1);
}

TEST_F(SettingsTransferToolTest, RefusedFilesChangeNothingOnDisk) {
    test::writeDocuments(other(), 1);
    ASSERT_EQ(run({"export", file("other.json").string()}, other().directory).status, 0);
    const std::string valid = test::readText(file("other.json"));
    Json newer = Json::parse(valid);
    newer["formatVersion"] = 2;
    Json foreign = Json::parse(valid);
    foreign["format"] = "dconf";

    test::writeDocuments(data(), 0);
    const auto before = test::snapshot(data().directory);
    const struct {
        const char* name;
        std::string bytes;
        const char* says;
    } files[] = {
        {"truncated.json", valid.substr(0, valid.size() - 40), "not complete JSON"},
        {"foreign.json", foreign.dump(), "not a Tavrel settings export"},
        {"newer.json", newer.dump(), "made by a newer Tavrel"},
        {"oversized.json", std::string(SettingsTransferLimits::maxEnvelopeBytes + 10, ' '),
         "larger than"},
    };
    for (const auto& refused : files) {
        test::writeText(file(refused.name), refused.bytes);
        for (const bool dryRun : {false, true}) {
            std::vector<std::string> arguments = {"import", file(refused.name).string()};
            if (dryRun) arguments.insert(arguments.begin() + 1, "--dry-run");
            const Run result = run(arguments);
            EXPECT_EQ(result.status, SettingsToolExit::usage) << refused.name;
            EXPECT_NE(result.err.find(refused.says), std::string::npos) << result.err;
            EXPECT_NE(result.err.find("nothing was changed"), std::string::npos) << result.err;
        }
    }
    EXPECT_EQ(run({"import", file("missing.json").string()}).status, SettingsToolExit::usage);
    EXPECT_EQ(test::snapshot(data().directory), before);
    EXPECT_TRUE(announced_.empty());

    // A dry run of a good file says what would change and changes nothing either.
    const Run dryRun = run({"import", "--dry-run", file("other.json").string()});
    EXPECT_EQ(dryRun.status, SettingsToolExit::success);
    EXPECT_NE(dryRun.out.find("settings.json: 1 value differs"), std::string::npos) << dryRun.out;
    EXPECT_NE(dryRun.out.find("native-dock-folders.json: 1 folder differs"), std::string::npos);
    EXPECT_EQ(test::snapshot(data().directory), before);
}

TEST_F(SettingsTransferToolTest, ImportLeavesOneBackupThatRestoreBringsBack) {
    test::writeDocuments(data(), 0);
    test::writeDocuments(other(), 1);
    const auto earlier = documents(data());
    ASSERT_EQ(run({"export", file("other.json").string()}, other().directory).status, 0);

    const Run imported = run({"import", file("other.json").string()});
    ASSERT_EQ(imported.status, SettingsToolExit::success) << imported.err;
    EXPECT_EQ(documents(data()), documents(other()));
    const auto backups = listSettingsBackups(data());
    ASSERT_EQ(backups.size(), 1u);
    const std::string name = backups[0].fileName();
    EXPECT_NE(imported.out.find("tavrel-settings restore " + name), std::string::npos);

    const Run listing = run({"backups"});
    EXPECT_EQ(listing.out, name +
                               "\tbefore an import\tsettings.json, native-dock-folders.json, "
                               "NewFileSettings.json and NewFileTemplates\n");

    announced_.clear();
    const Run restored = run({"restore", name});
    ASSERT_EQ(restored.status, SettingsToolExit::success) << restored.err;
    EXPECT_EQ(documents(data()), earlier);
    EXPECT_EQ(announced_["settingsChanged"], 1);
    EXPECT_EQ(announced_["nativeDockFoldersChanged"], 1);
    EXPECT_EQ(announced_["newFileSettingsChanged"], 1);
    ASSERT_EQ(listSettingsBackups(data()).size(), 2u);
    EXPECT_EQ(listSettingsBackups(data())[1].reason, SettingsBackupReason::restore);

    for (const std::string refused : {"no-such-backup.json", "../other.json", ""}) {
        const Run result = run({"restore", refused});
        EXPECT_EQ(result.status, SettingsToolExit::usage) << refused;
        EXPECT_NE(result.err.find("nothing was changed"), std::string::npos);
    }
    EXPECT_EQ(documents(data()), earlier);
}

}  // namespace
}  // namespace tavrel
