// tavrel-notify: posts one distributed notification, or prints those it sees as JSON lines.

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "core/notifications/notification_json.h"
#include "platform/linux/dbus_notification_center.h"
#include "platform/notifications.h"
#include "platform/process_identity.h"
#include "tools/notify/notify_arguments.h"

namespace {

constexpr int kExitBus = 1;
constexpr int kExitUsage = 2;

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "tavrel-notify: %s\n", message.c_str());
    if (status == kExitUsage) std::fputs("Run 'tavrel-notify --help' for usage.\n", stderr);
    return status;
}

int post(tavrel::platform::SessionNotificationCenter& center,
         const tavrel::Notification& notification) {
    if (tavrel::Status posted = center.post(notification); !posted) {
        return fail(kExitBus, posted.error().message);
    }
    // Exit only once the bus has the message; a message still in this process would be lost.
    if (tavrel::Status flushed = center.flush(); !flushed) {
        return fail(kExitBus, flushed.error().message);
    }
    return 0;
}

int monitor(QCoreApplication& application, tavrel::platform::SessionNotificationCenter& center,
            const std::vector<std::string>& names) {
    auto print = [&application](const tavrel::Notification& notification) {
        const std::string line = tavrel::notificationToJsonLine(notification) + "\n";
        if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size() ||
            std::fflush(stdout) != 0) {
            // Nobody reads any more.
            application.exit(kExitBus);
        }
    };
    if (names.empty()) {
        center.observe(std::nullopt, print);
    } else {
        for (const std::string& name : names) center.observe(name, print);
    }
    if (tavrel::Status ready = center.synchronize(); !ready) {
        return fail(kExitBus, ready.error().message);
    }
    std::fputs("tavrel-notify: listening\n", stderr);
    std::fflush(stderr);
    return application.exec();
}

}  // namespace

int main(int argc, char** argv) {
    tavrel::platform::declareBundleIdentifier("com.local.tavrel.notify");

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    auto command = tavrel::parseNotifyArguments(arguments);
    if (!command) return fail(kExitUsage, command.error().message);
    if (std::holds_alternative<tavrel::NotifyHelpCommand>(*command)) {
        std::fputs(tavrel::notifyUsage().c_str(), stdout);
        return 0;
    }

    QCoreApplication application(argc, argv);
    auto made = tavrel::platform::makeSessionNotificationCenter();
    if (!made) return fail(kExitBus, made.error().message);
    std::unique_ptr<tavrel::platform::NotificationCenter> center = std::move(made).value();
    auto& session = static_cast<tavrel::platform::SessionNotificationCenter&>(*center);

    if (const auto* postCommand = std::get_if<tavrel::NotifyPostCommand>(&*command)) {
        return post(session, postCommand->notification);
    }
    return monitor(application, session, std::get<tavrel::NotifyMonitorCommand>(*command).names);
}
