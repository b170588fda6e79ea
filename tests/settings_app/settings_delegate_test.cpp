// The application delegate's rules on the fake notification centre: the signature checks of
// saveAndNotifyIfChanged, reopen, close, external changes.

#include <algorithm>

#include <gtest/gtest.h>

#include "core/notifications/notification_names.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_main_queue.h"
#include "tests/settings_app/settings_delegate_fixture.h"

namespace tavrel {
namespace {

using test::DelegateHarness;

Notification settingsChangedPost() {
    return Notification{std::string(TavrelDistributedNotification::settingsChanged),
                        std::nullopt,
                        {{"reason", std::string("settings-helper-change")}}};
}

Notification willClosePost() {
    return Notification{std::string(TavrelDistributedNotification::settingsWillClose),
                        std::nullopt,
                        {{"reason", std::string("settings-window-will-close")}}};
}

class SettingsDelegateTest : public ::testing::Test {
protected:
    void launch(std::vector<std::string> arguments = {}) {
        harness = std::make_unique<DelegateHarness>(directory, center, queue, std::move(arguments));
        harness->delegate->applicationDidFinishLaunching();
        queue.runReady();
        center.clearPosted();
        harness->window->calls.clear();
    }

    std::filesystem::path directory = test::scratchDirectory("settings-app");
    platform::ManualMainQueue queue;
    platform::FakeNotificationCenter center{queue};
    std::unique_ptr<DelegateHarness> harness;
};

TEST_F(SettingsDelegateTest, FirstLaunchWritesTheDocumentAndShowsTheWindowOnTheTaskbarPage) {
    launch();
    ASSERT_TRUE(test::fileBytes(harness->settingsFile()));
    EXPECT_EQ(harness->delegate->lastSavedSettingsSignature(),
              test::fileBytes(harness->settingsFile()));
    EXPECT_EQ(harness->window->created, 1);
    EXPECT_FALSE(harness->window->selection);
    EXPECT_EQ(*harness->window->panel, harness->delegate->settings());
}

TEST_F(SettingsDelegateTest, EditThatChangesNothingWritesAndPostsNothing) {
    launch();
    const ino_t before = test::inodeOf(harness->settingsFile());
    harness->edit([](TaskbarSettings&) {});
    // A value the document does not record differently: the same stored values.
    harness->edit([](TaskbarSettings& s) { s.setOpacity(s.opacity()); });
    queue.runReady();
    EXPECT_EQ(test::inodeOf(harness->settingsFile()), before);
    EXPECT_TRUE(center.posted().empty());
}

TEST_F(SettingsDelegateTest, EditIsSavedCopiedBackAndAnnouncedOnce) {
    launch();
    harness->edit([](TaskbarSettings& s) { s.taskbarEnabled = !s.taskbarEnabled; });
    EXPECT_EQ(center.posted(), std::vector<Notification>{settingsChangedPost()});
    EXPECT_EQ(harness->delegate->settings(), *harness->window->panel);

    TaskbarSettings onDisk;
    onDisk.load(harness->environment);
    EXPECT_EQ(onDisk.taskbarEnabled, harness->window->panel->taskbarEnabled);
    EXPECT_EQ(harness->delegate->lastSavedSettingsSignature(),
              test::fileBytes(harness->settingsFile()));

    // The same values again: nothing more.
    harness->edit([](TaskbarSettings&) {});
    EXPECT_EQ(center.posted().size(), 1u);
}

TEST_F(SettingsDelegateTest, ExternalRewriteDropsTheEditAndResynchronisesTheWindow) {
    launch();
    // The taskbar application rewrites the file with another theme.
    TaskbarSettings external;
    external.load(harness->environment);
    external.theme = TaskbarTheme::windows;
    external.windowsProfile.taskbarHeight = 77;
    ASSERT_TRUE(external.save(harness->environment).ok());
    const auto externalBytes = test::fileBytes(harness->settingsFile());

    harness->edit([](TaskbarSettings& s) { s.launchAtLogin = !s.launchAtLogin; });

    EXPECT_TRUE(center.posted().empty());
    EXPECT_EQ(test::fileBytes(harness->settingsFile()), externalBytes);
    EXPECT_EQ(harness->delegate->lastSavedSettingsSignature(), externalBytes);
    EXPECT_EQ(harness->delegate->settings().windowsProfile.taskbarHeight, 77);
    ASSERT_TRUE(harness->window->synchronizedFrom);
    EXPECT_EQ(harness->window->synchronizedFrom->windowsProfile.taskbarHeight, 77);
    // The window shows the file again, the dropped edit included.
    EXPECT_TRUE(harness->window->panel->hasSameStoredValues(harness->delegate->settings()));

    // The next edit is saved normally.
    harness->edit([](TaskbarSettings& s) { s.launchAtLogin = !s.launchAtLogin; });
    EXPECT_EQ(center.posted(), std::vector<Notification>{settingsChangedPost()});
}

TEST_F(SettingsDelegateTest, MainAppChangeReloadsAndResynchronises) {
    launch();
    TaskbarSettings external;
    external.load(harness->environment);
    external.appearanceMode = TavrelAppearanceMode::dark;
    ASSERT_TRUE(external.save(harness->environment).ok());
    harness->appearances.clear();

    center.receive(Notification{
        std::string(TavrelDistributedNotification::mainAppSettingsChanged), std::nullopt, {}});
    queue.runReady();
    EXPECT_EQ(harness->delegate->settings().appearanceMode, TavrelAppearanceMode::dark);
    EXPECT_EQ(harness->appearances, std::vector<TavrelAppearanceMode>{TavrelAppearanceMode::dark});
    EXPECT_EQ(harness->window->calls, std::vector<std::string>{"synchronizeExternalSettings"});
    EXPECT_TRUE(center.posted().empty());
}

TEST_F(SettingsDelegateTest, FileRemovedMeanwhileIsNotAnExternalChangeAndTheSaveAnnounces) {
    launch();
    std::filesystem::remove(harness->settingsFile());
    harness->edit([](TaskbarSettings& s) { s.showMenuBarIcon = !s.showMenuBarIcon; });
    EXPECT_TRUE(test::fileBytes(harness->settingsFile()));
    EXPECT_EQ(center.posted(), std::vector<Notification>{settingsChangedPost()});
}

TEST_F(SettingsDelegateTest, CloseAnnouncesOnceIgnoresLaterEditsAndQuitsOnTheNextTurn) {
    launch();
    TaskbarSettings* panel = harness->window->panel;
    const auto callbacks = harness->window->callbacks;
    const auto bytes = test::fileBytes(harness->settingsFile());

    center.receive(Notification{std::string(TavrelDistributedNotification::settingsClose),
                                std::nullopt,
                                {{"anything", std::string("ignored")}}});
    std::size_t ran = queue.runReady();
    EXPECT_GT(ran, 0u);
    EXPECT_EQ(center.posted(), std::vector<Notification>{willClosePost()});
    EXPECT_TRUE(harness->delegate->isClosingWindow());
    EXPECT_EQ(harness->delegate->controller(), nullptr);
    EXPECT_EQ(harness->window->prepareForCloseCount, 1);
    EXPECT_EQ(harness->terminations, 1);
    EXPECT_FALSE(harness->window->alive);  // released on the next turn

    // An edit still in flight from the closed window is not saved.
    (void)panel;
    TaskbarSettings late = harness->delegate->settings();
    late.taskbarEnabled = !late.taskbarEnabled;
    callbacks.onChange(late);
    harness->delegate->windowWillClose();
    queue.runReady();
    EXPECT_EQ(test::fileBytes(harness->settingsFile()), bytes);
    EXPECT_EQ(center.posted().size(), 1u);
    EXPECT_EQ(harness->terminations, 1);
}

struct ReopenCase {
    const char* name;
    std::vector<std::string> arguments;
    NotificationUserInfo userInfo;
    std::optional<FeaturePage> selected;
};

void PrintTo(const ReopenCase& c, std::ostream* out) {
    *out << c.name;
}

class ReopenTest : public SettingsDelegateTest, public ::testing::WithParamInterface<ReopenCase> {};

TEST_P(ReopenTest, ReopenRaisesTheWindowAndSelectsThePage) {
    const ReopenCase& c = GetParam();
    launch(c.arguments);
    harness->window->selection.reset();
    center.receive(Notification{std::string(TavrelDistributedNotification::settingsReopen),
                                std::nullopt, c.userInfo});
    queue.runReady();
    EXPECT_EQ(harness->window->created, 1);  // raised, not recreated
    std::optional<FeaturePage> selected;
    if (harness->window->selection) selected = harness->window->selection->feature;
    EXPECT_EQ(selected, c.selected);
    const auto& calls = harness->window->calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "bringToFront"), calls.end());
    if (c.selected) {
        // Selecting rebuilds and puts the sidebar at its top.
        EXPECT_NE(std::find(calls.begin(), calls.end(), "rebuild"), calls.end());
        EXPECT_NE(std::find(calls.begin(), calls.end(), "scrollSidebarToTop"), calls.end());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReopenTest,
    ::testing::Values(
        ReopenCase{"Switcher", {}, {{"page", std::string("switcher")}}, FeaturePage::switcher},
        ReopenCase{"StartMenu", {}, {{"page", std::string("startMenu")}}, FeaturePage::startMenu},
        ReopenCase{"NoPage", {}, {}, std::nullopt},
        ReopenCase{"UnknownPage", {}, {{"page", std::string("general")}}, std::nullopt},
        ReopenCase{"PageNotAString", {}, {{"page", true}}, std::nullopt},
        ReopenCase{"NoPageReselectsTheLaunchPage", {"--start-menu"}, {}, FeaturePage::startMenu},
        ReopenCase{"NotificationWinsOverLaunchPage",
                   {"--start-menu"},
                   {{"page", std::string("switcher")}},
                   FeaturePage::switcher}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(SettingsDelegateTest, LaunchSwitchSelectsItsPageOnFirstShowing) {
    harness = std::make_unique<DelegateHarness>(
        directory, center, queue, std::vector<std::string>{"--switcher", "--start-menu"});
    harness->delegate->applicationDidFinishLaunching();
    ASSERT_TRUE(harness->window->selection);
    EXPECT_EQ(harness->window->selection->feature, FeaturePage::startMenu);
    EXPECT_EQ(harness->window->selection->top, TopPage::taskbar);
}

TEST_F(SettingsDelegateTest, NativeDockFolderChangeRefreshesTheWindow) {
    launch();
    center.receive(
        Notification{std::string(nativeDockFoldersChangedNotification), std::nullopt, {}});
    queue.runReady();
    EXPECT_EQ(harness->window->calls, std::vector<std::string>{"refreshNativeDockFolderState"});
}

// Another program may post a burst faster than the window can rebuild: the burst costs one
// rebuild, made from the file as it is when the turn comes, and the latest page wins.
TEST_F(SettingsDelegateTest, BurstsOfRequestsAreDoneOncePerTurnWithTheLatestState) {
    launch();
    const auto count = [&](const std::string& call) {
        const auto& calls = harness->window->calls;
        return std::count(calls.begin(), calls.end(), call);
    };
    const Notification changed{
        std::string(TavrelDistributedNotification::mainAppSettingsChanged), std::nullopt, {}};
    const Notification folders{std::string(nativeDockFoldersChangedNotification), std::nullopt, {}};
    const auto reopen = [](const char* page) {
        NotificationUserInfo info;
        if (page) info.emplace("page", std::string(page));
        return Notification{std::string(TavrelDistributedNotification::settingsReopen),
                            std::nullopt, info};
    };

    // Folder changes alone: one refresh.
    for (int i = 0; i < 1000; ++i) center.receive(folders);
    queue.runReady();
    EXPECT_EQ(harness->window->calls, std::vector<std::string>{"refreshNativeDockFolderState"});

    // Settings changes, with the file rewritten while they are on their way: one reload, of the
    // last version; folder changes in the same turn ride on its rebuild.
    harness->window->calls.clear();
    TaskbarSettings external;
    external.load(harness->environment);
    for (int i = 0; i < 1000; ++i) {
        center.receive(changed);
        center.receive(folders);
    }
    external.windowsProfile.taskbarHeight = 61;
    ASSERT_TRUE(external.save(harness->environment).ok());
    queue.runReady();
    EXPECT_EQ(count("synchronizeExternalSettings"), 1);
    EXPECT_EQ(count("refreshNativeDockFolderState"), 0);
    EXPECT_EQ(harness->delegate->settings().windowsProfile.taskbarHeight, 61);

    // Reopen requests: one showing, on the page of the last request; a last request without a
    // page leaves the page alone.
    const struct {
        const char* name;
        std::vector<const char*> pages;
        std::optional<FeaturePage> selected;
    } cases[] = {
        {"last names the switcher", {"startMenu", "switcher"}, FeaturePage::switcher},
        {"last names the start menu", {"switcher", "startMenu"}, FeaturePage::startMenu},
        {"last names no page", {"switcher", nullptr}, std::nullopt},
    };
    for (const auto& c : cases) {
        harness->window->calls.clear();
        harness->window->selection.reset();
        for (int i = 0; i < 500; ++i) {
            for (const char* page : c.pages) center.receive(reopen(page));
        }
        queue.runReady();
        std::optional<FeaturePage> selected;
        if (harness->window->selection) selected = harness->window->selection->feature;
        EXPECT_EQ(selected, c.selected) << c.name;
        EXPECT_EQ(count("select"), c.selected ? 1 : 0) << c.name;
        EXPECT_EQ(harness->window->created, 1) << c.name;
    }
}

// A close in the same turn as a reopen ends the application; the reopen does not bring back a
// window that is going away.
TEST_F(SettingsDelegateTest, CloseAfterReopenInOneTurnEndsWithoutANewWindow) {
    launch();
    center.receive(Notification{std::string(TavrelDistributedNotification::settingsReopen),
                                std::nullopt,
                                {{"page", std::string("switcher")}}});
    center.receive(
        Notification{std::string(TavrelDistributedNotification::settingsClose), std::nullopt, {}});
    queue.runReady();
    EXPECT_EQ(harness->window->created, 1);
    EXPECT_EQ(harness->terminations, 1);
    EXPECT_EQ(center.posted(), std::vector<Notification>{willClosePost()});
}

TEST_F(SettingsDelegateTest, TaskbarCommandsArePostedAsSettingsCommands) {
    launch();
    harness->window->callbacks.onCloseTaskbar();
    harness->window->callbacks.onRestartTaskbar();
    const auto posted = center.posted();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].name, TavrelDistributedNotification::settingsCommand);
    EXPECT_EQ(*userInfoString(posted[0].userInfo, "command"), "closeTaskbar");
    EXPECT_EQ(*userInfoString(posted[1].userInfo, "command"), "restartTaskbar");
}

}  // namespace
}  // namespace tavrel
