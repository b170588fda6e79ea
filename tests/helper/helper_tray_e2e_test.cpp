// Copies of the real TavrelHelperLauncher bundle as tray icons on a private session bus and X
// server, driven the way the taskbar and a tray host drive them: notifications, the dbusmenu
// interface and signals.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include "core/notifications/notification_names.h"
#include "tests/helper/tray_test_support.h"
#include "tests/platform_qt/bus_flood.h"
#include "tests/platform_qt/bus_test_support.h"

namespace tavrel {
namespace {

using namespace std::chrono_literals;
using testing::MenuEntry;

const std::filesystem::path kBundle =
    std::filesystem::path(TAVREL_BINARY_DIR) / "bundles" / "TavrelHelperLauncher.app";

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A copy of the bundle with role keys added to its Info.plist, as the taskbar prepares one.
std::filesystem::path makeCopy(const std::string& name,
                               const std::map<std::string, std::string>& keys) {
    const auto copy = std::filesystem::path(std::getenv("HOME")) / "copies" / (name + ".app");
    std::filesystem::remove_all(copy);
    std::filesystem::create_directories(copy.parent_path());
    std::filesystem::copy(kBundle, copy, std::filesystem::copy_options::recursive);
    const auto plist = copy / "Contents" / "Info.plist";
    std::string text = readAll(plist);
    std::string entries;
    for (const auto& [key, value] : keys) {
        entries += "\t<key>" + key + "</key>\n\t<string>" + value + "</string>\n";
    }
    text.insert(text.rfind("</dict>"), entries);
    std::ofstream(plist, std::ios::binary | std::ios::trunc) << text;
    return copy;
}

const char* exitOf(const QProcess& process) {
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? "clean"
                                                                                   : "failed";
}

class HelperTrayE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testing::application();
        display = std::make_unique<testing::PrivateDisplay>();
        host = std::make_unique<testing::TrayHost>();
    }
    static void TearDownTestSuite() {
        host.reset();
        display.reset();
    }

    void SetUp() override {
        if (!display->name()) GTEST_SKIP() << "no Xvfb: Qt shows tray icons only on a display";
        ASSERT_TRUE(host->ok());
        center = testing::makeCenter();
        ASSERT_TRUE(center);
    }

    void TearDown() override {
        if (helper && helper->state() != QProcess::NotRunning) {
            helper->kill();
            helper->waitForFinished(5000);
        }
    }

    // Starts the copy and waits until its tray item has registered, which a copy does once it
    // is ready; gives the item's bus name.
    QString launch(const std::filesystem::path& copy, const QStringList& arguments = {}) {
        // What the test observes is in place before the copy can post.
        EXPECT_TRUE(center->synchronize().ok());
        const std::size_t before = host->watcher().senders().size();
        helper = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), *display->name());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        helper->setProcessEnvironment(environment);
        helper->setProcessChannelMode(QProcess::ForwardedChannels);
        helper->start(
            QString::fromStdString((copy / "Contents" / "MacOS" / "TavrelHelperLauncher").string()),
            arguments);
        if (!testing::runUntil([&] { return host->watcher().senders().size() > before; }, 30s)) {
            return {};
        }
        return host->watcher().senders().back();
    }

    bool waitForExit() {
        return testing::runUntil([&] { return helper->state() == QProcess::NotRunning; }, 30s);
    }

    void post(std::string_view name, NotificationUserInfo info = {},
              std::optional<std::string> object = std::nullopt) {
        ASSERT_TRUE(center->post({std::string(name), std::move(object), std::move(info)}).ok());
    }

    // Shows that everything the bus routed to this process before now has been handled: a
    // probe posted now arrives after it.
    void drainBus() {
        testing::Received probe;
        const auto id = center->observe("com.local.tavrel.test.probe", probe.handler());
        post("com.local.tavrel.test.probe");
        EXPECT_TRUE(probe.waitFor(1));
        center->removeObserver(id);
    }

    // Counts the tray item's NewIcon signals: each redraw of the tile sends one.
    std::unique_ptr<testing::SignalCounter> watchIcon(const QString& service) {
        auto counter = std::make_unique<testing::SignalCounter>();
        EXPECT_TRUE(QDBusConnection::sessionBus().connect(
            service, QStringLiteral("/StatusNotifierItem"),
            QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("NewIcon"), counter.get(),
            SLOT(onSignal())));
        // The subscription is in place before anything the test does next can make a redraw.
        EXPECT_TRUE(testing::syncSessionBus());
        return counter;
    }

    static inline std::unique_ptr<testing::PrivateDisplay> display;
    static inline std::unique_ptr<testing::TrayHost> host;
    std::unique_ptr<platform::SessionNotificationCenter> center;
    std::unique_ptr<QProcess> helper;
};

TEST_F(HelperTrayE2E, MemoryWidgetMenuOverDbusmenuAndTerminationByKind) {
    testing::Received shown;
    testing::Received removed;
    center->observe(std::string(kTavrelShowWidgetNotification), shown.handler());
    center->observe(std::string(kTavrelRemoveWidgetNotification), removed.handler());

    const QString service = launch(makeCopy("memory", {{"TavrelWidgetIdentifier", "memory"}}));
    ASSERT_FALSE(service.isEmpty());
    EXPECT_EQ(testing::itemToolTipTitle(service), QStringLiteral("内存组件"));

    // Started without the sync argument, the launch counts as a click. This platform cannot
    // tell when the mouse went up, so the report carries no click time.
    ASSERT_TRUE(shown.waitFor(1));
    const NotificationUserInfo& click = shown.notifications[0].userInfo;
    EXPECT_EQ(click.at("widget"), NotificationValue(std::string("memory")));
    EXPECT_TRUE(userInfoNumber(click, "mouseX"));
    EXPECT_TRUE(userInfoNumber(click, "mouseY"));
    EXPECT_FALSE(click.contains("clickUptime"));

    const auto layout = testing::menuLayout(service);
    ASSERT_TRUE(layout);
    ASSERT_EQ(layout->size(), 3u);
    EXPECT_EQ((*layout)[0].label, QStringLiteral("打开系统监控"));
    EXPECT_TRUE((*layout)[1].separator);
    EXPECT_EQ((*layout)[2].label, QStringLiteral("移除「内存组件」"));

    // The host asks for the menu: that alone dismisses the widget.
    ASSERT_TRUE(testing::menuAboutToShow(service));
    ASSERT_TRUE(removed.waitFor(1));
    EXPECT_EQ(removed.notifications[0].userInfo,
              (NotificationUserInfo{{"widget", std::string("memory")},
                                    {"action", std::string("dismiss")}}));
    ASSERT_TRUE(testing::menuClicked(service, (*layout)[2].id));
    ASSERT_TRUE(removed.waitFor(2));
    EXPECT_EQ(removed.notifications[1].userInfo,
              (NotificationUserInfo{{"widget", std::string("memory")},
                                    {"action", std::string("remove")}}));

    // A terminate for "time" leaves it running: the refresh posted after it is still drawn.
    const auto icons = watchIcon(service);
    post(kTavrelTerminateWidgetNotification, {{"widget", std::string("time")}});
    post(kTavrelRefreshWidgetIconNotification, {{"widget", std::string("memory")}});
    ASSERT_TRUE(testing::runUntil([&] { return icons->count >= 1; }, 30s));
    EXPECT_TRUE(testing::menuLayout(service));
    EXPECT_EQ(helper->state(), QProcess::Running);

    post(kTavrelTerminateWidgetNotification, {{"widget", std::string("memory")}});
    ASSERT_TRUE(waitForExit());
    EXPECT_STREQ(exitOf(*helper), "clean");
    EXPECT_EQ(shown.notifications.size(), 1u);
}

// Another program on the bus sends one very large signal, or a backlog of valid terminate
// notifications meant for other copies: the copy works them off and still ends on its own.
TEST_F(HelperTrayE2E, HearsItsTerminateAfterALargeSignalAndAfterABacklog) {
    const QString terminate = QString::fromUtf8(kTavrelTerminateWidgetNotification.data(),
                                                kTavrelTerminateWidgetNotification.size());
    const struct {
        const char* name;
        std::function<bool(pid_t)> flood;
    } cases[] = {
        {"one large signal",
         [&](pid_t) {
             return testing::sendLargeSignal([&](const QString& text) {
                 return testing::notificationSignal({terminate, text});
             });
         }},
        {"a backlog of valid notifications",
         [&](pid_t pid) {
             return testing::sendBacklogTo(pid, [&](const QString& text) {
                 return testing::notificationSignal(
                     {terminate, false, QString(),
                      QVariantMap{{QStringLiteral("widget"), QStringLiteral("time")},
                                  {QStringLiteral("blob"), text}}});
             });
         }},
    };
    for (const auto& c : cases) {
        const QString service = launch(makeCopy("memory", {{"TavrelWidgetIdentifier", "memory"}}));
        ASSERT_FALSE(service.isEmpty()) << c.name;
        ASSERT_TRUE(c.flood(static_cast<pid_t>(helper->processId()))) << c.name;
        EXPECT_EQ(helper->state(), QProcess::Running) << c.name;
        post(kTavrelTerminateWidgetNotification, {{"widget", std::string("memory")}});
        ASSERT_TRUE(waitForExit()) << c.name;
        EXPECT_STREQ(exitOf(*helper), "clean") << c.name;
    }
}

TEST_F(HelperTrayE2E, FolderCopyQuitFromOutsideReportsItsExit) {
    const std::string id = "8A1E52C4-7F0B-4C1D-9E2A-3B4C5D6E7F80";
    testing::Received folderMessages;
    for (auto name : {kTavrelDismissFolderNotification, kTavrelManageFolderNotification,
                      kTavrelFolderDidExitNotification}) {
        center->observe(std::string(name), folderMessages.handler());
    }
    const QString service = launch(makeCopy("folder", {{"TavrelFolderIdentifier", id}}));
    ASSERT_FALSE(service.isEmpty());
    EXPECT_EQ(testing::itemToolTipTitle(service), QStringLiteral("应用分组"));

    const auto layout = testing::menuLayout(service);
    ASSERT_TRUE(layout);
    ASSERT_EQ(layout->size(), 3u);
    EXPECT_EQ((*layout)[0].label, QStringLiteral("新建分组"));
    EXPECT_EQ((*layout)[1].label, QStringLiteral("重命名分组"));
    EXPECT_EQ((*layout)[2].label, QStringLiteral("删除分组"));
    ASSERT_TRUE(testing::menuAboutToShow(service));
    ASSERT_TRUE(testing::menuClicked(service, (*layout)[0].id));
    ASSERT_TRUE(folderMessages.waitFor(2));

    helper->terminate();  // SIGTERM, as a quit from outside
    ASSERT_TRUE(waitForExit());
    EXPECT_STREQ(exitOf(*helper), "clean");
    ASSERT_TRUE(folderMessages.waitFor(3));
    EXPECT_EQ(folderMessages.names(),
              (std::vector<std::string>{std::string(kTavrelDismissFolderNotification),
                                        std::string(kTavrelManageFolderNotification),
                                        std::string(kTavrelFolderDidExitNotification)}));
    EXPECT_EQ(folderMessages.notifications[0].userInfo, (NotificationUserInfo{{"folderID", id}}));
    EXPECT_EQ(folderMessages.notifications[1].userInfo,
              (NotificationUserInfo{{"action", std::string("create")}}));
    EXPECT_EQ(folderMessages.notifications[2].userInfo, (NotificationUserInfo{{"folderID", id}}));
}

TEST_F(HelperTrayE2E, FolderCopyEndedByTheTaskbarDoesNotReportItsExit) {
    const std::string id = "0F3C9A77-1B2D-4E5F-8A9B-C0D1E2F3A4B5";
    testing::Received exits;
    center->observe(std::string(kTavrelFolderDidExitNotification), exits.handler());
    const QString service = launch(makeCopy("ended", {{"TavrelFolderIdentifier", id}}));
    ASSERT_FALSE(service.isEmpty());
    ASSERT_TRUE(testing::menuLayout(service));  // start-up has finished

    // The terminate must match exactly; a refresh may differ in case.
    const auto icons = watchIcon(service);
    post(kTavrelTerminateFolderNotification, {}, "0f3c9a77-1b2d-4e5f-8a9b-c0d1e2f3a4b5");
    post(kTavrelRefreshFolderIconNotification,
         {{"folderID", std::string("0f3c9a77-1b2d-4e5f-8a9b-c0d1e2f3a4b5")}});
    ASSERT_TRUE(testing::runUntil([&] { return icons->count >= 1; }, 30s));
    EXPECT_EQ(helper->state(), QProcess::Running);

    post(kTavrelTerminateFolderNotification, {}, id);
    ASSERT_TRUE(waitForExit());
    EXPECT_STREQ(exitOf(*helper), "clean");
    drainBus();
    EXPECT_TRUE(exits.notifications.empty());
}

TEST_F(HelperTrayE2E, LauncherRedrawsWhenAnotherApplicationBecomesActive) {
    const QString service = launch(makeCopy("launcher", {}));
    ASSERT_FALSE(service.isEmpty());
    EXPECT_EQ(testing::itemToolTipTitle(service), QStringLiteral("应用启动台"));
    // A launcher has no Dock menu.
    EXPECT_EQ(testing::itemMenuPath(service), QStringLiteral("/NO_DBUSMENU"));

    // The window manager names windows of two other applications active in turn. The copy
    // watches from before its item registered, so this one burst is seen. (That a burst makes
    // one redraw is the debounce's business, shown with a queue the test moves.)
    const auto icons = watchIcon(service);
    ASSERT_TRUE(testing::activateWindows(*display->name(), {4002, 4001, 4002, 4001}));
    ASSERT_TRUE(testing::runUntil([&] { return icons->count >= 1; }, 30s));

    post(kTavrelTerminateHelperNotification);
    ASSERT_TRUE(waitForExit());
    EXPECT_STREQ(exitOf(*helper), "clean");
}

}  // namespace
}  // namespace tavrel
