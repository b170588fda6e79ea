// Display selection and the list-valued records of the settings document.

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings/settings_codecs.h"
#include "core/settings/settings_compatibility_recovery.h"
#include "core/settings/taskbar_display_selection.h"
#include "settings_test_support.h"

namespace tavrel {
namespace {

using Ids = std::vector<std::string>;
using test::Json;
namespace selection = TaskbarDisplaySelection;

TEST(TaskbarDisplaySelection, LegacySelectionBecomesExclusions) {
    const struct {
        const char* name;
        std::optional<Ids> selected;
        std::optional<std::string> single;
        Ids online;
        Ids expected;
    } cases[] = {
        {"selection ignores case", Ids{"A"}, std::nullopt, {"a", "B"}, {"B"}},
        {"nothing stored", std::nullopt, std::nullopt, {"A", "B"}, {}},
        {"single legacy display", std::nullopt, "b", {"A", "B", "C"}, {"A", "C"}},
        {"list wins over the single display", Ids{"C"}, "A", {"A", "B", "C"}, {"A", "B"}},
        {"empty selection excludes all", Ids{}, std::nullopt, {"A", "B"}, {"A", "B"}},
        {"online order is kept", Ids{"B"}, std::nullopt, {"C", "B", "A"}, {"C", "A"}},
    };
    for (const auto& legacy : cases) {
        SCOPED_TRACE(legacy.name);
        EXPECT_EQ(
            selection::exclusionsForLegacySelection(legacy.selected, legacy.single, legacy.online),
            legacy.expected);
    }
}

TEST(TaskbarDisplaySelection, ResolveAndEnsureKeepADisplayShowing) {
    EXPECT_EQ(selection::resolveIdentifier("b", "A", {"A", "B"}), "B");
    EXPECT_EQ(selection::resolveIdentifier("X", "a", {"A", "B"}), "A");
    EXPECT_EQ(selection::resolveIdentifier("X", "Y", {"A", "B"}), "A");
    EXPECT_EQ(selection::resolveIdentifier(std::nullopt, std::nullopt, {}), std::nullopt);

    const struct {
        const char* name;
        Ids excluded;
        Ids online;
        std::optional<std::string> fallback;
        Ids expected;
    } cases[] = {
        {"all excluded, fallback shows", {"A", "B"}, {"A", "B"}, "A", {"B"}},
        {"one shows already", {"A"}, {"A", "B"}, "A", {"A"}},
        {"fallback offline takes the first", {"B", "A"}, {"A", "B"}, "Z", {"B"}},
        {"every spelling of the kept display", {"a", "B", "A"}, {"A", "B"}, "A", {"B"}},
        {"nothing online", {"A"}, {}, "A", {"A"}},
    };
    for (const auto& ensure : cases) {
        SCOPED_TRACE(ensure.name);
        EXPECT_EQ(
            selection::ensuringOnlineSelection(ensure.excluded, ensure.online, ensure.fallback),
            ensure.expected);
    }
}

TEST(TaskbarDisplaySelection, TogglingNeverHidesTheLastDisplay) {
    const struct {
        const char* name;
        std::string identifier;
        Ids excluded;
        Ids online;
        Ids expected;
    } cases[] = {
        {"exclude one of two", "B", {}, {"A", "B"}, {"B"}},
        {"not the last showing", "B", {"A"}, {"A", "B"}, {"A"}},
        {"include again, every spelling", "a", {"A", "a", "B"}, {"A", "B"}, {"B"}},
        {"offline display with one showing", "C", {"A"}, {"A", "B"}, {"A"}},
        {"offline display with two showing", "C", {}, {"A", "B"}, {"C"}},
    };
    for (const auto& toggle : cases) {
        SCOPED_TRACE(toggle.name);
        EXPECT_EQ(selection::togglingExclusion(toggle.identifier, toggle.excluded, toggle.online),
                  toggle.expected);
    }
}

TEST(TaskbarDisplaySelection, ShownExclusionsPreferTheCurrentFormAndKeepTheFirstDisplay) {
    const struct {
        const char* name;
        std::optional<Ids> excluded;
        std::optional<Ids> selected;
        std::optional<std::string> single;
        Ids online;
        Ids expected;
    } cases[] = {
        {"nothing stored", std::nullopt, std::nullopt, std::nullopt, {"A", "B"}, {}},
        {"exclusions as stored",
         Ids{"b", "GONE"},
         std::nullopt,
         std::nullopt,
         {"A", "B"},
         {"b", "GONE"}},
        {"exclusions win over the legacy keys", Ids{}, Ids{"A"}, "A", {"A", "B"}, {}},
        {"legacy list converted", std::nullopt, Ids{"A"}, "B", {"a", "B", "C"}, {"B", "C"}},
        {"legacy single display converted",
         std::nullopt,
         std::nullopt,
         "c",
         {"A", "B", "C"},
         {"A", "B"}},
        {"all excluded: the first online shows",
         Ids{"B", "a"},
         std::nullopt,
         std::nullopt,
         {"A", "B"},
         {"B"}},
        {"legacy display gone: the first online shows",
         std::nullopt,
         Ids{"GONE"},
         std::nullopt,
         {"A", "B"},
         {"B"}},
        {"nothing online", Ids{"A"}, std::nullopt, std::nullopt, {}, {"A"}},
    };
    for (const auto& shown : cases) {
        SCOPED_TRACE(shown.name);
        EXPECT_EQ(
            selection::shownExclusions(shown.excluded, shown.selected, shown.single, shown.online),
            shown.expected);
    }
}

TEST(ListRecords, IdentityAndSubtitle) {
    const struct {
        std::optional<std::string> bundle;
        std::optional<std::string> path;
        std::optional<std::string> identity;
        std::string subtitle;
    } cases[] = {
        {"Com.Apple.Safari", "/Applications/Safari.app", "bundle:com.apple.safari",
         "Com.Apple.Safari"},
        {"", "/Applications/./Tools/../Safari.app/", "path:/Applications/Safari.app",
         "/Applications/./Tools/../Safari.app/"},
        {std::nullopt, "/Applications//Mail.app", "path:/Applications/Mail.app",
         "/Applications//Mail.app"},
        {"", "", std::nullopt, "未记录 Bundle ID"},
        {std::nullopt, std::nullopt, std::nullopt, "未记录 Bundle ID"},
    };
    for (const auto& record : cases) {
        const TaskbarExcludedApplication excluded{record.bundle, record.path, "App"};
        EXPECT_EQ(excluded.identity(), record.identity);
        const CloseProtectionApp protectedApp{"App", record.bundle, record.path};
        EXPECT_EQ(protectedApp.displaySubtitle(), record.subtitle);
    }
}

TEST(ListRecords, StorageBoxReading) {
    const std::string id = R"("id": "6f1a2b3c-4d5e-4f60-8172-8394a5b6c7d8", )";
    const struct {
        const char* name;
        std::string json;
        bool readable;
        bool flagged;  // a member was dropped
    } cases[] = {
        {"complete", "{" + id + R"("name": "B", "isVisible": true, "sortMode": "manual",
                             "manualAppOrder": ["x"], "size": 5})",
         true, false},
        {"optional members absent", "{" + id + R"("name": "B", "isVisible": false})", true, false},
        {"size 0", "{" + id + R"("name": "B", "isVisible": true, "size": 0})", false, false},
        {"size 6", "{" + id + R"("name": "B", "isVisible": true, "size": 6})", false, false},
        {"size as text", "{" + id + R"("name": "B", "isVisible": true, "size": "large"})", false,
         false},
        {"unknown sort mode", "{" + id + R"("name": "B", "isVisible": true, "sortMode": "alpha"})",
         true, true},
        {"broken order list",
         "{" + id + R"("name": "B", "isVisible": true, "manualAppOrder": [1]})", true, true},
        {"no identifier", R"({"name": "B", "isVisible": true})", false, false},
        {"identifier not a UUID", R"({"id": "box-1", "name": "B", "isVisible": true})", false,
         false},
        {"no visibility", "{" + id + R"("name": "B"})", false, false},
    };
    for (const auto& box : cases) {
        SCOPED_TRACE(box.name);
        SettingsCompatibilityRecovery::reset();
        const settings_json::KeyPath root;
        const auto decoded = settings_json::Codec<ApplicationStorageBoxConfiguration>::decode(
            Json::parse(box.json), root, nullptr);
        EXPECT_EQ(decoded.has_value(), box.readable);
        EXPECT_EQ(SettingsCompatibilityRecovery::consume(), box.flagged);
    }
}

TEST(ListRecords, RecordsWriteOnlyWhatTheyHold) {
    TaskbarSettings settings;
    ApplicationStorageBoxConfiguration box = ApplicationStorageBoxConfiguration::legacy(false);
    box.id = platform::Uuid::parse("6f1a2b3c-4d5e-4f60-8172-8394a5b6c7d8").value();
    box.size = ApplicationStorageBoxSize::extraLarge;
    settings.applicationStorageBoxes = {ApplicationStorageBoxConfiguration::legacy(true), box};
    settings.taskbarExcludedApplications = {{std::nullopt, "/Applications/X.app", "X"}};
    const Json written = test::encodedJson(settings);
    EXPECT_EQ(written["applicationStorageBoxes"],
              Json::parse(R"([{"id": "00000000-0000-0000-0000-000000000001", "name": "应用收纳箱",
                               "isVisible": true},
                              {"id": "6F1A2B3C-4D5E-4F60-8172-8394A5B6C7D8", "name": "应用收纳箱",
                               "isVisible": false, "size": 4}])"));
    EXPECT_EQ(written["taskbarExcludedApplications"],
              Json::parse(R"([{"path": "/Applications/X.app", "name": "X"}])"));
    EXPECT_EQ(written["applicationStorageBoxEnabled"], true);
}

}  // namespace
}  // namespace tavrel
