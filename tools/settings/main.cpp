// tavrel-settings: the settings document from the command line (see settings_tool.h).

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "core/notifications/notification_names.h"
#include "core/settings/app_data_store.h"
#include "core/settings/tavrel_resources.h"
#include "platform/notifications.h"
#include "platform/process_identity.h"
#include "tools/settings/settings_tool.h"

int main(int argc, char** argv) {
    tavrel::platform::declareBundleIdentifier("com.local.tavrel.settings-tool");
    const std::vector<std::string> arguments(argv + 1, argv + argc);

    // The notification centre needs an application object on this thread.
    QCoreApplication application(argc, argv);
    tavrel::TavrelResources::setExecutableDirectory(
        QCoreApplication::applicationDirPath().toStdString());

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
            tavrel::Notification notification;
            notification.name = tavrel::TavrelDistributedNotification::settingsChanged;
            notification.userInfo[std::string(tavrel::NotificationKey::reason)] =
                std::string(tavrel::SettingsNotificationReason::settingsHelperChange);
            // Destroying the centre waits until the bus has routed the message.
            return (*center)->post(notification);
        },
        .out = std::cout,
        .err = std::cerr,
    };
    return tavrel::runSettingsTool(arguments, context);
}
