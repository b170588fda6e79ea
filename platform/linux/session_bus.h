#pragma once

// The Qt programs' session-bus connections: reading that survives floods, and the end of the bus.

#include <functional>

#include <QDBusConnection>
#include <QObject>

namespace tavrel::platform {

// libdbus stops reading a connection while the messages it has read and not yet released exceed
// 63 MiB, and resumes once they are released. QtDBus releases received messages on the main
// thread but can resume reading only on its own, so one large signal (or a backlog of small ones
// the main thread has not caught up with) would leave the connection deaf for good. This lifts
// that bound for `connection`: a flood then costs memory while it is worked off, never the
// connection. Safe to call more than once and from any thread.
void keepReceiving(const QDBusConnection& connection);

// Calls `closed` on the thread of `context` once `connection` has lost its bus (the bus daemon
// went away), at most once and not after `context` is gone. Call it on the thread of `context`.
// Gives false when the connection is not connected, or the watch cannot be set up.
bool whenDisconnected(const QDBusConnection& connection, QObject* context,
                      std::function<void()> closed);

}  // namespace tavrel::platform
