// tavrel-settings import on a session bus: each changed document is announced once, the way its
// own editor announces it.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include "core/new_file/new_file_settings_sync_payload.h"
#include "core/notifications/notification_names.h"
#include "platform/notifications.h"
#include "transfer_test_support.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;

// Runs the event loop until `done` or a generous bound; the caller checks `done` itself.
void spinUntil(const std::function<bool()>& done) {
    QDeadlineTimer deadline(30000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

int runTool(const fs::path& dataHome, const QStringList& arguments) {
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", QString::fromStdString(dataHome.string()));
    tool.setProcessEnvironment(environment);
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(TAVREL_BINARY_DIR "/bin/tavrel-settings", arguments);
    if (!tool.waitForFinished(60000)) return -1;
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

TEST(SettingsImportOnTheBus, AnnouncesEachChangedDocumentAsItsEditorDoes) {
    int argc = 1;
    char name[] = "settings_import_bus_test";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    const test::ScratchDirectory scratch;
    const fs::path dataHome = scratch.path() / "data";
    const SettingsDocumentLocations target{dataHome / "Tavrel"};
    const SettingsDocumentLocations source{scratch.path() / "source" / "Tavrel"};
    test::writeDocuments(target, 0);
    test::writeDocuments(source, 1);
    const fs::path file = scratch.path() / "import.json";
    test::writeText(file, readSettingsExport(source, "2.8.0", std::chrono::system_clock::now())
                              .envelope.encode()
                              .value());

    auto made = platform::makeSessionNotificationCenter();
    ASSERT_TRUE(made.ok()) << made.error().message;
    auto& center = **made;
    std::map<std::string, std::vector<Notification>> seen;
    for (const std::string_view observed :
         {TavrelDistributedNotification::settingsChanged, nativeDockFoldersChangedNotification,
          NewFileNotification::settingsSync}) {
        center.observe(std::string(observed), [&seen](const Notification& notification) {
            seen[notification.name].push_back(notification);
        });
    }
    const std::string markerName = "com.local.tavrel.test.importMarker";
    int markers = 0;
    center.observe(markerName, [&](const Notification&) { ++markers; });

    ASSERT_EQ(runTool(dataHome, {"import", QString::fromStdString(file.string())}), 0);
    // The tool waits for the bus to route what it posted before it exits, so a marker posted
    // now arrives after all of it.
    ASSERT_TRUE(center.post(Notification{markerName, std::nullopt, {}}).ok());
    spinUntil([&] { return markers == 1; });
    ASSERT_EQ(markers, 1);

    const auto& changes = seen[std::string(TavrelDistributedNotification::settingsChanged)];
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].userInfo,
              (NotificationUserInfo{{"reason", std::string("settings-helper-change")}}));
    EXPECT_EQ(changes[1].userInfo,
              (NotificationUserInfo{{"reason", std::string("new-file-settings-change")}}));

    const auto& folders = seen[std::string(nativeDockFoldersChangedNotification)];
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].object, std::nullopt);
    EXPECT_TRUE(folders[0].userInfo.empty());

    const auto& syncs = seen[std::string(NewFileNotification::settingsSync)];
    ASSERT_EQ(syncs.size(), 1u);
    const NotificationBytes* bytes = userInfoBytes(syncs[0].userInfo, "payload");
    ASSERT_NE(bytes, nullptr);
    const auto payload =
        NewFileSettingsSyncPayload::decode(std::string(bytes->begin(), bytes->end()));
    ASSERT_TRUE(payload.ok()) << payload.error().message;
    EXPECT_EQ(payload->settingsData, test::readText(source.newFileSettingsURL()));
    EXPECT_EQ(payload->customTemplateData.size(), 1u);
    for (const auto& [templateName, data] : payload->customTemplateData) {
        EXPECT_EQ(data, test::readText(source.newFileTemplatesDirectory() / templateName));
    }
}

}  // namespace
}  // namespace tavrel
