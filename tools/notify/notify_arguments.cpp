#include "tools/notify/notify_arguments.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>
#include <system_error>

#include "core/foundation/base64.h"
#include "core/notifications/notification_limits.h"

namespace tavrel {

namespace {

bool isHelp(std::string_view argument) {
    return argument == "--help" || argument == "-h" || argument == "help";
}

bool isHelpOption(std::string_view argument) {
    return argument == "--help" || argument == "-h";
}

Result<NotificationValue> parseValue(std::string_view option, std::string_view text) {
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (option == "--string") return NotificationValue{std::string(text)};
    if (option == "--bool") {
        if (text == "true") return NotificationValue{true};
        if (text == "false") return NotificationValue{false};
        return Error{"--bool expects true or false, got \"" + std::string(text) + "\""};
    }
    if (option == "--number") {
        double number = 0;
        const auto [stop, error] = std::from_chars(begin, end, number);
        if (text.empty() || error != std::errc() || stop != end || !std::isfinite(number)) {
            return Error{"--number expects a finite decimal number, got \"" + std::string(text) +
                         "\""};
        }
        return NotificationValue{number};
    }
    if (option == "--int") {
        std::int64_t integer = 0;
        const auto [stop, error] = std::from_chars(begin, end, integer);
        if (text.empty() || error != std::errc() || stop != end) {
            return Error{"--int expects a 64-bit integer, got \"" + std::string(text) + "\""};
        }
        return NotificationValue{integer};
    }
    if (option == "--bytes-base64") {
        auto bytes = base64::decode(text);
        if (!bytes)
            return Error{"--bytes-base64 expects Base64, got \"" + std::string(text) + "\""};
        return NotificationValue{std::move(*bytes)};
    }
    return Error{"unknown option " + std::string(option)};
}

bool isValueOption(std::string_view option) {
    return option == "--string" || option == "--bool" || option == "--number" ||
           option == "--int" || option == "--bytes-base64";
}

Result<NotifyCommand> parsePost(const std::vector<std::string>& arguments) {
    if (arguments.size() >= 2 && isHelpOption(arguments[1]))
        return NotifyCommand{NotifyHelpCommand{}};
    if (arguments.size() < 2 || arguments[1].starts_with("--")) {
        return Error{"post needs a notification name"};
    }
    Notification notification;
    notification.name = arguments[1];
    for (std::size_t i = 2; i < arguments.size(); i += 2) {
        const std::string& option = arguments[i];
        if (isHelpOption(option)) return NotifyCommand{NotifyHelpCommand{}};
        if (option != "--object" && !isValueOption(option)) {
            return Error{"unknown option \"" + option + "\""};
        }
        if (i + 1 >= arguments.size()) return Error{option + " needs a value"};
        const std::string& text = arguments[i + 1];
        if (option == "--object") {
            if (notification.object) return Error{"--object given twice"};
            notification.object = text;
            continue;
        }
        const auto equals = text.find('=');
        if (equals == std::string::npos) {
            return Error{option + " expects KEY=VALUE, got \"" + text + "\""};
        }
        std::string key = text.substr(0, equals);
        if (key.empty()) return Error{option + " has an empty key in \"" + text + "\""};
        auto value = parseValue(option, std::string_view(text).substr(equals + 1));
        if (!value) return value.error();
        if (notification.userInfo.contains(key)) return Error{"key \"" + key + "\" given twice"};
        notification.userInfo.emplace(std::move(key), std::move(value).value());
    }
    if (Status valid = validateNotification(notification); !valid) return valid.error();
    return NotifyCommand{NotifyPostCommand{std::move(notification)}};
}

Result<NotifyCommand> parseMonitor(const std::vector<std::string>& arguments) {
    NotifyMonitorCommand command;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (isHelpOption(name)) return NotifyCommand{NotifyHelpCommand{}};
        if (name.starts_with("--")) return Error{"unknown option \"" + name + "\""};
        if (name.empty()) return Error{"a notification name is empty"};
        if (std::find(command.names.begin(), command.names.end(), name) == command.names.end()) {
            command.names.push_back(name);
        }
    }
    return NotifyCommand{std::move(command)};
}

}  // namespace

Result<NotifyCommand> parseNotifyArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return Error{"missing command (post or monitor)"};
    if (isHelp(arguments[0])) return NotifyCommand{NotifyHelpCommand{}};
    if (arguments[0] == "post") return parsePost(arguments);
    if (arguments[0] == "monitor") return parseMonitor(arguments);
    return Error{"unknown command \"" + arguments[0] + "\" (expected post or monitor)"};
}

std::string notifyUsage() {
    return R"(Usage:
  tavrel-notify post NAME [--object TEXT] [VALUE OPTION]...
  tavrel-notify monitor [NAME]...
  tavrel-notify --help

Posts or watches the Tavrel suite's distributed notifications on the D-Bus session bus
(signal com.local.tavrel.DistributedNotification.Post on /com/local/tavrel).

post NAME
  Posts one notification and returns once the bus has it.
  --object TEXT          the notification's object (absent unless given; may be empty)
  --string KEY=TEXT      a string value
  --bool KEY=true|false  a boolean value
  --number KEY=NUMBER    a double value, e.g. 0.5 or -2e3
  --int KEY=INTEGER      a 64-bit integer value
  --bytes-base64 KEY=B64 a byte array, given as standard Base64 with padding
  Value options may repeat; each KEY may appear once. Only the first '=' separates
  KEY from VALUE.

monitor [NAME]...
  Prints every notification with one of the NAMEs (every notification when no NAME is
  given) as one line of compact JSON, flushed at once:
    {"name":"...","object":"..." or null,"userInfo":{...}}
  Byte arrays are printed as Base64. Runs until interrupted. Once it listens it writes
  "tavrel-notify: listening" to standard error.

Exit status: 0 on success, 1 when the session bus cannot be used, 2 for bad usage.
)";
}

}  // namespace tavrel
