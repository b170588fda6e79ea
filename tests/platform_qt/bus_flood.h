#pragma once

// Floods that any program on a shared session bus can send: one very large signal, and a
// backlog of valid messages that reaches a program faster than it can work them off. A program
// under test must hear the next message after either.

#include <functional>
#include <string>

#include <signal.h>
#include <sys/types.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QLatin1StringView>
#include <QString>
#include <QVariantList>

#include "platform/linux/dbus_wire.h"

namespace tavrel::testing {

// A little under 64 MiB: more than a connection may hold by default (63 MiB) yet within the
// bus's limits for one message.
inline constexpr qsizetype kLargeSignalBytes = 64 * 1024 * 1024 - 512 * 1024;
// 1 100 messages of 64 KiB: about 70 MiB.
inline constexpr int kBacklogCount = 1100;
inline constexpr qsizetype kBacklogItemBytes = 64 * 1024;

// The connection the floods go out on; separate from anything else the test process uses, so
// none of its own observers sees them.
inline QDBusConnection floodConnection() {
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                         QStringLiteral("tavrel-test-flood"));
}

// Returns once the bus daemon has routed everything sent on `bus` so far.
inline bool routed(QDBusConnection bus) {
    const QDBusMessage ping = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    return bus.call(ping, QDBus::Block, 60000).type() == QDBusMessage::ReplyMessage;
}

inline QDBusMessage signalWith(const char* path, const char* interface, const char* member,
                               const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createSignal(
        QLatin1StringView(path), QLatin1StringView(interface), QLatin1StringView(member));
    message.setArguments(arguments);
    return message;
}

// A distributed notification's signal with the given arguments, as any program may send it.
inline QDBusMessage notificationSignal(const QVariantList& arguments) {
    return signalWith(platform::dbus_wire::kPath, platform::dbus_wire::kInterface,
                      platform::dbus_wire::kMember, arguments);
}

// Sends one large signal made by `make` (given the size of text to carry) and waits until the
// bus has routed it.
inline bool sendLargeSignal(const std::function<QDBusMessage(const QString& text)>& make) {
    QDBusConnection bus = floodConnection();
    if (!bus.isConnected()) return false;
    const QString text(kLargeSignalBytes, QLatin1Char('x'));
    return bus.send(make(text)) && routed(bus);
}

// Queues a backlog for the process `pid` while it is stopped, then lets it go: the whole
// backlog is waiting on its socket when it wakes. Each message is made by `make` from 64 KiB
// of text.
inline bool sendBacklogTo(pid_t pid, const std::function<QDBusMessage(const QString& text)>& make) {
    QDBusConnection bus = floodConnection();
    if (!bus.isConnected() || ::kill(pid, SIGSTOP) != 0) return false;
    const QString text(kBacklogItemBytes, QLatin1Char('y'));
    bool sent = true;
    for (int i = 0; i < kBacklogCount && sent; ++i) sent = bus.send(make(text));
    sent = sent && routed(bus);
    return ::kill(pid, SIGCONT) == 0 && sent;
}

}  // namespace tavrel::testing
