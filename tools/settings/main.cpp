// tavrel-settings: the settings document from the command line (see settings_tool.h).

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "core/new_file/new_file_settings.h"
#include "core/notifications/notification_names.h"
#include "core/settings/app_data_store.h"
#include "core/settings/settings_compatibility_recovery.h"
#include "core/settings/tavrel_resources.h"
#include "core/settings_transfer/settings_backups.h"
#include "core/settings_transfer/settings_reset.h"
#include "platform/notifications.h"
#include "platform/process_identity.h"
#include "tools/settings/settings_tool.h"

namespace {

tavrel::Status postSettingsChanged(tavrel::platform::NotificationCenter& center,
                                   std::string_view reason) {
    tavrel::Notification notification;
    notification.name = tavrel::TavrelDistributedNotification::settingsChanged;
    notification.userInfo[std::string(tavrel::NotificationKey::reason)] = std::string(reason);
    return center.post(notification);
}

// Crash tests set TAVREL_SETTINGS_TOOL_STOP_AFTER_WRITES=N: the tool is killed right after the
// N-th file an import replaces, as a power cut or an OOM kill would stop it.
std::function<void()> stopAfterWritesForCrashTests() {
    const char* value = std::getenv("TAVREL_SETTINGS_TOOL_STOP_AFTER_WRITES");
    if (value == nullptr || *value == '\0') return {};
    const long limit = std::strtol(value, nullptr, 10);
    return [limit, count = 0L]() mutable {
        if (++count >= limit) std::raise(SIGKILL);
    };
}

}  // namespace

int main(int argc, char** argv) {
    tavrel::platform::declareBundleIdentifier("com.local.tavrel.settings-tool");
    const std::vector<std::string> arguments(argv + 1, argv + argc);

    // The notification centre needs an application object on this thread.
    QCoreApplication application(argc, argv);
    tavrel::TavrelResources::setExecutableDirectory(
        QCoreApplication::applicationDirPath().toStdString());
    // Loads that migrate or move aside settings.json back the documents up first, as the
    // application's do.
    tavrel::installSettingsBackupHook(
        std::make_shared<tavrel::SettingsTransferBackupHook>(TAVREL_APP_VERSION, nullptr));
    // Resets and diff measure against what a first start loads, as the window does.
    tavrel::installFirstStartSettingsDefaults(
        tavrel::SettingsEnvironment::standardAt(tavrel::AppDataStore::directoryPath()));

    const tavrel::SettingsToolContext context{
        .environment =
            [](bool forWriting) {
                return forWriting ? tavrel::SettingsEnvironment::standard()
                                  : tavrel::SettingsEnvironment::standardAt(
                                        tavrel::AppDataStore::directoryPath());
            },
        .announce = []() -> tavrel::Status {
            auto center = tavrel::platform::makeSessionNotificationCenter();
            if (!center) return center.error();
            // Destroying the centre waits until the bus has routed the message.
            return postSettingsChanged(**center,
                                       tavrel::SettingsNotificationReason::settingsHelperChange);
        },
        .out = std::cout,
        .err = std::cerr,
        .announceNativeDockFolders = []() -> tavrel::Status {
            auto center = tavrel::platform::makeSessionNotificationCenter();
            if (!center) return center.error();
            tavrel::Notification notification;
            notification.name = tavrel::nativeDockFoldersChangedNotification;
            return (*center)->post(notification);
        },
        .announceNewFileSettings = []() -> tavrel::Status {
            auto center = tavrel::platform::makeSessionNotificationCenter();
            if (!center) return center.error();
            // The file manager's extension takes its copy from the sync payload.
            tavrel::NewFileEnvironment environment;
            environment.notificationCenter = center->get();
            tavrel::NewFileSettings::postCurrentSettingsSync(environment);
            return postSettingsChanged(**center,
                                       tavrel::SettingsNotificationReason::newFileSettingsChange);
        },
        .appVersion = TAVREL_APP_VERSION,
        .now = {},
        .afterEachImportWrite = stopAfterWritesForCrashTests(),
    };
    return tavrel::runSettingsTool(arguments, context);
}
