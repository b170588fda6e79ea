#pragma once

// Distributed notifications: broadcast to every observer of a name in every process of the
// user, delivered immediately. On Linux they travel as one D-Bus session-bus signal
// (path /com/local/tavrel, interface com.local.tavrel.DistributedNotification, member Post,
// signature "sbsa{sv}": name, has-object, object, userInfo).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/foundation/result.h"
#include "core/notifications/notification.h"

namespace tavrel::platform {

class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;
    using ObserverId = std::uint64_t;

    virtual ~NotificationCenter() = default;

    // Refuses (with an error, before anything is sent) what `validateNotification` refuses.
    virtual Status post(const Notification& notification) = 0;

    // Observes one name, or every name when `name` is nothing. Handlers run on the main thread,
    // in the order the notifications were posted by each sender.
    virtual ObserverId observe(std::optional<std::string> name, Handler handler) = 0;
    virtual void removeObserver(ObserverId id) = 0;
};

// The D-Bus session-bus centre. Needs a QCoreApplication (or subclass) on the calling thread,
// which is then the main thread. Fails with a readable message when there is no session bus.
// A program ends with its bus: once the centre's connection has lost the bus, the
// application's event loop ends with status 0.
Result<std::unique_ptr<NotificationCenter>> makeSessionNotificationCenter();

}  // namespace tavrel::platform
