// settings.json on disk: first run, when load() writes and when it does not, recovery of
// unreadable documents, the shipped default document and the log lines.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "core/foundation/utf8.h"
#include "core/settings/app_data_store.h"
#include "core/settings/settings_compatibility_recovery.h"
#include "platform/fake/in_memory_preference_domains.h"
#include "platform/fake/manual_clock.h"
#include "platform/log.h"
#include "settings_test_support.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using test::Json;

constexpr auto kNow =
    std::chrono::sys_seconds{std::chrono::seconds{1700000000}} + std::chrono::milliseconds{750};
constexpr const char* kFieldsReplaced =
    "Tavrel: incompatible settings fields were replaced with defaults";
constexpr const char* kResetPrefix = "Tavrel: incompatible settings were reset to defaults: ";
constexpr const char* kNoDefaults =
    "Tavrel: bundled default settings could not be loaded; using code defaults";

ino_t inodeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_ino;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    SettingsEnvironment environment() {
        SettingsEnvironment env;
        env.directory = scratch_.path() / "Tavrel";
        env.preferences = dock_;
        env.defaultDocument = [this] { return defaultDocument_; };
        env.clock = clock_;
        env.durability = platform::Durability::fast;
        return env;
    }
    fs::path settingsPath() { return scratch_.path() / "Tavrel" / "settings.json"; }

    std::vector<fs::path> archives() {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(scratch_.path() / "Tavrel")) {
            if (entry.path().filename().string().starts_with("settings.incompatible-")) {
                found.push_back(entry.path());
            }
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    std::vector<std::string> takeLog() {
        const std::lock_guard lock(logMutex_);
        return std::exchange(log_, {});
    }

    test::ScratchDirectory scratch_;
    std::shared_ptr<platform::InMemoryPreferenceDomains> dock_ =
        std::make_shared<platform::InMemoryPreferenceDomains>();
    std::shared_ptr<platform::ManualClock> clock_ =
        std::make_shared<platform::ManualClock>(platform::Clock::Duration{0}, kNow);
    std::optional<fs::path> defaultDocument_;

private:
    std::mutex logMutex_;
    std::vector<std::string> log_;
    platform::ScopedLogCapture capture_{[this](std::string_view line) {
        const std::lock_guard lock(logMutex_);
        log_.emplace_back(line);
    }};
};

TEST_F(SettingsStoreTest, FirstRunTakesTheEdgeTheDockLeavesFree) {
    const struct {
        const char* name;
        std::optional<platform::PreferenceValue> orientation;
        std::int64_t edge;
    } cases[] = {
        {"no Dock preference", std::nullopt, 1},
        {"Dock at the bottom", std::string("bottom"), 1},
        {"Dock on the left", std::string("left"), 0},
        {"Dock on the right", std::string("Right"), 0},
        {"unknown orientation", std::string("top"), 1},
        {"not a string", platform::PreferenceValue{std::int64_t{2}}, 1},
    };
    for (const auto& dockCase : cases) {
        SCOPED_TRACE(dockCase.name);
        fs::remove_all(scratch_.path() / "Tavrel");
        if (dockCase.orientation) {
            dock_->set("com.apple.dock", "orientation", *dockCase.orientation);
        } else {
            dock_->remove("com.apple.dock", "orientation");
        }
        TaskbarSettings settings;
        const auto report = settings.load(environment());
        EXPECT_FALSE(report.fileExisted);
        EXPECT_TRUE(report.saved);

        TaskbarSettings expected;
        expected.windowsProfile.taskbarScreenEdge = dockCase.edge;
        expected.liquidGlassProfile.taskbarScreenEdge = dockCase.edge;
        EXPECT_TRUE(settings == expected);
        EXPECT_EQ(test::readText(settingsPath()), expected.encoded().value());
    }
    EXPECT_EQ(takeLog(), std::vector<std::string>(std::size(cases), kNoDefaults));
}

TEST_F(SettingsStoreTest, FirstRunStartsFromTheShippedDefaultDocument) {
    TaskbarSettings shipped;
    shipped.theme = TaskbarTheme::windows;
    shipped.hideNativeDock = true;
    shipped.windowsProfile.taskbarScreenEdge = 2;
    defaultDocument_ = scratch_.path() / "DefaultSettings.json";
    test::writeText(*defaultDocument_, shipped.encoded().value());
    dock_->set("com.apple.dock", "orientation", std::string("left"));

    TaskbarSettings settings;
    settings.load(environment());
    EXPECT_EQ(settings.theme, TaskbarTheme::windows);
    EXPECT_TRUE(settings.hideNativeDock);
    EXPECT_EQ(settings.windowsProfile.taskbarScreenEdge, 0);  // the Dock decides on first run
    EXPECT_EQ(test::readText(settingsPath()), settings.encoded().value());
    EXPECT_TRUE(takeLog().empty());
}

TEST_F(SettingsStoreTest, LoadingACompleteCurrentDocumentWritesNothing) {
    TaskbarSettings stored;
    stored.theme = TaskbarTheme::windows;
    stored.windowsProfile.taskbarHeight = 52;
    stored.closeProtectionApps = {CloseProtectionApp{"Mail", "com.apple.mail", std::nullopt}};
    ASSERT_TRUE(stored.save(environment()).ok());
    const std::string bytes = test::readText(settingsPath());
    const ino_t inode = inodeOf(settingsPath());

    TaskbarSettings settings;
    const auto report = settings.load(environment());
    EXPECT_FALSE(report.saved);
    EXPECT_TRUE(settings == stored);
    EXPECT_EQ(inodeOf(settingsPath()), inode) << "the file was replaced";
    EXPECT_EQ(test::readText(settingsPath()), bytes);
    EXPECT_TRUE(takeLog().empty());
}

TEST_F(SettingsStoreTest, DocumentsThatNeedMigrationAreRewrittenOnce) {
    Json complete = test::encodedJson(TaskbarSettings());
    Json withoutIsolation = complete;
    withoutIsolation.erase("themeIsolationVersion");
    withoutIsolation["autoHideTaskbar"] = true;
    Json damagedHeight = complete;
    damagedHeight["liquidGlassSettings"]["taskbarHeight"] = 48;
    Json wrongType = complete;
    wrongType["windowsSettings"]["iconSize"] = "large";
    Json legacy = complete;
    legacy["screenCornersEnabled"] = false;  // a present legacy key alone needs no rewrite

    const struct {
        const char* name;
        Json document;
        bool rewritten;
        std::vector<std::string> log;
        std::function<void(const Json&)> check;
    } cases[] = {
        {"without themeIsolationVersion",
         withoutIsolation,
         true,
         {},
         [](const Json& written) {
             EXPECT_EQ(written["themeIsolationVersion"], 1);
             EXPECT_EQ(written["windowsSettings"]["autoHideTaskbar"], true);
             EXPECT_EQ(written["liquidGlassSettings"]["autoHideTaskbar"], true);
         }},
        {"damaged liquid-glass height",
         damagedHeight,
         true,
         {},
         [](const Json& written) {
             EXPECT_EQ(written["liquidGlassSettings"]["taskbarHeight"], 58);
         }},
        {"a field of the wrong type",
         wrongType,
         true,
         {kFieldsReplaced},
         [](const Json& written) { EXPECT_EQ(written["windowsSettings"]["iconSize"], 35); }},
        {"a legacy key", legacy, false, {}, [](const Json&) {}},
    };
    for (const auto& migration : cases) {
        SCOPED_TRACE(migration.name);
        test::writeText(settingsPath(), migration.document.dump());
        TaskbarSettings settings;
        EXPECT_EQ(settings.load(environment()).saved, migration.rewritten);
        EXPECT_EQ(takeLog(), migration.log);
        const std::string written = test::readText(settingsPath());
        migration.check(Json::parse(written));
        if (migration.rewritten) {
            EXPECT_EQ(written, settings.encoded().value());
            // The repaired document is current: the next load leaves it alone.
            TaskbarSettings again;
            EXPECT_FALSE(again.load(environment()).saved);
            EXPECT_TRUE(takeLog().empty());
        }
    }
}

TEST_F(SettingsStoreTest, UnreadableDocumentsAreArchivedAndReplaced) {
    std::string oversized = "{}";
    oversized.append(SettingsDocumentLimits::maxBytes, ' ');
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"a list", "[]"},
        {"empty", ""},
        {"truncated", R"({"theme": 1, "hideNativeDock": tr)"},
        {"not UTF-8", "{\"taskbarDisplayIdentifier\": \"\xFF\"}"},
        {"oversized", oversized},
        {"nested too deep", std::string(100000, '[')},
    };
    const std::regex archiveName(R"(settings\.incompatible-1700000000-[0-9a-f]{8}\.json)");
    for (const auto& unreadable : cases) {
        SCOPED_TRACE(unreadable.name);
        fs::remove_all(scratch_.path() / "Tavrel");
        test::writeText(settingsPath(), unreadable.bytes);

        TaskbarSettings settings;
        const auto report = settings.load(environment());
        EXPECT_TRUE(report.documentUnreadable);
        EXPECT_TRUE(report.saved);

        const auto archived = archives();
        ASSERT_EQ(archived.size(), 1u);
        EXPECT_TRUE(std::regex_match(archived[0].filename().string(), archiveName))
            << archived[0].filename();
        EXPECT_TRUE(test::readText(archived[0]) == unreadable.bytes) << "the user's bytes survive";
        EXPECT_EQ(test::readText(settingsPath()), TaskbarSettings().encoded().value());

        const auto log = takeLog();
        ASSERT_EQ(log.size(), 2u);
        EXPECT_TRUE(log[0].starts_with(kResetPrefix)) << log[0];
        EXPECT_GT(log[0].size(), std::string_view(kResetPrefix).size());
        // The document's own bytes may end up in the reason; they arrive escaped.
        EXPECT_TRUE(isValidUtf8(log[0])) << log[0];
        if (unreadable.bytes.find('\xFF') != std::string::npos) {
            EXPECT_NE(log[0].find("\\xFF"), std::string::npos) << log[0];
        }
        EXPECT_EQ(log[1], kNoDefaults);
    }
}

TEST_F(SettingsStoreTest, UnreadableDocumentFallsBackToTheShippedDefaults) {
    TaskbarSettings shipped;
    shipped.musicWidgetEnabled = false;
    defaultDocument_ = scratch_.path() / "DefaultSettings.json";
    test::writeText(*defaultDocument_, shipped.encoded().value());
    test::writeText(settingsPath(), "[]");

    TaskbarSettings settings;
    settings.load(environment());
    EXPECT_FALSE(settings.musicWidgetEnabled);
    EXPECT_EQ(test::readText(settingsPath()), shipped.encoded().value());
    const auto log = takeLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(log[0].starts_with(kResetPrefix));
}

TEST_F(SettingsStoreTest, TwoArchivesOfTheSameSecondGetDifferentNames) {
    for (int round = 0; round < 2; ++round) {
        test::writeText(settingsPath(), "not json");
        TaskbarSettings settings;
        settings.load(environment());
    }
    const auto archived = archives();
    ASSERT_EQ(archived.size(), 2u);
    EXPECT_NE(archived[0], archived[1]);
    for (const auto& archive : archived) EXPECT_EQ(test::readText(archive), "not json");
}

TEST_F(SettingsStoreTest, BrokenOrMissingDefaultDocumentFallsBackToCodeDefaults) {
    const struct {
        const char* name;
        std::optional<std::string> defaultBytes;
    } cases[] = {
        {"no default document", std::nullopt},
        {"broken default document", std::string("{\"theme\": ")},
        {"default document that is a list", std::string("[1, 2]")},
    };
    for (const auto& fallback : cases) {
        SCOPED_TRACE(fallback.name);
        fs::remove_all(scratch_.path() / "Tavrel");
        defaultDocument_.reset();
        if (fallback.defaultBytes) {
            defaultDocument_ = scratch_.path() / "DefaultSettings.json";
            test::writeText(*defaultDocument_, *fallback.defaultBytes);
        }
        TaskbarSettings settings;
        EXPECT_TRUE(settings.load(environment()).saved);
        TaskbarSettings expected;
        expected.setTaskbarEdgeFromNativeDock(dock_.get());
        EXPECT_TRUE(settings == expected);
        EXPECT_EQ(takeLog(), std::vector<std::string>{kNoDefaults});
    }
}

TEST_F(SettingsStoreTest, AFailedSaveLeavesTheDocumentAlone) {
    TaskbarSettings stored;
    ASSERT_TRUE(stored.save(environment()).ok());
    const std::string before = test::readText(settingsPath());

    TaskbarSettings unencodable;
    unencodable.hideNotchCornerRadius = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(unencodable.save(environment()).ok());
    EXPECT_EQ(test::readText(settingsPath()), before);

    // A directory where the file should be: the write fails and reports it.
    SettingsEnvironment blocked = environment();
    blocked.directory = scratch_.path() / "blocked";
    fs::create_directories(blocked.settingsURL() / "child");
    EXPECT_FALSE(TaskbarSettings().save(blocked).ok());
    EXPECT_TRUE(fs::is_directory(blocked.settingsURL()));
}

TEST(SettingsCompatibilityRecovery, TheFlagBelongsToOneThread) {
    SettingsCompatibilityRecovery::raise();
    std::thread other([] {
        SettingsCompatibilityRecovery::reset();
        ASSERT_TRUE(StoredSettings::decode(R"({"hideNativeDock": 1})").ok());
        EXPECT_TRUE(SettingsCompatibilityRecovery::consume());
        EXPECT_FALSE(SettingsCompatibilityRecovery::consume());
    });
    other.join();
    EXPECT_TRUE(SettingsCompatibilityRecovery::consume());
    EXPECT_FALSE(SettingsCompatibilityRecovery::consume()) << "consuming removes the flag";
}

// The application's own paths: $XDG_DATA_HOME/Tavrel and the preference domains under
// $XDG_CONFIG_HOME, pointed at this test's directory.
class StandardLocationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        ::setenv("XDG_DATA_HOME", (scratch_.path() / "data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (scratch_.path() / "config").c_str(), 1);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

    test::ScratchDirectory scratch_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(StandardLocationsTest, FirstUseCreatesTheDirectoryAndTheMarker) {
    const fs::path expected = scratch_.path() / "data" / "Tavrel";
    EXPECT_FALSE(fs::exists(expected));
    EXPECT_EQ(AppDataStore::directoryPath(), expected);
    EXPECT_FALSE(fs::exists(expected)) << "directoryPath creates nothing";

    EXPECT_EQ(AppDataStore::directoryURL(), expected);
    EXPECT_TRUE(fs::is_directory(expected));
    EXPECT_TRUE(fs::is_regular_file(expected / ".migration-complete"));
    EXPECT_EQ(fs::file_size(expected / ".migration-complete"), 0u);
    EXPECT_EQ(TaskbarSettings::settingsURL(), expected / "settings.json");
}

TEST_F(StandardLocationsTest, FirstLoadReadsTheDocksOrientationFromItsPreferences) {
    test::writeText(scratch_.path() / "config" / "Tavrel" / "Preferences" / "com.apple.dock.plist",
                    R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>orientation</key><string>left</string></dict></plist>
)");
    TaskbarSettings settings;
    settings.load();
    const Json written =
        Json::parse(test::readText(scratch_.path() / "data" / "Tavrel" / "settings.json"));
    EXPECT_EQ(written["windowsSettings"]["taskbarScreenEdge"], 0);
    EXPECT_EQ(written["liquidGlassSettings"]["taskbarScreenEdge"], 0);
    EXPECT_TRUE(fs::is_regular_file(scratch_.path() / "data" / "Tavrel" / ".migration-complete"));
}

}  // namespace
}  // namespace tavrel
