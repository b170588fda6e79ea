#include "platform/fake/fake_notification_center.h"

#include <utility>

#include "core/notifications/notification_limits.h"

namespace tavrel::platform {

struct FakeNotificationCenter::State {
    struct Observer {
        std::optional<std::string> name;
        std::shared_ptr<Handler> handler;
    };

    mutable std::mutex mutex;
    std::map<ObserverId, Observer> observers;  // in the order they were added
    ObserverId nextId = 1;
    std::vector<Notification> posted;
    std::optional<Error> postFailure;
};

FakeNotificationCenter::FakeNotificationCenter(MainQueue& queue)
    : queue_(queue), state_(std::make_shared<State>()) {}

FakeNotificationCenter::~FakeNotificationCenter() = default;

Status FakeNotificationCenter::post(const Notification& notification) {
    if (Status valid = validateNotification(notification); !valid) return valid;
    {
        std::lock_guard lock(state_->mutex);
        if (state_->postFailure) return *state_->postFailure;
        state_->posted.push_back(notification);
    }
    queueDelivery(notification);
    return Status::success();
}

void FakeNotificationCenter::receive(const Notification& notification) {
    if (!validateNotification(notification)) return;
    queueDelivery(notification);
}

void FakeNotificationCenter::queueDelivery(const Notification& notification) {
    std::weak_ptr<State> weak = state_;
    queue_.async([weak, notification] {
        if (auto state = weak.lock()) deliver(state, notification);
    });
}

void FakeNotificationCenter::deliver(const std::shared_ptr<State>& state,
                                     const Notification& notification) {
    // Observers are chosen when the notification arrives; each is skipped if a handler before
    // it removed it.
    std::vector<ObserverId> ids;
    {
        std::lock_guard lock(state->mutex);
        for (const auto& [id, observer] : state->observers) {
            if (!observer.name || *observer.name == notification.name) ids.push_back(id);
        }
    }
    for (ObserverId id : ids) {
        std::shared_ptr<Handler> handler;
        {
            std::lock_guard lock(state->mutex);
            auto observer = state->observers.find(id);
            if (observer == state->observers.end()) continue;
            handler = observer->second.handler;
        }
        (*handler)(notification);
    }
}

NotificationCenter::ObserverId FakeNotificationCenter::observe(std::optional<std::string> name,
                                                               Handler handler) {
    std::lock_guard lock(state_->mutex);
    const ObserverId id = state_->nextId++;
    state_->observers.emplace(
        id, State::Observer{std::move(name), std::make_shared<Handler>(std::move(handler))});
    return id;
}

void FakeNotificationCenter::removeObserver(ObserverId id) {
    std::lock_guard lock(state_->mutex);
    state_->observers.erase(id);
}

std::vector<Notification> FakeNotificationCenter::posted() const {
    std::lock_guard lock(state_->mutex);
    return state_->posted;
}

void FakeNotificationCenter::clearPosted() {
    std::lock_guard lock(state_->mutex);
    state_->posted.clear();
}

void FakeNotificationCenter::failPostsWith(std::optional<Error> error) {
    std::lock_guard lock(state_->mutex);
    state_->postFailure = std::move(error);
}

std::size_t FakeNotificationCenter::observerCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->observers.size();
}

}  // namespace tavrel::platform
