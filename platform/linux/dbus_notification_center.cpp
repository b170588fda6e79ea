#include "platform/linux/dbus_notification_center.h"

#include <algorithm>
#include <utility>

#include <QCoreApplication>
#include <QDBusError>
#include <QLatin1StringView>
#include <QThread>
#include <QtGlobal>

#include "platform/linux/dbus_wire.h"
#include "platform/linux/session_bus.h"

namespace tavrel::platform {

namespace {

constexpr int kFlushTimeoutMs = 5000;

// Qt writes a match rule as Latin-1 without quoting: only plain printable ASCII without quote or
// backslash can be handed to the bus as an argument match. Other names are matched here instead.
bool isPlainMatchText(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c >= 0x20 && c <= 0x7E && c != '\'' && c != '\\'; });
}

}  // namespace

NotificationSubscription::NotificationSubscription(SessionNotificationCenter* center,
                                                   std::optional<std::string> name)
    : center_(center), name_(std::move(name)) {}

void NotificationSubscription::receive(const QDBusMessage& message) {
    if (!center_) return;
    auto notification = dbus_wire::fromMessage(message);
    // A foreign or malformed signal is dropped whole; a name subscription also sees other
    // names when the bus could not filter them.
    if (!notification) return;
    if (name_ && notification->name != *name_) return;
    center_->dispatch(name_, *notification);
}

SessionNotificationCenter::SessionNotificationCenter(QDBusConnection connection)
    : connection_(std::move(connection)), busWatch_(std::make_unique<QObject>()) {
    // Everything the bus sends this process passes through here, including floods from other
    // programs: reading must never stop.
    keepReceiving(connection_);
    whenDisconnected(connection_, busWatch_.get(), [this] {
        if (busEnded_) busEnded_();
    });
}

SessionNotificationCenter::~SessionNotificationCenter() {
    for (auto& [name, subscription] : subscriptions_) unsubscribe(subscription, false);
    subscriptions_.clear();
    (void)flush();
}

Status SessionNotificationCenter::post(const Notification& notification) {
    auto message = dbus_wire::toMessage(notification);
    if (!message) return message.error();
    if (!connection_.send(*message)) {
        return Error{"cannot send notification \"" + notification.name +
                     "\": " + connection_.lastError().message().toStdString()};
    }
    unflushed_ = true;
    return Status::success();
}

Status SessionNotificationCenter::flush() {
    if (!unflushed_.exchange(false)) return Status::success();
    return synchronize();
}

Status SessionNotificationCenter::synchronize() {
    // The daemon handles one connection's messages in order, so its answer to a call sent after
    // the posts means they have been routed to every receiver.
    const QDBusMessage ping = QDBusMessage::createMethodCall(
        QLatin1StringView("org.freedesktop.DBus"), QLatin1StringView("/org/freedesktop/DBus"),
        QLatin1StringView("org.freedesktop.DBus.Peer"), QLatin1StringView("Ping"));
    const QDBusMessage reply = connection_.call(ping, QDBus::Block, kFlushTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return Error{"the session bus did not answer: " + reply.errorMessage().toStdString()};
    }
    return Status::success();
}

NotificationCenter::ObserverId SessionNotificationCenter::observe(std::optional<std::string> name,
                                                                  Handler handler) {
    const ObserverId id = nextId_++;
    Subscription& subscription = subscriptions_[name];
    if (!subscription.receiver) subscribe(name, subscription);
    subscription.observers.push_back(id);
    observers_.emplace(id,
                       Observer{std::move(name), std::make_shared<Handler>(std::move(handler))});
    return id;
}

void SessionNotificationCenter::removeObserver(ObserverId id) {
    auto observer = observers_.find(id);
    if (observer == observers_.end()) return;
    auto subscription = subscriptions_.find(observer->second.name);
    observers_.erase(observer);
    if (subscription == subscriptions_.end()) return;
    std::erase(subscription->second.observers, id);
    // While handlers run, an emptied subscription stays until the dispatch ends: a handler
    // that swaps its observer for a new one of the same name keeps the notifications already
    // on their way.
    if (subscription->second.observers.empty() && dispatchDepth_ == 0) {
        unsubscribe(subscription->second, false);
        subscriptions_.erase(subscription);
    }
}

void SessionNotificationCenter::subscribe(const std::optional<std::string>& name,
                                          Subscription& subscription) {
    subscription.receiver = new NotificationSubscription(this, name);
    if (name && isPlainMatchText(*name)) {
        subscription.argumentMatch << QString::fromStdString(*name);
    }
    const bool connected = connection_.connect(
        QString(), QLatin1StringView(dbus_wire::kPath), QLatin1StringView(dbus_wire::kInterface),
        QLatin1StringView(dbus_wire::kMember), subscription.argumentMatch, QString(),
        subscription.receiver, SLOT(receive(QDBusMessage)));
    if (!connected) {
        qWarning("tavrel: cannot observe notification \"%s\" on the session bus: %s",
                 name ? name->c_str() : "(any)", qPrintable(connection_.lastError().message()));
    }
}

void SessionNotificationCenter::unsubscribe(Subscription& subscription, bool insideReceiver) {
    if (!subscription.receiver) return;
    connection_.disconnect(QString(), QLatin1StringView(dbus_wire::kPath),
                           QLatin1StringView(dbus_wire::kInterface),
                           QLatin1StringView(dbus_wire::kMember), subscription.argumentMatch,
                           QString(), subscription.receiver, SLOT(receive(QDBusMessage)));
    subscription.receiver->detach();
    if (insideReceiver) {
        subscription.receiver->deleteLater();
    } else {
        delete subscription.receiver;
    }
    subscription.receiver = nullptr;
}

void SessionNotificationCenter::dispatch(const std::optional<std::string>& name,
                                         const Notification& notification) {
    auto subscription = subscriptions_.find(name);
    if (subscription == subscriptions_.end()) return;
    // Handlers may add or remove observers: walk a copy, and skip those removed meanwhile.
    const std::vector<ObserverId> ids = subscription->second.observers;
    ++dispatchDepth_;
    for (ObserverId id : ids) {
        auto observer = observers_.find(id);
        if (observer == observers_.end()) continue;
        const std::shared_ptr<Handler> handler = observer->second.handler;
        (*handler)(notification);
    }
    if (--dispatchDepth_ > 0) return;
    // Still inside the slot of a receiver, which may be among those going.
    for (auto it = subscriptions_.begin(); it != subscriptions_.end();) {
        if (it->second.observers.empty()) {
            unsubscribe(it->second, true);
            it = subscriptions_.erase(it);
        } else {
            ++it;
        }
    }
}

Result<std::unique_ptr<NotificationCenter>> makeSessionNotificationCenter() {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) return Error{"the notification centre needs a QCoreApplication"};
    if (QThread::currentThread() != application->thread()) {
        return Error{"the notification centre must be made on the main thread"};
    }
    // A connection of our own rather than the shared default one: Qt holds back the default
    // connection's messages until the event loop first runs and then lets newer ones overtake
    // them, which would break the order of a sender's notifications.
    const QString connectionName = QLatin1StringView(kNotificationConnectionName);
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
    if (!bus.isConnected()) {
        QString reason = bus.lastError().message();
        if (reason.isEmpty()) reason = QStringLiteral("cannot connect");
        // Forget the failed connection so that a later attempt tries again.
        QDBusConnection::disconnectFromBus(connectionName);
        return Error{"no D-Bus session bus: " + reason.toStdString()};
    }
    auto center = std::make_unique<SessionNotificationCenter>(bus);
    // A program on the bus ends with it; its posts and observers would reach no one.
    center->setBusEndedHandler([] { QCoreApplication::exit(0); });
    return std::unique_ptr<NotificationCenter>(std::move(center));
}

}  // namespace tavrel::platform
