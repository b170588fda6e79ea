#pragma once

// The wire form of a distributed notification on the session bus: one signal
// (path /com/local/tavrel, interface com.local.tavrel.DistributedNotification, member Post)
// with the arguments (name, hasObject, object, userInfo), signature "sbsa{sv}". An absent object
// travels as (false, ""), a present one as (true, text), so an empty object stays distinct.
//
// QtDBus aborts the process or sends something else than intended for several QVariant types,
// so nothing reaches it that is not one of the five value types below, and everything that
// arrives is checked type by type before the suite sees it.

#include <QDBusMessage>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include "core/foundation/result.h"
#include "core/notifications/notification.h"

namespace tavrel::platform::dbus_wire {

inline constexpr char kPath[] = "/com/local/tavrel";
inline constexpr char kInterface[] = "com.local.tavrel.DistributedNotification";
inline constexpr char kMember[] = "Post";
inline constexpr char kSignature[] = "sbsa{sv}";

// string → s, bool → b, double → d, int64 → x, bytes → ay.
QVariant toVariant(const NotificationValue& value);
QVariantMap toVariantMap(const NotificationUserInfo& userInfo);

// Accepts exactly QString, bool, double, qlonglong and QByteArray; every other type (int, uint,
// QStringList, QVariantMap, QDBusArgument, QDBusVariant, an invalid QVariant, …) is an error.
// Texts must be valid UTF-16 without NUL, so the UTF-8 form is exact.
Result<NotificationValue> fromVariant(const QVariant& value);
Result<NotificationUserInfo> fromVariantMap(const QVariantMap& map);

// Validates (validateNotification) and builds the broadcast signal; nothing invalid is built.
Result<QDBusMessage> toMessage(const Notification& notification);

// Reads a received signal. Refuses anything but our signal with exactly the signature above,
// the five value types, a consistent object pair, unique keys and a notification that passes
// validateNotification.
Result<Notification> fromMessage(const QDBusMessage& message);

}  // namespace tavrel::platform::dbus_wire
