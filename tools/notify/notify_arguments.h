#pragma once

// The command line of tavrel-notify:
//   tavrel-notify post NAME [--object S] [--string K=V] [--bool K=true|false] [--number K=V]
//                           [--int K=V] [--bytes-base64 K=V]...
//   tavrel-notify monitor [NAME...]
//   tavrel-notify --help

#include <string>
#include <variant>
#include <vector>

#include "core/foundation/result.h"
#include "core/notifications/notification.h"

namespace tavrel {

struct NotifyHelpCommand {};

struct NotifyPostCommand {
    Notification notification;
};

struct NotifyMonitorCommand {
    // Nothing means every name.
    std::vector<std::string> names;
};

using NotifyCommand = std::variant<NotifyHelpCommand, NotifyPostCommand, NotifyMonitorCommand>;

// `arguments` excludes the program name. The error says what is wrong in one line.
Result<NotifyCommand> parseNotifyArguments(const std::vector<std::string>& arguments);

std::string notifyUsage();

}  // namespace tavrel
