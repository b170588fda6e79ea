#include "platform/linux/dbus_wire.h"

#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QLatin1StringView>
#include <QList>
#include <QMetaType>

#include "core/notifications/notification_limits.h"

namespace tavrel::platform::dbus_wire {

namespace {

std::string toStdString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

QString toQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A QString converts to UTF-8 exactly only when it holds no lone surrogate; NUL is refused
// because it cannot travel in a bus string.
bool isExactText(const QString& text) {
    return text.isValidUtf16() && !text.contains(QChar(u'\0'));
}

Error unsupported(const QVariant& value) {
    const char* typeName = value.metaType().name();
    return Error{std::string("unsupported value type ") + (typeName ? typeName : "(invalid)")};
}

Result<NotificationUserInfo> readUserInfo(const QDBusArgument& argument) {
    if (argument.currentSignature() != QLatin1StringView("a{sv}")) {
        return Error{"userInfo is not a{sv}"};
    }
    NotificationUserInfo userInfo;
    std::optional<Error> failure;
    // Every begin is matched by its end even when reading stops early: QtDBus frees its
    // nested readers only there.
    argument.beginMap();
    while (!argument.atEnd()) {
        if (userInfo.size() >= NotificationLimits::maxEntries) {
            failure = Error{"userInfo has too many entries"};
            break;
        }
        QString key;
        QDBusVariant value;
        argument.beginMapEntry();
        argument >> key >> value;
        argument.endMapEntry();
        auto converted = fromVariant(value.variant());
        if (!converted) {
            failure = Error{"userInfo \"" + toStdString(key) + "\": " + converted.error().message};
            break;
        }
        if (!userInfo.emplace(toStdString(key), std::move(converted).value()).second) {
            failure = Error{"userInfo key \"" + toStdString(key) + "\" appears twice"};
            break;
        }
    }
    argument.endMap();
    if (failure) return *failure;
    return userInfo;
}

}  // namespace

QVariant toVariant(const NotificationValue& value) {
    return std::visit(
        [](const auto& v) -> QVariant {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, std::string>) {
                return toQString(v);
            } else if constexpr (std::is_same_v<V, bool>) {
                return QVariant(v);
            } else if constexpr (std::is_same_v<V, double>) {
                return QVariant(v);
            } else if constexpr (std::is_same_v<V, std::int64_t>) {
                return QVariant::fromValue(static_cast<qlonglong>(v));
            } else {
                static_assert(std::is_same_v<V, NotificationBytes>);
                return QByteArray(reinterpret_cast<const char*>(v.data()),
                                  static_cast<qsizetype>(v.size()));
            }
        },
        value);
}

QVariantMap toVariantMap(const NotificationUserInfo& userInfo) {
    QVariantMap map;
    for (const auto& [key, value] : userInfo) map.insert(toQString(key), toVariant(value));
    return map;
}

Result<NotificationValue> fromVariant(const QVariant& value) {
    switch (value.metaType().id()) {
        case QMetaType::QString: {
            const QString text = value.toString();
            if (!isExactText(text)) return Error{"string is not exact Unicode text without NUL"};
            return NotificationValue{toStdString(text)};
        }
        case QMetaType::Bool:
            return NotificationValue{value.toBool()};
        case QMetaType::Double:
            return NotificationValue{value.toDouble()};
        case QMetaType::LongLong:
            return NotificationValue{static_cast<std::int64_t>(value.toLongLong())};
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes.constData());
            return NotificationValue{NotificationBytes(begin, begin + bytes.size())};
        }
        default:
            return unsupported(value);
    }
}

Result<NotificationUserInfo> fromVariantMap(const QVariantMap& map) {
    if (static_cast<std::size_t>(map.size()) > NotificationLimits::maxEntries) {
        return Error{"userInfo has too many entries"};
    }
    NotificationUserInfo userInfo;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (!isExactText(it.key())) {
            return Error{"userInfo key is not exact Unicode text without NUL"};
        }
        auto converted = fromVariant(it.value());
        if (!converted) {
            return Error{"userInfo \"" + toStdString(it.key()) +
                         "\": " + converted.error().message};
        }
        userInfo.emplace(toStdString(it.key()), std::move(converted).value());
    }
    return userInfo;
}

Result<QDBusMessage> toMessage(const Notification& notification) {
    if (Status valid = validateNotification(notification); !valid) return valid.error();
    // The bus drops a connection that sends an oversized message, so the name and object count
    // towards the same limit as the userInfo.
    const std::size_t textBytes =
        notification.name.size() + (notification.object ? notification.object->size() : 0);
    if (textBytes > NotificationLimits::maxTotalBytes) {
        return Error{"notification is larger than " +
                     std::to_string(NotificationLimits::maxTotalBytes) + " bytes"};
    }
    QDBusMessage message = QDBusMessage::createSignal(
        QLatin1StringView(kPath), QLatin1StringView(kInterface), QLatin1StringView(kMember));
    message << toQString(notification.name) << notification.object.has_value()
            << (notification.object ? toQString(*notification.object) : QString())
            << QVariant::fromValue(toVariantMap(notification.userInfo));
    return message;
}

Result<Notification> fromMessage(const QDBusMessage& message) {
    if (message.type() != QDBusMessage::SignalMessage ||
        message.path() != QLatin1StringView(kPath) ||
        message.interface() != QLatin1StringView(kInterface) ||
        message.member() != QLatin1StringView(kMember)) {
        return Error{"not a distributed notification signal"};
    }
    if (message.signature() != QLatin1StringView(kSignature)) {
        return Error{"foreign signature \"" + toStdString(message.signature()) + "\""};
    }
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() != 4 || arguments[0].metaType() != QMetaType::fromType<QString>() ||
        arguments[1].metaType() != QMetaType::fromType<bool>() ||
        arguments[2].metaType() != QMetaType::fromType<QString>()) {
        return Error{"arguments do not match the signature"};
    }

    Notification notification;
    notification.name = toStdString(arguments[0].toString());
    const QString object = arguments[2].toString();
    if (arguments[1].toBool()) {
        notification.object = toStdString(object);
    } else if (!object.isEmpty()) {
        return Error{"object text given for an absent object"};
    }

    const QVariant& userInfo = arguments[3];
    Result<NotificationUserInfo> decoded =
        userInfo.metaType() == QMetaType::fromType<QDBusArgument>()
            ? readUserInfo(userInfo.value<QDBusArgument>())
        : userInfo.metaType() == QMetaType::fromType<QVariantMap>()
            ? fromVariantMap(userInfo.toMap())
            : Result<NotificationUserInfo>(Error{"userInfo is not a dictionary"});
    if (!decoded) return decoded.error();
    notification.userInfo = std::move(decoded).value();

    if (Status valid = validateNotification(notification); !valid) return valid.error();
    return notification;
}

}  // namespace tavrel::platform::dbus_wire
