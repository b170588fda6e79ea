#pragma once

// An in-memory notification centre for tests. Like the bus it checks every notification with
// validateNotification and delivers later, through the main queue it is given (use a
// ManualMainQueue and runReady() to deliver). It records what was posted.

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/main_queue.h"
#include "platform/notifications.h"

namespace tavrel::platform {

class FakeNotificationCenter final : public NotificationCenter {
public:
    // `queue` must outlive the centre's pending deliveries; deliveries queued by a centre that
    // has since been destroyed do nothing.
    explicit FakeNotificationCenter(MainQueue& queue);
    ~FakeNotificationCenter() override;

    // Refuses what validateNotification refuses (nothing recorded, nothing delivered), or fails
    // with the error set by failPostsWith. Otherwise records the notification and queues its
    // delivery to every observer of its name or of every name, this centre's own included.
    Status post(const Notification& notification) override;
    ObserverId observe(std::optional<std::string> name, Handler handler) override;
    void removeObserver(ObserverId id) override;

    // A notification from another process: delivered like a post but not recorded. An invalid
    // one is ignored, as a receiver on the bus ignores it.
    void receive(const Notification& notification);

    // Every post that succeeded, oldest first.
    std::vector<Notification> posted() const;
    void clearPosted();

    // Makes every following post fail with `error` (nothing means succeed again).
    void failPostsWith(std::optional<Error> error);

    std::size_t observerCount() const;

private:
    struct State;

    void queueDelivery(const Notification& notification);
    static void deliver(const std::shared_ptr<State>& state, const Notification& notification);

    MainQueue& queue_;
    std::shared_ptr<State> state_;
};

}  // namespace tavrel::platform
