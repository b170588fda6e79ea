// The page registry: one row per page in declaration order, the sidebar's order, and — over every
// page, sub-page and tab it builds — that each bound row, changed once, writes exactly its own
// key (in the shown theme where theme-scoped) to settings.json and posts settingsChanged once.

#include "core/settings_pages/page_registry.h"

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/notifications/notification_names.h"
#include "core/settings/settings_differences.h"
#include "core/settings_pages/revealing_looks.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_main_queue.h"
#include "tests/settings_app/every_shown_page.h"
#include "tests/settings_app/recording_page_host.h"
#include "tests/settings_app/settings_delegate_fixture.h"

namespace tavrel {
namespace {

using test::RecordingPageHost;

TEST(PageRegistryTest, OneRowPerPageInDeclarationOrderAndThirteenInTheSidebar) {
    const auto registry = featurePageRegistry();
    ASSERT_EQ(registry.size(), featurePageCount);
    std::set<int> positions;
    for (std::size_t i = 0; i < registry.size(); ++i) {
        const FeaturePageEntry& entry = registry[i];
        SCOPED_TRACE(std::string(entry.info.title));
        EXPECT_EQ(static_cast<std::size_t>(entry.page), i);
        EXPECT_NE(entry.build, nullptr);
        if (entry.sidebarPosition) positions.insert(*entry.sidebarPosition);
        // A switch that edits a setting names the key it edits.
        if (entry.sidebarSwitch && entry.sidebarSwitch->kind == SidebarSwitch::Kind::setting) {
            EXPECT_EQ(entry.sidebarSwitch->binding.keys.size(), 1u);
        }
    }
    EXPECT_EQ(positions, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(sidebarFeaturePages().size(), 13u);
}

// Where the pages show rows that depend on other values, these settings show them.
using Look = SettingsLook;
using test::everythingShown;
using test::Shown;

// A change the row's control can make from what it shows (a button row is pressed).
bool changeOnce(const FormRow& row) {
    return test::changeOnce(row, test::ButtonRows::press);
}

const std::vector<Look>& looks() {
    return rowRevealingLooks();
}

bool isOwnKey(const SettingsKeyDifference& difference, const std::vector<FormKeyReference>& keys,
              TaskbarTheme shownTheme) {
    for (const FormKeyReference& key : keys) {
        if (key.name != difference.name) continue;
        if (key.themeScoped ? difference.theme == shownTheme : !difference.theme) return true;
    }
    return false;
}

// One window over a private settings directory whose document holds the look, with the
// application delegate saving every edit on the fake bus.
struct Window {
    Window(const Look& look, const Shown& shown)
        : directory(test::scratchDirectory("page-registry")), harness(directory, center, queue) {
        TaskbarSettings start;
        look.apply(start);
        EXPECT_TRUE(start.save(harness.environment).ok());
        harness.delegate->applicationDidFinishLaunching();
        queue.runReady();
        host.settings() = *harness.window->panel;
        host.feature = shown.page;
        host.page = shown.subpage;
        host.pageState().nativeDockSettingsTab = shown.dockTab;
        // A row that asks first (a confirmation) is changed as a confirmed change.
        host.scriptedDialogs().confirmUnscriptedAlerts = true;
        host.onChange = [this](const TaskbarSettings& edited) {
            harness.window->callbacks.onChange(edited);
        };
        center.clearPosted();
    }

    TaskbarSettings stored() const {
        TaskbarSettings settings;
        settings.load(harness.environment);
        return settings;
    }
    std::size_t settingsChangedPosts() const {
        std::size_t count = 0;
        for (const Notification& n : center.posted()) {
            if (n.name == TavrelDistributedNotification::settingsChanged) ++count;
        }
        return count;
    }

    platform::ManualMainQueue queue;
    platform::FakeNotificationCenter center{queue};
    std::filesystem::path directory;
    test::DelegateHarness harness;
    RecordingPageHost host;
};

TEST(PageRegistryTest, EveryBoundRowWritesExactlyItsKeyAndAnnouncesItOnce) {
    std::size_t checked = 0;
    for (const Look& look : looks()) {
        for (const Shown& shown : everythingShown()) {
            SCOPED_TRACE(std::string(look.name) + " — " + shown.name());
            const std::size_t rowCount = [&] {
                Window window(look, shown);
                return makeFeaturePageForm(shown.page, window.host)->rows().size();
            }();
            // Each row from a fresh window, so that no change depends on the one before.
            for (std::size_t i = 0; i < rowCount; ++i) {
                Window window(look, shown);
                const auto form = makeFeaturePageForm(shown.page, window.host);
                const FormRow& row = *form->rows().at(i);
                if (row.keys.empty()) continue;
                SCOPED_TRACE(row.title);
                const TaskbarTheme shownTheme = window.host.settings().theme;
                const TaskbarSettings before = window.stored();
                ASSERT_TRUE(changeOnce(row)) << "a bound row has a control to change";
                const auto written = settingsDifferences(before, window.stored());
                ASSERT_FALSE(written.empty()) << "nothing was saved";
                bool primaryWritten = false;
                for (const SettingsKeyDifference& difference : written) {
                    EXPECT_TRUE(isOwnKey(difference, row.keys, shownTheme))
                        << "also wrote " << difference.name;
                    primaryWritten =
                        primaryWritten || isOwnKey(difference, {row.keys.front()}, shownTheme);
                }
                EXPECT_TRUE(primaryWritten) << row.keys.front().name;
                EXPECT_EQ(window.settingsChangedPosts(), 1u);
                ++checked;
            }
        }
    }
    // The four looks over every page built so far.
    EXPECT_GT(checked, 150u);
    RecordProperty("rowsChecked", static_cast<int>(checked));
}

}  // namespace
}  // namespace tavrel
