// tavrel-settings on a session bus: a set that changes the document announces it once, with
// the application's reason; a set that changes nothing announces nothing.

#include <functional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include "core/notifications/notification_names.h"
#include "platform/notifications.h"
#include "settings_test_support.h"

namespace tavrel {
namespace {

// Runs the event loop until `done` or a generous bound; the caller checks `done` itself.
void spinUntil(const std::function<bool()>& done) {
    QDeadlineTimer deadline(30000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

int runTool(const std::filesystem::path& home, const QStringList& arguments) {
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", QString::fromStdString((home / "data").string()));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString((home / "config").string()));
    tool.setProcessEnvironment(environment);
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(TAVREL_BINARY_DIR "/bin/tavrel-settings", arguments);
    if (!tool.waitForFinished(60000)) return -1;
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

TEST(SettingsToolOnTheBus, AnnouncesChangedDocumentsOnce) {
    int argc = 1;
    char name[] = "settings_tool_bus_test";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    const test::ScratchDirectory scratch;

    auto made = platform::makeSessionNotificationCenter();
    ASSERT_TRUE(made.ok()) << made.error().message;
    auto& center = **made;
    std::vector<Notification> changes;
    center.observe(std::string(TavrelDistributedNotification::settingsChanged),
                   [&](const Notification& notification) { changes.push_back(notification); });
    const std::string markerName = "com.local.tavrel.test.settingsToolMarker";
    int markers = 0;
    center.observe(markerName, [&](const Notification&) { ++markers; });

    ASSERT_EQ(runTool(scratch.path(), {"set", "hideNativeDock", "true"}), 0);
    spinUntil([&] { return !changes.empty(); });
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].object, std::nullopt);
    EXPECT_EQ(changes[0].userInfo,
              (NotificationUserInfo{{"reason", std::string("settings-helper-change")}}));

    // The same value again: the bytes stay, nothing is posted. The tool waits for the bus to
    // route what it posted before it exits, so a marker posted afterwards arrives after it.
    ASSERT_EQ(runTool(scratch.path(), {"set", "hideNativeDock", "true"}), 0);
    ASSERT_TRUE(center.post(Notification{markerName, std::nullopt, {}}).ok());
    spinUntil([&] { return markers == 1; });
    ASSERT_EQ(markers, 1);
    EXPECT_EQ(changes.size(), 1u);
}

}  // namespace
}  // namespace tavrel
