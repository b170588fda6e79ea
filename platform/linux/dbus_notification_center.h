#pragma once

// The session-bus notification centre. Each observed name (and "every name") has one bus
// subscription, so the bus wakes a process only for names it observes; the observers of that
// name are dispatched from it in the order they were added.

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

#include "platform/notifications.h"

namespace tavrel::platform {

// The name of the session-bus connection every centre of a process shares. Messages sent on it
// reach every receiver in the order sent.
inline constexpr char kNotificationConnectionName[] = "com.local.tavrel.notifications";

class SessionNotificationCenter;

// Receives the signals of one bus subscription on the main thread.
class NotificationSubscription : public QObject {
    Q_OBJECT
public:
    NotificationSubscription(SessionNotificationCenter* center, std::optional<std::string> name);

    // After this, signals still queued for this subscription are dropped.
    void detach() { center_ = nullptr; }

public slots:
    void receive(const QDBusMessage& message);

private:
    SessionNotificationCenter* center_;
    std::optional<std::string> name_;
};

// Must be created, used for observing and destroyed on the main thread (the thread of the
// QCoreApplication); `post` may be called from any thread. Handlers may post, observe and
// remove observers (their own included), but must not destroy the centre.
class SessionNotificationCenter final : public NotificationCenter {
public:
    explicit SessionNotificationCenter(QDBusConnection connection);
    ~SessionNotificationCenter() override;

    Status post(const Notification& notification) override;
    ObserverId observe(std::optional<std::string> name, Handler handler) override;
    void removeObserver(ObserverId id) override;

    // Returns once the bus daemon has routed everything posted so far, so that a process may
    // exit right after posting without losing the message. Nothing to do when nothing was
    // posted since the last flush.
    Status flush();

    // A round trip to the bus daemon: afterwards every post and every observe made before it
    // has reached the daemon, so other processes see this one's posts and reach its observers.
    Status synchronize();

    // Runs on the main thread once the connection has lost the bus (the bus daemon went away);
    // a centre made by makeSessionNotificationCenter ends the application's event loop then.
    void setBusEndedHandler(std::function<void()> ended) { busEnded_ = std::move(ended); }

private:
    friend class NotificationSubscription;

    struct Observer {
        std::optional<std::string> name;
        std::shared_ptr<Handler> handler;
    };
    struct Subscription {
        NotificationSubscription* receiver = nullptr;
        QStringList argumentMatch;
        std::vector<ObserverId> observers;
    };

    void dispatch(const std::optional<std::string>& name, const Notification& notification);
    void subscribe(const std::optional<std::string>& name, Subscription& subscription);
    void unsubscribe(Subscription& subscription, bool insideReceiver);

    QDBusConnection connection_;
    std::map<ObserverId, Observer> observers_;
    std::map<std::optional<std::string>, Subscription> subscriptions_;
    ObserverId nextId_ = 1;
    int dispatchDepth_ = 0;
    std::atomic<bool> unflushed_{false};
    std::function<void()> busEnded_;
    // Receives the connection's end of the bus for as long as the centre lives.
    std::unique_ptr<QObject> busWatch_;
};

}  // namespace tavrel::platform
