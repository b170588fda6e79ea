#pragma once

// The wire form of a distributed notification in GLib terms, identical to the Qt side's
// (dbus_wire.h): the signal Post of com.local.tavrel.DistributedNotification at
// /com/local/tavrel with the body (name, hasObject, object, userInfo), signature "sbsa{sv}".
// Values are strings, booleans, doubles, 64-bit integers and byte arrays only.

#include <glib.h>

#include "core/foundation/result.h"
#include "core/notifications/notification.h"

namespace tavrel::platform::gdbus_wire {

inline constexpr char kPath[] = "/com/local/tavrel";
inline constexpr char kInterface[] = "com.local.tavrel.DistributedNotification";
inline constexpr char kMember[] = "Post";
inline constexpr char kSignature[] = "(sbsa{sv})";

// A new floating GVariant of type (sbsa{sv}); nothing for a notification that
// validateNotification (or the size of its name and object) refuses.
Result<GVariant*> toParameters(const Notification& notification);

// Reads a received body. Refuses anything but exactly (sbsa{sv}), the five value types, a
// consistent object pair, repeated keys and a notification that validateNotification refuses.
Result<Notification> fromParameters(GVariant* parameters);

}  // namespace tavrel::platform::gdbus_wire
