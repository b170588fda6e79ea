#pragma once

// What a notification may carry. Every sender checks these before anything reaches the bus, and
// every receiver applies them to what arrives, so both sides agree on what is a valid message.

#include <cstddef>

#include "core/foundation/result.h"
#include "core/notifications/notification.h"

namespace tavrel {

struct NotificationLimits {
    static constexpr std::size_t maxNameBytes = 1024;
    static constexpr std::size_t maxKeyBytes = 1024;
    static constexpr std::size_t maxEntries = 1024;
    // Sum of the object, keys and values. The bus refuses messages above 128 MiB anyway; the
    // largest message of the suite (a New File sync payload) stays far below this.
    static constexpr std::size_t maxTotalBytes = 32 * 1024 * 1024;
};

// Checks a notification against the limits above and the bus's text rules: the name is not
// empty and all texts are valid UTF-8 without NUL.
Status validateNotification(const Notification& notification);

}  // namespace tavrel
