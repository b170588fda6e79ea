// A row against its default, over every bound row of every page, sub-page and tab under each of
// the settings that between them show every row: a row at its default is not marked, a change
// through its own control marks it, and a reset puts its own key back (in the shown theme only)
// and unmarks it. And a page reset reaches the rows the current settings hide.

#include "core/settings_transfer/row_defaults.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/form/slider_model.h"
#include "core/settings/settings_differences.h"
#include "core/settings_pages/page_registry.h"
#include "core/settings_pages/revealing_looks.h"
#include "core/settings_transfer/page_settings_keys.h"
#include "core/settings_transfer/settings_reset.h"
#include "platform/fake/in_memory_preference_domains.h"
#include "tests/settings/settings_test_support.h"
#include "tests/settings_app/every_shown_page.h"
#include "tests/settings_app/recording_page_host.h"

namespace tavrel {
namespace {

using test::changeOnce;
using test::everythingShown;
using test::Shown;

bool differsIn(const std::vector<SettingsKeyDifference>& differences, const FormKeyReference& key,
               TaskbarTheme shown) {
    return std::any_of(differences.begin(), differences.end(), [&](const auto& difference) {
        return difference.name == key.name &&
               (key.themeScoped ? difference.theme == shown : !difference.theme);
    });
}

struct Place {
    explicit Place(const TaskbarSettings& settings, const Shown& shown) {
        host.settings() = settings;
        host.feature = shown.page;
        host.page = shown.subpage;
        host.pageState().nativeDockSettingsTab = shown.dockTab;
        host.scriptedDialogs().confirmUnscriptedAlerts = true;
    }
    std::shared_ptr<FormContent> form() { return makeFeaturePageForm(host.feature, host); }
    test::RecordingPageHost host;
};

TEST(RowDefaultsTest, EveryBoundRowIsMarkedWhenChangedAndResetGivesBackItsDefault) {
    std::size_t checked = 0;
    for (const SettingsLook& look : rowRevealingLooks()) {
        TaskbarSettings start;
        look.apply(start);
        for (const Shown& shown : everythingShown()) {
            SCOPED_TRACE(std::string(look.name) + " — " + shown.name());
            const std::size_t rowCount = Place(start, shown).form()->rows().size();
            for (std::size_t i = 0; i < rowCount; ++i) {
                Place place(start, shown);
                auto form = place.form();
                if (i >= form->rows().size()) break;
                const FormRow& row = *form->rows()[i];
                const std::optional<FormKeyReference> key = resettableRowKey(row);
                if (!key) continue;
                SCOPED_TRACE(row.title + " (" + key->name + ")");
                // From the row's default, so the change below is surely away from it.
                ASSERT_TRUE(resetRowToDefault(place.host.settings(), row));
                EXPECT_FALSE(rowDiffersFromDefault(row, place.host.settings()));
                const TaskbarSettings atDefault = place.host.settings();
                const auto rebuilt = place.form();
                ASSERT_LT(i, rebuilt->rows().size());
                const FormRow& fresh = *rebuilt->rows()[i];
                ASSERT_EQ(fresh.title, row.title);
                if (!changeOnce(fresh)) continue;
                const TaskbarTheme theme = atDefault.theme;
                if (!differsIn(settingsDifferences(atDefault, place.host.settings()), *key,
                               theme)) {
                    ADD_FAILURE() << "the row's control did not change its own key";
                    continue;
                }
                EXPECT_TRUE(rowDiffersFromDefault(fresh, place.host.settings()));
                const TaskbarSettings changed = place.host.settings();
                ASSERT_TRUE(resetRowToDefault(place.host.settings(), fresh));
                EXPECT_FALSE(rowDiffersFromDefault(fresh, place.host.settings()));
                const auto resetWrote = settingsDifferences(changed, place.host.settings());
                EXPECT_EQ(resetWrote.size(), 1u) << "only the row's own key is reset";
                EXPECT_TRUE(differsIn(resetWrote, *key, theme));
                EXPECT_FALSE(
                    differsIn(settingsDifferences(atDefault, place.host.settings()), *key, theme));
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 300u);
    RecordProperty("rowsChecked", static_cast<int>(checked));
}

TEST(RowDefaultsTest, RowsWithNothingOfTheirOwnToResetAreNeverMarked) {
    TaskbarSettings settings;
    settings.hideNativeDock = !settings.hideNativeDock;
    const auto rowWith = [](std::vector<FormKeyReference> keys) {
        FormRow row;
        row.keys = std::move(keys);
        return row;
    };
    for (const FormRow& row :
         {rowWith({}), rowWith({{"hideNativeDock", false}}),
          rowWith({{"applicationStorageBoxEnabled", false}}), rowWith({{"noSuchKey", false}}),
          rowWith({{"noSuchKey", true}}), rowWith({{"themeIsolationVersion", false}})}) {
        SCOPED_TRACE(row.keys.empty() ? std::string("no keys") : row.keys.front().name);
        EXPECT_FALSE(resettableRowKey(row));
        EXPECT_FALSE(rowDiffersFromDefault(row, settings));
        TaskbarSettings copy = settings;
        EXPECT_FALSE(resetRowToDefault(copy, row));
        EXPECT_EQ(copy, settings);
    }
}

TEST(RowDefaultsTest, ThemeScopedRowIsJudgedAndResetInTheShownThemeOnly) {
    FormRow row;
    row.keys = {{"taskbarHeight", true}, {"iconSize", true}};
    TaskbarSettings settings;
    settings.theme = TaskbarTheme::liquidGlass;
    const TaskbarSettings defaults = settings;
    settings.windowsProfile.taskbarHeight = defaults.windowsProfile.taskbarHeight + 9;
    EXPECT_FALSE(rowDiffersFromDefault(row, settings)) << "the other theme's value is not shown";
    settings.liquidGlassProfile.taskbarHeight = defaults.liquidGlassProfile.taskbarHeight + 5;
    settings.liquidGlassProfile.iconSize = defaults.liquidGlassProfile.iconSize + 3;
    EXPECT_TRUE(rowDiffersFromDefault(row, settings));
    ASSERT_TRUE(resetRowToDefault(settings, row));
    EXPECT_EQ(settings.liquidGlassProfile.taskbarHeight, defaults.liquidGlassProfile.taskbarHeight);
    EXPECT_EQ(settings.liquidGlassProfile.iconSize, defaults.liquidGlassProfile.iconSize + 3)
        << "a key written besides belongs to its own row";
    EXPECT_EQ(settings.windowsProfile.taskbarHeight, defaults.windowsProfile.taskbarHeight + 9);
}

// A reset gives back what a first start loads: the shipped document, with the taskbar on the
// edge the native Dock leaves free. So a new user's window shows no marker, and resetting the
// position never moves the taskbar onto the Dock's edge. Without a readable document the built-in
// defaults hold again.
TEST(RowDefaultsTest, AResetGivesBackWhatAFirstStartLoads) {
    test::ScratchDirectory scratch;
    TaskbarSettings shipped;
    shipped.windowsProfile.taskbarHeight = TaskbarSettings().windowsProfile.taskbarHeight + 4;
    const std::filesystem::path document = scratch.path() / "DefaultSettings.json";
    test::writeText(document, shipped.encoded().value());
    auto dock = std::make_shared<platform::InMemoryPreferenceDomains>();
    SettingsEnvironment environment;
    environment.directory = scratch.path() / "data";
    environment.defaultDocument = [document] { return std::optional(document); };
    environment.preferences = dock;

    FormRow edge;
    edge.keys = {{"taskbarScreenEdge", true}};
    FormRow height;
    height.keys = {{"taskbarHeight", true}};
    const struct {
        const char* dock;  // the Dock's "orientation"; nothing: at the bottom
        std::int64_t firstStartEdge;
    } docks[] = {{nullptr, 1}, {"left", 0}, {"right", 0}, {"bottom", 1}};
    for (const auto& at : docks) {
        SCOPED_TRACE(at.dock ? at.dock : "no orientation");
        dock->removeDomain("com.apple.dock");
        if (at.dock) dock->set("com.apple.dock", "orientation", std::string(at.dock));
        std::filesystem::remove_all(environment.directory);
        TaskbarSettings firstStart;
        ASSERT_FALSE(firstStart.load(environment).fileExisted);
        firstStart.theme = TaskbarTheme::windows;
        ASSERT_EQ(firstStart.windowsProfile.taskbarScreenEdge, at.firstStartEdge);

        installFirstStartSettingsDefaults(environment);
        EXPECT_FALSE(rowDiffersFromDefault(edge, firstStart));
        EXPECT_FALSE(rowDiffersFromDefault(height, firstStart));
        TaskbarSettings moved = firstStart;
        moved.windowsProfile.taskbarScreenEdge = 2;  // right
        moved.windowsProfile.taskbarHeight += 10;
        ASSERT_TRUE(resetRowToDefault(moved, edge));
        ASSERT_TRUE(resetRowToDefault(moved, height));
        EXPECT_EQ(moved.windowsProfile.taskbarScreenEdge, at.firstStartEdge);
        EXPECT_EQ(moved.windowsProfile.taskbarHeight, shipped.windowsProfile.taskbarHeight);
        resetAllSettings(moved);
        moved.theme = TaskbarTheme::windows;
        EXPECT_TRUE(moved.hasSameStoredValues(firstStart));
    }

    environment.defaultDocument = [] { return std::optional<std::filesystem::path>(); };
    dock->removeDomain("com.apple.dock");
    dock->set("com.apple.dock", "orientation", std::string("left"));
    installFirstStartSettingsDefaults(environment);
    TaskbarSettings builtIn;
    builtIn.theme = TaskbarTheme::windows;
    EXPECT_FALSE(rowDiffersFromDefault(edge, builtIn));
    EXPECT_FALSE(rowDiffersFromDefault(height, builtIn));
    installFirstStartSettingsDefaults(SettingsEnvironment{});
}

std::vector<FormKeyReference> shownKeys(FeaturePage page, const TaskbarSettings& settings) {
    std::vector<FormKeyReference> keys;
    for (int tab = 0; tab < 4; ++tab) {
        Place place(settings, {page, featurePageEntry(page).subpage.value_or(Page::taskbar), tab});
        const auto form = place.form();
        for (const FormRow* row : form->rows()) {
            keys.insert(keys.end(), row->keys.begin(), row->keys.end());
        }
    }
    return keys;
}

bool holds(const std::vector<FormKeyReference>& keys, const FormKeyReference& key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// A page reset takes back the values of rows the settings hide now: left alone, they would come
// back changed the next time their switch is turned on.
TEST(RowDefaultsTest, PageKeysHoldTheRowsTheSettingsHideWithinTheShownTheme) {
    std::size_t hiddenCounted = 0;
    for (const SettingsLook& look : rowRevealingLooks()) {
        TaskbarSettings revealing;
        look.apply(revealing);
        TaskbarSettings plain;
        plain.theme = revealing.theme;
        for (const FeaturePage page : allFeaturePages()) {
            SCOPED_TRACE(std::string(look.name) + " — " + std::string(featurePageName(page)));
            const auto counted = pageSettingsKeys(page, plain);
            const auto shown = shownKeys(page, plain);
            for (const FormKeyReference& key : shownKeys(page, revealing)) {
                if (key.name == "hideNativeDock") continue;
                EXPECT_TRUE(holds(counted, key)) << key.name;
                if (!holds(shown, key)) ++hiddenCounted;
            }
        }
    }
    EXPECT_GT(hiddenCounted, 0u);

    // The gaps of the panel at the top show only while it is at the top; a reset of the page
    // with the panel at the bottom takes them back too, in the shown theme's record only.
    TaskbarSettings windows;
    windows.theme = TaskbarTheme::windows;
    windows.windowsProfile.clockScreenPosition = 0;
    const FormKeyReference topGap{"topDetachedClockRightGap", true};
    ASSERT_FALSE(holds(shownKeys(FeaturePage::clockCalendar, windows), topGap));
    EXPECT_TRUE(holds(pageSettingsKeys(FeaturePage::clockCalendar, windows), topGap));
    const TaskbarSettings defaults = windows;
    windows.windowsProfile.topDetachedClockRightGap = 37;
    windows.liquidGlassProfile.topDetachedClockRightGap = 41;
    resetPageSettings(windows, FeaturePage::clockCalendar);
    EXPECT_EQ(windows.windowsProfile.topDetachedClockRightGap,
              defaults.windowsProfile.topDetachedClockRightGap);
    EXPECT_EQ(windows.liquidGlassProfile.topDetachedClockRightGap, 41);
}

}  // namespace
}  // namespace tavrel
