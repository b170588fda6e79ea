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
const std::vector<Look>& looks() {
    return rowRevealingLooks();
}

// A page as the window shows it: a feature page, and the sub-page or tab within it.
struct Shown {
    FeaturePage page;
    Page subpage = Page::taskbar;
    int dockTab = 0;
    std::string name() const {
        return std::string(featurePageInfo(page).title) + " / " +
               std::to_string(static_cast<int>(subpage)) + " / " + std::to_string(dockTab);
    }
};

std::vector<Shown> everythingShown() {
    std::vector<Shown> all;
    for (const FeaturePageEntry& entry : featurePageRegistry()) {
        if (entry.page == FeaturePage::taskbar) {
            for (int i = 0; i < static_cast<int>(subpageLabels().size()); ++i) {
                all.push_back({entry.page, pageForSubpageIndex(i)});
            }
        } else if (entry.page == FeaturePage::nativeDock) {
            for (int tab = 0; tab < 4; ++tab) all.push_back({entry.page, Page::taskbar, tab});
        } else {
            all.push_back({entry.page});
        }
    }
    return all;
}

// A compound row changes through its first pop-up (another item), else its first switch.
bool changeOnce(const CompoundControl& compound) {
    for (const CompoundPart& part : compound.parts) {
        if (const auto* popUp = std::get_if<CompoundPopUp>(&part)) {
            if (popUp->items.size() < 2) return false;
            const int shown = popUp->selectedTag();
            popUp->action(popUp->items[0].tag == shown ? popUp->items[1].tag : popUp->items[0].tag);
            return true;
        }
    }
    for (const CompoundPart& part : compound.parts) {
        if (const auto* toggle = std::get_if<CompoundSwitch>(&part)) {
            toggle->action(!toggle->isOn);
            return true;
        }
    }
    return false;
}

// A change the row's control can make from what it shows.
bool changeOnce(const FormRow& row) {
    if (const auto* toggle = std::get_if<SwitchControl>(&row.control)) {
        toggle->action(!toggle->isOn);
    } else if (const auto* slider = std::get_if<SliderControl>(&row.control)) {
        const double shown = normalizeSliderValue(slider->value, slider->range);
        const double top = normalizeSliderValue(slider->range.max, slider->range);
        slider->action(shown == top ? normalizeSliderValue(slider->range.min, slider->range) : top);
    } else if (const auto* segment = std::get_if<SegmentControl>(&row.control)) {
        const int count = static_cast<int>(segment->labels.size());
        segment->action((std::max(segment->selected, 0) + 1) % count);
    } else if (const auto* colour = std::get_if<ColorControl>(&row.control)) {
        colour->action(colour->color == FormColor{0.1, 0.2, 0.3, 0.4}
                           ? FormColor{0.9, 0.8, 0.7, 0.6}
                           : FormColor{0.1, 0.2, 0.3, 0.4});
    } else if (const auto* button = std::get_if<ButtonControl>(&row.control)) {
        button->action();
    } else if (const auto* compound = std::get_if<CompoundControl>(&row.control)) {
        return changeOnce(*compound);
    } else {
        return false;
    }
    return true;
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
