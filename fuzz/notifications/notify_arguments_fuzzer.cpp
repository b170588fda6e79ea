// The command line of tavrel-notify: the input is split at NUL bytes into arguments.

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "core/notifications/notification_limits.h"
#include "tools/notify/notify_arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back().push_back(static_cast<char>(data[i]));
        }
    }
    const auto command = tavrel::parseNotifyArguments(arguments);
    if (!command) return 0;
    // Whatever is accepted for posting is a notification the bus takes.
    if (const auto* post = std::get_if<tavrel::NotifyPostCommand>(&*command)) {
        if (!tavrel::validateNotification(post->notification)) __builtin_trap();
    }
    return 0;
}
