#include "core/notifications/notification_limits.h"

#include <string>

#include "core/foundation/utf8.h"

namespace tavrel {

namespace {

bool isBusText(std::string_view text) {
    return text.find('\0') == std::string_view::npos && isValidUtf8(text);
}

}  // namespace

Status validateNotification(const Notification& notification) {
    if (notification.name.empty()) return Error{"notification name is empty"};
    if (notification.name.size() > NotificationLimits::maxNameBytes) {
        return Error{"notification name is longer than " +
                     std::to_string(NotificationLimits::maxNameBytes) + " bytes"};
    }
    if (!isBusText(notification.name)) {
        return Error{"notification name is not UTF-8 text without NUL"};
    }
    std::size_t total = notification.name.size();
    if (notification.object) {
        if (!isBusText(*notification.object)) {
            return Error{"notification object is not UTF-8 text without NUL"};
        }
        total += notification.object->size();
    }
    const auto tooLarge = [] {
        return Error{"notification is larger than " +
                     std::to_string(NotificationLimits::maxTotalBytes) + " bytes"};
    };
    if (total > NotificationLimits::maxTotalBytes) return tooLarge();
    if (notification.userInfo.size() > NotificationLimits::maxEntries) {
        return Error{"userInfo has more than " + std::to_string(NotificationLimits::maxEntries) +
                     " entries"};
    }
    for (const auto& [key, value] : notification.userInfo) {
        if (key.empty() || key.size() > NotificationLimits::maxKeyBytes || !isBusText(key)) {
            return Error{"userInfo key is empty, too long or not UTF-8 text without NUL"};
        }
        total += key.size();
        if (const auto* text = std::get_if<std::string>(&value)) {
            if (!isBusText(*text)) {
                return Error{"userInfo value of \"" + key + "\" is not UTF-8 text without NUL"};
            }
            total += text->size();
        } else if (const auto* bytes = std::get_if<NotificationBytes>(&value)) {
            total += bytes->size();
        } else {
            total += 8;
        }
        if (total > NotificationLimits::maxTotalBytes) return tooLarge();
    }
    return Status::success();
}

}  // namespace tavrel
