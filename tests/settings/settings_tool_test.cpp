// tavrel-settings: its commands over a private directory, with a recording announcer.

#include "tools/settings/settings_tool.h"

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fake/in_memory_preference_domains.h"
#include "settings_test_support.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using test::Json;

class SettingsToolTest : public ::testing::Test {
protected:
    struct Run {
        int status;
        std::string out;
        std::string err;
    };

    Run run(std::vector<std::string> arguments) {
        std::ostringstream out;
        std::ostringstream err;
        const SettingsToolContext context{
            .environment =
                [this](bool) {
                    SettingsEnvironment environment;
                    environment.directory = directory();
                    environment.preferences = dock_;
                    environment.durability = platform::Durability::fast;
                    return environment;
                },
            .announce = [this]() -> Status {
                ++announcements_;
                if (busMissing_) return Error{"no session bus"};
                return Status::success();
            },
            .out = out,
            .err = err,
        };
        const int status = runSettingsTool(arguments, context);
        return {status, out.str(), err.str()};
    }

    fs::path directory() const { return scratch_.path() / "Tavrel"; }
    fs::path settingsPath() const { return directory() / "settings.json"; }
    Json stored() const { return Json::parse(test::readText(settingsPath())); }

    test::ScratchDirectory scratch_;
    std::shared_ptr<platform::InMemoryPreferenceDomains> dock_ =
        std::make_shared<platform::InMemoryPreferenceDomains>();
    int announcements_ = 0;
    bool busMissing_ = false;
};

TEST_F(SettingsToolTest, RefusesBadCommandsKeysAndValuesWithoutWriting) {
    const std::vector<std::vector<std::string>> refused = {
        {},
        {"frobnicate"},
        {"get"},
        {"get", "a", "b"},
        {"get", "noSuchKey"},
        {"get", "windowsSettings.noSuchKey"},
        {"get", "otherSettings.taskbarHeight"},
        {"get", "screenCornersEnabled"},
        {"set", "hideNativeDock"},
        {"set", "noSuchKey", "1"},
        {"set", "hideNativeDock", "1"},
        {"set", "hideNativeDock", "yes"},
        {"set", "hideNativeDock", "null"},
        {"set", "taskbarHeight", "\"tall\""},
        {"set", "windowsSettings.iconSize", "[]"},
        {"set", "startMenuShortcutKeyCode", "1.5"},
        {"set", "launcherHoverOutlineColor", R"({"red": 1, "green": 1, "blue": 1})"},
        {"set", "closeProtectionApps", R"([{"bundleIdentifier": "com.apple.mail"}])"},
        {"set", "liquidGlassSettings", R"({"iconSize": "big"})"},
        {"set", "screenCornersEnabled", "true"},
        {"set", "hideNotchBottomMaskEnabled", "true"},
        {"set", "themeIsolationVersion", "2"},
        {"set", "applicationStorageBoxEnabled", "false"},
    };
    for (const auto& arguments : refused) {
        std::string line;
        for (const auto& argument : arguments) line += argument + " ";
        SCOPED_TRACE(line);
        const Run result = run(arguments);
        EXPECT_EQ(result.status, SettingsToolExit::usage);
        EXPECT_FALSE(result.err.empty());
        EXPECT_TRUE(result.out.empty());
    }
    EXPECT_FALSE(fs::exists(directory()));
    EXPECT_EQ(announcements_, 0);
}

TEST_F(SettingsToolTest, SetWritesThroughTheModelAndAnnouncesChanges) {
    Run result = run({"set", "previewSnapshotCacheLimit", "500"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("stored as 100"), std::string::npos) << result.err;
    EXPECT_EQ(stored()["previewSnapshotCacheLimit"], 100);
    EXPECT_EQ(announcements_, 1);

    // The same value again leaves the bytes as they are: nothing to announce.
    result = run({"set", "previewSnapshotCacheLimit", "100"});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.err.empty()) << result.err;
    EXPECT_EQ(announcements_, 1);

    EXPECT_EQ(run({"set", "hideNativeDock", "true"}).status, 0);
    EXPECT_EQ(stored()["hideNativeDock"], true);
    EXPECT_EQ(announcements_, 2);
}

TEST_F(SettingsToolTest, PerThemeKeysGoToTheCurrentTheme) {
    ASSERT_EQ(run({"set", "taskbarHeight", "50"}).status, 0);    // a key that is never read back
    ASSERT_EQ(run({"set", "startMenuWidth", "800"}).status, 0);  // a key whose copy is read back
    ASSERT_EQ(run({"set", "windowsSettings.startMenuWidth", "610"}).status, 0);
    Json document = stored();
    EXPECT_EQ(document["theme"], 1);
    EXPECT_EQ(document["liquidGlassSettings"]["taskbarHeight"], 50);
    EXPECT_EQ(document["liquidGlassSettings"]["startMenuWidth"], 800);
    EXPECT_EQ(document["startMenuWidth"], 800);
    EXPECT_EQ(document["windowsSettings"]["taskbarHeight"], 48);
    EXPECT_EQ(document["windowsSettings"]["startMenuWidth"], 610);

    // Switching the theme brings back the other theme's own values.
    ASSERT_EQ(run({"set", "theme", "0"}).status, 0);
    EXPECT_EQ(run({"get", "startMenuWidth"}).out, "610\n");
    EXPECT_EQ(run({"get", "taskbarHeight"}).out, "48\n");
    EXPECT_EQ(run({"get", "liquidGlassSettings.startMenuWidth"}).out, "800\n");
}

TEST_F(SettingsToolTest, OpacityFollowsTheMaterial) {
    ASSERT_EQ(run({"set", "liquidGlassBackgroundMaterial", "1"}).status, 0);
    ASSERT_EQ(run({"set", "opacity", "0.4"}).status, 0);
    const Json document = stored();
    EXPECT_EQ(document["clearLiquidGlassOpacity"], 0.4);
    EXPECT_EQ(document["frostedLiquidGlassOpacity"], 1);
    EXPECT_EQ(document["opacity"], 0.4);
    const Run clamped = run({"set", "opacity", "3"});
    EXPECT_NE(clamped.err.find("stored as 1"), std::string::npos) << clamped.err;
}

TEST_F(SettingsToolTest, SetWithoutABusStillSaves) {
    busMissing_ = true;
    const Run result = run({"set", "launchAtLogin", "false"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("not announced"), std::string::npos) << result.err;
    EXPECT_EQ(stored()["launchAtLogin"], false);
}

TEST_F(SettingsToolTest, ClearsADisplaySelection) {
    ASSERT_EQ(run({"set", "taskbarDisplayIdentifiers", R"(["A", "B"])"}).status, 0);
    EXPECT_EQ(stored()["taskbarDisplayIdentifiers"], Json::array({"A", "B"}));
    ASSERT_EQ(run({"set", "taskbarDisplayIdentifiers", "null"}).status, 0);
    EXPECT_FALSE(stored().contains("taskbarDisplayIdentifiers"));
    EXPECT_EQ(run({"get", "taskbarDisplayIdentifiers"}).out, "null\n");
}

TEST_F(SettingsToolTest, GetAndCheckWriteNothing) {
    // No document yet: the values the application would start from.
    dock_->set("com.apple.dock", "orientation", std::string("left"));
    EXPECT_EQ(run({"get", "theme"}).out, "1\n");
    EXPECT_EQ(run({"get", "windowsSettings.taskbarScreenEdge"}).out, "0\n");
    Run check = run({"check"});
    EXPECT_EQ(check.status, 0);
    EXPECT_NE(check.out.find("does not exist yet"), std::string::npos);
    EXPECT_FALSE(fs::exists(directory()));

    // An unreadable document is reported, not archived.
    test::writeText(settingsPath(), "[]");
    const Run get = run({"get", "hideNativeDock"});
    EXPECT_EQ(get.out, "false\n");
    EXPECT_NE(get.err.find("cannot be read"), std::string::npos);
    check = run({"check"});
    EXPECT_EQ(check.status, SettingsToolExit::problems);
    EXPECT_NE(check.out.find("cannot be read"), std::string::npos);
    EXPECT_EQ(test::readText(settingsPath()), "[]");
    EXPECT_EQ(std::distance(fs::directory_iterator(directory()), fs::directory_iterator()), 1);
}

TEST_F(SettingsToolTest, CheckNamesTheKeysThatFallBack) {
    Json document = test::defaultDocument();
    document["windowsSettings"]["iconSize"] = "large";
    document["launcherHoverOutlineColor"] = {{"red", 1}};
    document["screenCornersEnabled"] = true;
    document["someFutureKey"] = 1;
    test::writeText(settingsPath(), document.dump());
    const std::string before = test::readText(settingsPath());

    const Run check = run({"check"});
    EXPECT_EQ(check.status, SettingsToolExit::problems);
    EXPECT_NE(check.out.find("2 keys fall back"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("windowsSettings.iconSize: not a number"), std::string::npos);
    EXPECT_NE(check.out.find("launcherHoverOutlineColor: not a colour"), std::string::npos);
    EXPECT_NE(check.out.find("legacy keys, migrated and then dropped: screenCornersEnabled"),
              std::string::npos);
    EXPECT_NE(check.out.find("dropped on the next save: someFutureKey"), std::string::npos);
    EXPECT_EQ(test::readText(settingsPath()), before);

    test::writeText(settingsPath(), test::defaultDocument().dump());
    EXPECT_EQ(run({"check"}).status, 0);
}

TEST_F(SettingsToolTest, DumpLoadsAsTheApplicationDoes) {
    Json old = test::defaultDocument();
    old.erase("themeIsolationVersion");
    old["autoHideTaskbar"] = true;
    test::writeText(settingsPath(), old.dump());

    const Run dump = run({"dump"});
    EXPECT_EQ(dump.status, 0);
    const Json printed = Json::parse(dump.out);
    EXPECT_EQ(printed, stored()) << "dump prints what load() wrote";
    EXPECT_EQ(printed["themeIsolationVersion"], 1);
    EXPECT_EQ(printed["windowsSettings"]["autoHideTaskbar"], true);
    EXPECT_EQ(announcements_, 0);
}

TEST_F(SettingsToolTest, ListsEveryKeyAndPrintsTheDefaults) {
    const Run keys = run({"keys"});
    EXPECT_EQ(keys.status, 0);
    EXPECT_EQ(std::count(keys.out.begin(), keys.out.end(), '\n'), 218 + 2 * 99);
    const Run defaults = run({"defaults"});
    EXPECT_EQ(Json::parse(defaults.out), test::defaultDocument());
    EXPECT_EQ(run({"--help"}).out, settingsToolUsage());
    EXPECT_EQ(run({"path"}).out, settingsPath().string() + "\n");
}

}  // namespace
}  // namespace tavrel
