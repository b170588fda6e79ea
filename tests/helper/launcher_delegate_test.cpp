// One helper copy over fakes: start-up, the handlers of each role, the Dock menus, the click
// report, the memory timer, quitting and the debounced launcher redraw.

#include "ui/helper/launcher_delegate.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/notifications/notification_names.h"
#include "platform/fake/fake_dock_tile.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_main_queue.h"
#include "tests/helper/gui_test_support.h"
#include "tests/helper/queue_clock.h"

namespace tavrel {
namespace {

using namespace std::chrono_literals;
using testing::pointColor;
using Info = NotificationUserInfo;

class LauncherDelegateTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::guiApplication();
        resources = testing::freshDirectory("bundle-resources");
        home = testing::freshDirectory("delegate-home");
        settingsPath = testing::freshDirectory("delegate-data") / "settings.json";
        testing::writePicture(resources / "FolderIcon.png", QColor(200, 40, 40));
        testing::writePicture(resources / "FolderIconOpen.png", QColor(40, 40, 200));
        testing::writePicture(resources / "StartMenuIcon.png", QColor(20, 160, 60));
    }

    void start(std::map<std::string, std::string> plist,
               std::vector<std::string> arguments = {"TavrelHelperLauncher"},
               platform::DockTile* shownOn = nullptr) {
        // One copy at a time: the previous one lets go of the tile and application first.
        delegate.reset();
        info = std::move(plist);
        application = std::make_unique<platform::FakeDockApplication>(std::move(arguments));
        application->setMouseLocation({300, 700});
        LauncherEnvironment environment{
            center,
            queue,
            clock,
            shownOn ? *shownOn : tile,
            *application,
            [this](std::string_view key) -> std::optional<std::string> {
                auto it = info.find(std::string(key));
                if (it == info.end()) return std::nullopt;
                return it->second;
            },
            "/opt/Copy.app",
            resources,
            settingsPath,
            [this] { return usage; },
            [this] { return today; },
            AvatarLocations{home / "no-accounts", "ana", home},
            [this] { ++observersAwaited; },
        };
        delegate = std::make_unique<LauncherDelegate>(std::move(environment));
        delegate->applicationDidFinishLaunching();
    }

    void writeSettings(const std::string& json) { std::ofstream(settingsPath) << json; }

    void receive(std::string_view name, Info userInfo = {},
                 std::optional<std::string> object = std::nullopt) {
        center.receive({std::string(name), std::move(object), std::move(userInfo)});
        queue.runReady();
    }

    std::vector<Notification> posted() const { return center.posted(); }

    QColor contentColor(double x = 64, double y = 64) const {
        return pointColor(tile.content(), x, y);
    }

    platform::ManualMainQueue queue;
    std::shared_ptr<testing::QueueClock> clock = std::make_shared<testing::QueueClock>(
        queue, 5000s, std::chrono::system_clock::time_point(1'700'000'000s + 500ms));
    platform::FakeNotificationCenter center{queue};
    platform::FakeDockTile tile;
    std::unique_ptr<platform::FakeDockApplication> application;
    std::map<std::string, std::string> info;
    std::filesystem::path resources;
    std::filesystem::path home;
    std::filesystem::path settingsPath;
    int observersAwaited = 0;
    double usage = 0.42;
    CalendarComponents today{1, 2025, 3, 9, 1};
    std::unique_ptr<LauncherDelegate> delegate;
};

const std::map<std::string, std::string> kMemory{{"TavrelWidgetIdentifier", "memory"}};
const std::map<std::string, std::string> kTime{{"TavrelWidgetIdentifier", "time"}};
const std::map<std::string, std::string> kFolder{{"TavrelFolderIdentifier", "5D0C-AA"}};
const std::map<std::string, std::string> kLauncher{};

TEST_F(LauncherDelegateTest, HiddenNativeDockQuitsEveryRoleDuringLaunchSilently) {
    for (const auto& plist : {kMemory, kFolder, kLauncher}) {
        writeSettings(R"({"hideNativeDock":true})");
        tile.clearRecords();
        center.clearPosted();
        start(plist);
        queue.runReady();
        EXPECT_EQ(application->terminateCount(), 1u);
        EXPECT_TRUE(delegate->isManagedFolderTermination());
        EXPECT_FALSE(delegate->didFinishLaunching());
        EXPECT_TRUE(tile.shown().empty());
        EXPECT_TRUE(posted().empty());
        EXPECT_EQ(center.observerCount(), 0u);
    }
}

// The tile, as a tray host or the taskbar meets it: whoever sees it appear may use the copy at
// once, before the copy's next turn.
class FirstSightTile final : public platform::DockTile {
public:
    FirstSightTile(platform::DockTile& inner, std::function<void()> onFirstSight)
        : inner_(inner), onFirstSight_(std::move(onFirstSight)) {}

    void setContent(const platform::DockTileImage& image,
                    std::optional<platform::DockTileTransition> transition) override {
        if (auto seen = std::exchange(onFirstSight_, {})) seen();
        inner_.setContent(image, transition);
    }
    void setApplicationIcon(const platform::DockTileImage& image) override {
        inner_.setApplicationIcon(image);
    }
    void setMenu(std::vector<platform::DockMenuItem> items) override {
        inner_.setMenu(std::move(items));
    }
    void setMenuRequestedHandler(std::function<void()> handler) override {
        inner_.setMenuRequestedHandler(std::move(handler));
    }
    void setActivatedHandler(std::function<void()> handler) override {
        inner_.setActivatedHandler(std::move(handler));
    }

private:
    platform::DockTile& inner_;
    std::function<void()> onFirstSight_;
};

TEST_F(LauncherDelegateTest, EverythingIsInPlaceWhenTheTileAppears) {
    struct Case {
        const char* label;
        std::map<std::string, std::string> plist;
        std::size_t menuEntries;
    };
    for (const Case& c :
         {Case{"launcher", kLauncher, 0}, Case{"folder", kFolder, 3}, Case{"memory", kMemory, 3}}) {
        SCOPED_TRACE(c.label);
        tile.clearRecords();
        observersAwaited = 0;
        std::size_t observers = 0;
        std::size_t menuEntries = 0;
        int awaited = 0;
        FirstSightTile seen(tile, [&] {
            observers = center.observerCount();
            menuEntries = tile.menuTitles().size();
            awaited = observersAwaited;
            // Another application becomes active the moment the tile shows.
            application->activateOtherApplication();
        });
        start(c.plist, {"TavrelHelperLauncher", "--tavrel-widget-sync"}, &seen);
        EXPECT_EQ(observers, 2u);
        EXPECT_EQ(menuEntries, c.menuEntries);
        EXPECT_EQ(awaited, 1);
        queue.advanceBy(LauncherDelegate::kDockIconRefreshDelay);
        // Only the launcher redraws for it, and it does.
        EXPECT_EQ(tile.shown().size(), c.plist == kLauncher ? 2u : 1u);
        delegate.reset();  // it lets go of `seen` before that goes
    }
}

TEST_F(LauncherDelegateTest, UnreadableOrVoidSettingsDoNotStopTheLaunch) {
    const std::vector<std::string> documents{
        "", "not json", R"({"hideNativeDock":false})",
        // One colour lacking "alpha" voids the whole document, hideNativeDock included.
        R"({"hideNativeDock":true,"nativeDockLauncherAvatarBorderColor":{"red":1,"green":1,"blue":1}})"};
    for (const std::string& document : documents) {
        SCOPED_TRACE(document);
        writeSettings(document);
        start(kFolder);
        EXPECT_EQ(application->terminateCount(), 0u);
        EXPECT_TRUE(delegate->didFinishLaunching());
    }
}

TEST_F(LauncherDelegateTest, WidgetLaunchReportsOneClickUnlessSynced) {
    start(kMemory);
    EXPECT_TRUE(posted().empty());  // the report waits for the next turn
    queue.runReady();
    ASSERT_EQ(posted().size(), 1u);
    EXPECT_EQ(
        posted()[0],
        (Notification{std::string(kTavrelShowWidgetNotification),
                      std::nullopt,
                      {{"widget", std::string("memory")}, {"mouseX", 300.0}, {"mouseY", 700.0}}}));

    // A platform that knows the last mouse-up adds its uptime.
    center.clearPosted();
    application->setSecondsSinceLastMouseUp(0.25);
    delegate->postWidgetClickNotification(TavrelWidgetKind::time);
    EXPECT_TRUE(posted().empty());  // too soon after the first report
    queue.advanceBy(1s);
    delegate->postWidgetClickNotification(TavrelWidgetKind::time);
    ASSERT_EQ(posted().size(), 1u);
    const double expected = std::chrono::duration<double>(clock->uptime()).count() - 0.25;
    EXPECT_EQ(posted()[0].userInfo.at("clickUptime"), NotificationValue(expected));

    center.clearPosted();
    start(kTime, {"TavrelHelperLauncher", "--tavrel-widget-sync"});
    queue.runReady();
    EXPECT_TRUE(posted().empty());
}

TEST_F(LauncherDelegateTest, WidgetHandlersTerminateAndRedrawByKind) {
    start(kMemory, {"TavrelHelperLauncher", "--tavrel-widget-sync"});
    ASSERT_EQ(tile.shown().size(), 1u);
    EXPECT_EQ(tile.applicationIcons().size(), 1u);
    EXPECT_EQ(delegate->displayedWidgetSignature(), "42");
    EXPECT_EQ(tile.content().pixelWidth(), 1024);
    EXPECT_EQ(tile.content().pointWidth(), 512);

    receive(kTavrelTerminateWidgetNotification, {{"widget", std::string("time")}});
    receive(kTavrelTerminateWidgetNotification, {});
    receive(kTavrelTerminateWidgetNotification, {{"widget", std::string("Memory")}});
    EXPECT_EQ(application->terminateCount(), 0u);

    // Forced: redrawn although the percentage is the same; a foreign kind is ignored.
    receive(kTavrelRefreshWidgetIconNotification, {{"widget", std::string("memory")}});
    receive(kTavrelRefreshWidgetIconNotification, {});
    receive(kTavrelRefreshWidgetIconNotification, {{"widget", std::string("time")}});
    EXPECT_EQ(tile.shown().size(), 3u);
    // Notifications of other roles find no observer here.
    receive(kTavrelTerminateFolderNotification, {}, "5D0C-AA");
    receive(kTavrelTerminateHelperNotification);
    EXPECT_EQ(application->terminateCount(), 0u);

    receive(kTavrelTerminateWidgetNotification, {{"widget", std::string("memory")}});
    EXPECT_EQ(application->terminateCount(), 1u);
    EXPECT_TRUE(posted().empty());
}

TEST_F(LauncherDelegateTest, MemoryTicksRedrawOnlyWhenThePercentageChanges) {
    // Started 0.5 s past an 8-second boundary: ticks at 7.5 s, 15.5 s, 23.5 s …
    start(kMemory, {"TavrelHelperLauncher", "--tavrel-widget-sync"});
    ASSERT_EQ(tile.shown().size(), 1u);
    queue.advanceBy(7400ms);
    usage = 0.4249;  // still 42 %
    queue.advanceBy(200ms);
    EXPECT_EQ(tile.shown().size(), 1u);
    usage = 0.81;
    queue.advanceBy(8s);
    ASSERT_EQ(tile.shown().size(), 2u);
    EXPECT_EQ(delegate->displayedWidgetSignature(), "81");
    // The level of the new picture is red.
    const MemoryGaugeLayout layout = memoryGaugeLayout(widgetCard(widgetContentSquare(512), 1), 81);
    EXPECT_TRUE(
        testing::near(pointColor(tile.content(), layout.level.centerX(), layout.level.bottom() - 3),
                      QColor::fromRgbF(1.0f, 0.36f, 0.32f)));
    queue.advanceBy(80s);
    EXPECT_EQ(tile.shown().size(), 2u);

    // A time widget has no timer.
    tile.clearRecords();
    start(kTime, {"TavrelHelperLauncher", "--tavrel-widget-sync"});
    today = {1, 2025, 3, 10, 2};
    queue.advanceBy(100s);
    EXPECT_EQ(tile.shown().size(), 1u);
    receive(kTavrelRefreshWidgetIconNotification, {{"widget", std::string("time")}});
    EXPECT_EQ(tile.shown().size(), 2u);
    EXPECT_EQ(delegate->displayedWidgetSignature(), "1-2025-3-10-2");
}

TEST_F(LauncherDelegateTest, WidgetMenuRequestDismissesAndItsItemsPost) {
    start(kMemory, {"TavrelHelperLauncher", "--tavrel-widget-sync"});
    const Notification dismiss{
        std::string(kTavrelRemoveWidgetNotification),
        std::nullopt,
        {{"widget", std::string("memory")}, {"action", std::string("dismiss")}}};
    EXPECT_EQ(tile.requestMenu(),
              (std::vector<std::string>{"打开系统监控", "-", "移除「内存组件」"}));
    ASSERT_EQ(posted(), std::vector<Notification>{dismiss});

    ASSERT_TRUE(tile.choose("移除「内存组件」"));
    ASSERT_TRUE(tile.choose("打开系统监控"));
    EXPECT_EQ(posted(),
              (std::vector<Notification>{
                  dismiss,
                  {std::string(kTavrelRemoveWidgetNotification),
                   std::nullopt,
                   {{"widget", std::string("memory")}, {"action", std::string("remove")}}},
                  {std::string(kTavrelShowWidgetNotification),
                   std::nullopt,
                   {{"widget", std::string("memory")}, {"mouseX", 300.0}, {"mouseY", 700.0}}}}));
}

TEST_F(LauncherDelegateTest, OnlyARunningWidgetGivesFocusBack) {
    start(kTime, {"TavrelHelperLauncher", "--tavrel-widget-sync"});
    tile.click();
    EXPECT_EQ(application->deactivateCount(), 0u);  // on the next turn
    queue.runReady();
    EXPECT_EQ(application->deactivateCount(), 1u);

    for (const auto& plist : {kFolder, kLauncher}) {
        start(plist);
        tile.click();
        queue.runReady();
        EXPECT_EQ(application->deactivateCount(), 0u);
        EXPECT_TRUE(posted().empty());
    }
}

TEST_F(LauncherDelegateTest, FolderHandlersAndMenu) {
    start(kFolder);
    ASSERT_EQ(tile.shown().size(), 1u);
    EXPECT_EQ(contentColor(1, 1), QColor(200, 40, 40));

    // Refresh: identifier in any letter case, payload read as numbers.
    receive(kTavrelRefreshFolderIconNotification,
            {{"folderID", std::string("5d0c-aa")}, {"isOpen", true}, {"reloadAssets", false}});
    ASSERT_EQ(tile.shown().size(), 2u);
    EXPECT_EQ(contentColor(1, 1), QColor(40, 40, 200));
    receive(kTavrelRefreshFolderIconNotification, {{"isOpen", false}});
    receive(kTavrelRefreshFolderIconNotification,
            {{"folderID", std::string("5D0C-AB")}, {"isOpen", false}});
    EXPECT_EQ(tile.shown().size(), 2u);
    // Without "isOpen" and "reloadAssets": closed, reloaded.
    receive(kTavrelRefreshFolderIconNotification, {{"folderID", std::string("5D0C-AA")}});
    ASSERT_EQ(tile.shown().size(), 3u);
    EXPECT_EQ(contentColor(1, 1), QColor(200, 40, 40));

    EXPECT_EQ(tile.requestMenu(), (std::vector<std::string>{"新建分组", "重命名分组", "删除分组"}));
    ASSERT_TRUE(tile.choose("新建分组"));
    ASSERT_TRUE(tile.choose("删除分组"));
    EXPECT_EQ(posted(), (std::vector<Notification>{{std::string(kTavrelDismissFolderNotification),
                                                    std::nullopt,
                                                    {{"folderID", std::string("5D0C-AA")}}},
                                                   {std::string(kTavrelManageFolderNotification),
                                                    std::nullopt,
                                                    {{"action", std::string("create")}}},
                                                   {std::string(kTavrelManageFolderNotification),
                                                    std::nullopt,
                                                    {{"action", std::string("delete")},
                                                     {"folderID", std::string("5D0C-AA")}}}}));
}

TEST_F(LauncherDelegateTest, FolderQuitReportsItsExitUnlessTheTaskbarEndedIt) {
    // Ended by the taskbar: exact identifier only, and no exit report.
    start(kFolder);
    receive(kTavrelTerminateFolderNotification, {}, "5d0c-aa");
    receive(kTavrelTerminateFolderNotification, {});
    EXPECT_EQ(application->terminateCount(), 0u);
    receive(kTavrelTerminateFolderNotification, {}, "5D0C-AA");
    EXPECT_EQ(application->terminateCount(), 1u);
    EXPECT_TRUE(posted().empty());

    // Quit from outside while open: the tile goes back to closed, then the exit is reported.
    start(kFolder);
    receive(kTavrelRefreshFolderIconNotification,
            {{"folderID", std::string("5D0C-AA")}, {"isOpen", true}});
    EXPECT_EQ(contentColor(1, 1), QColor(40, 40, 200));
    application->terminate();
    EXPECT_EQ(contentColor(1, 1), QColor(200, 40, 40));
    EXPECT_EQ(posted(), (std::vector<Notification>{{std::string(kTavrelFolderDidExitNotification),
                                                    std::nullopt,
                                                    {{"folderID", std::string("5D0C-AA")}}}}));
}

TEST_F(LauncherDelegateTest, LauncherTileFollowsTheSettingsAndActivationsAreDebounced) {
    start(kLauncher);
    ASSERT_EQ(tile.shown().size(), 1u);
    EXPECT_EQ(contentColor(1, 1), QColor(20, 160, 60));  // the launcher icon
    EXPECT_TRUE(tile.requestMenu().empty());
    EXPECT_TRUE(posted().empty());
    ASSERT_EQ(application->bundleIcons().size(), 1u);
    EXPECT_EQ(application->bundleIcons()[0].first, "/opt/Copy.app");

    // The user picture with the ring from the settings.
    testing::writePicture(home / ".face", QColor(40, 90, 200));
    writeSettings(
        R"({"nativeDockLauncherUseUserAvatar":true,"nativeDockLauncherAvatarBorderWidth":20,
                      "nativeDockLauncherAvatarBorderColor":{"red":1,"green":0,"blue":0,"alpha":1}})");
    receive(kTavrelRefreshHelperIconNotification);
    ASSERT_EQ(tile.shown().size(), 2u);
    EXPECT_EQ(contentColor(1, 1).alpha(), 0);
    EXPECT_EQ(contentColor(64, 64), QColor(40, 90, 200));
    EXPECT_TRUE(testing::near(contentColor(64 + 53, 64), QColor(255, 0, 0), 30));

    // Five activations 0.1 s apart: one redraw, 0.2 s after the last.
    for (int i = 0; i < 5; ++i) {
        application->activateOtherApplication();
        queue.advanceBy(100ms);
    }
    EXPECT_EQ(tile.shown().size(), 2u);
    queue.advanceBy(99ms);
    EXPECT_EQ(tile.shown().size(), 2u);
    queue.advanceBy(1ms);
    EXPECT_EQ(tile.shown().size(), 3u);
    queue.advanceBy(10s);
    EXPECT_EQ(tile.shown().size(), 3u);

    receive(kTavrelTerminateHelperNotification);
    EXPECT_EQ(application->terminateCount(), 1u);
    EXPECT_TRUE(posted().empty());
}

TEST_F(LauncherDelegateTest, RoleKeysAreReadAgainOnEveryUse) {
    start(kFolder);
    // The copy is re-prepared as another folder while running: its menu and handlers follow.
    info["TavrelFolderIdentifier"] = "OTHER";
    tile.requestMenu();
    receive(kTavrelTerminateFolderNotification, {}, "5D0C-AA");
    EXPECT_EQ(application->terminateCount(), 0u);
    receive(kTavrelTerminateFolderNotification, {}, "OTHER");
    EXPECT_EQ(application->terminateCount(), 1u);
    EXPECT_EQ(posted().at(0).userInfo.at("folderID"), NotificationValue(std::string("OTHER")));
}

}  // namespace
}  // namespace tavrel
