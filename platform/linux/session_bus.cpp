#include "platform/linux/session_bus.h"

#include <climits>
#include <utility>

#include <dbus/dbus.h>

#include <QCoreApplication>
#include <QDBusMessage>
#include <QLatin1StringView>

#include "platform/session_bus.h"

namespace tavrel::platform {

namespace {

// libdbus reports the loss of the bus as this signal, delivered by the connection itself.
constexpr QLatin1StringView kLocalPath("/org/freedesktop/DBus/Local");
constexpr QLatin1StringView kLocalInterface("org.freedesktop.DBus.Local");
constexpr QLatin1StringView kDisconnected("Disconnected");

}  // namespace

// Receives the connection's Disconnected signal and hands it on once.
class BusDisconnectWatch final : public QObject {
    Q_OBJECT
public:
    // Goes with its context.
    BusDisconnectWatch(QObject* context, std::function<void()> closed)
        : QObject(context), closed_(std::move(closed)) {}

public slots:
    void disconnected(const QDBusMessage&) {
        std::function<void()> closed = std::exchange(closed_, nullptr);
        if (closed) closed();
    }

private:
    std::function<void()> closed_;
};

void keepReceiving(const QDBusConnection& connection) {
    auto* raw = static_cast<DBusConnection*>(connection.internalPointer());
    if (!raw) return;
    dbus_connection_set_max_received_size(raw, LONG_MAX);
}

bool whenDisconnected(const QDBusConnection& connection, QObject* context,
                      std::function<void()> closed) {
    if (!context || !connection.isConnected()) return false;
    auto* watch = new BusDisconnectWatch(context, std::move(closed));
    QDBusConnection bus = connection;
    if (!bus.connect(QString(), kLocalPath, kLocalInterface, kDisconnected, watch,
                     SLOT(disconnected(QDBusMessage)))) {
        delete watch;
        return false;
    }
    return true;
}

bool followSessionBus(std::function<void()> ended) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    keepReceiving(bus);
    return whenDisconnected(bus, application, std::move(ended));
}

}  // namespace tavrel::platform

#include "session_bus.moc"
