// Plays the settings application for end-to-end tests: switches one New File template on or off
// in the main copy and saves it the way the settings page does, so the sync notification goes
// out over the Qt session-bus centre.
//   new_file_settings_actor enable|disable ID --resources DIR

#include <cstdio>
#include <string>

#include <QCoreApplication>

#include "core/new_file/new_file_settings.h"
#include "core/notifications/notification_names.h"
#include "platform/linux/dbus_notification_center.h"
#include "platform/process_identity.h"

int main(int argc, char** argv) {
    tavrel::platform::declareBundleIdentifier(tavrel::BundleIdentifier::settings);
    if (argc != 5 || std::string(argv[3]) != "--resources" ||
        (std::string(argv[1]) != "enable" && std::string(argv[1]) != "disable")) {
        std::fputs("usage: new_file_settings_actor enable|disable ID --resources DIR\n", stderr);
        return 2;
    }
    QCoreApplication application(argc, argv);
    auto center = tavrel::platform::makeSessionNotificationCenter();
    if (!center) {
        std::fprintf(stderr, "%s\n", center.error().message.c_str());
        return 1;
    }
    tavrel::NewFileSettings settings = tavrel::NewFileSettings::load();
    for (tavrel::NewFileTemplate& entry : settings.templates) {
        if (entry.id == argv[2]) {
            entry.isEnabled = std::string(argv[1]) == "enable";
            break;
        }
    }
    settings.save(tavrel::NewFileEnvironment{std::filesystem::path(argv[4]), center->get()});
    auto* session = static_cast<tavrel::platform::SessionNotificationCenter*>(center->get());
    return session->flush().ok() ? 0 : 1;
}
