#pragma once

// The session-bus centre of this test process, and a recorder of what its observers receive.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QLatin1StringView>
#include <QStringList>
#include <QVariantMap>

#include <gtest/gtest.h>

#include "platform/linux/dbus_notification_center.h"
#include "platform/linux/dbus_wire.h"
#include "tests/platform_qt/qt_test_support.h"

namespace tavrel::testing {

inline std::unique_ptr<platform::SessionNotificationCenter> makeCenter() {
    application();
    auto made = platform::makeSessionNotificationCenter();
    EXPECT_TRUE(made.ok()) << made.error().message;
    if (!made) return nullptr;
    return std::unique_ptr<platform::SessionNotificationCenter>(
        static_cast<platform::SessionNotificationCenter*>(std::move(made).value().release()));
}

// The connection the centres post on; raw signals sent on it keep their place among posts.
inline QDBusConnection centerConnection() {
    return QDBusConnection(QLatin1StringView(platform::kNotificationConnectionName));
}

struct Received {
    std::vector<Notification> notifications;

    platform::NotificationCenter::Handler handler() {
        return [this](const Notification& n) { notifications.push_back(n); };
    }
    bool waitFor(std::size_t count) {
        return runUntil([&] { return notifications.size() >= count; });
    }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const Notification& n : notifications) result.push_back(n.name);
        return result;
    }
};

// A signal on the notification path and interface with whatever arguments a test gives.
inline QDBusMessage rawPost(const QVariantList& arguments) {
    QDBusMessage message =
        QDBusMessage::createSignal(QLatin1StringView(platform::dbus_wire::kPath),
                                   QLatin1StringView(platform::dbus_wire::kInterface),
                                   QLatin1StringView(platform::dbus_wire::kMember));
    message.setArguments(arguments);
    return message;
}

// Signals on our path and interface that are not valid notifications: foreign signatures,
// unsupported value types, an inconsistent object pair, a repeated key, an empty name. Each
// must be ignored whole by every receiver.
inline std::vector<std::pair<std::string, QDBusMessage>> foreignPosts(const QString& name) {
    QDBusArgument stringMap;
    stringMap.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QString>());
    stringMap.beginMapEntry();
    stringMap << QStringLiteral("k") << QStringLiteral("v");
    stringMap.endMapEntry();
    stringMap.endMap();

    QDBusArgument repeatedKey;
    repeatedKey.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QDBusVariant>());
    for (const char* value : {"first", "second"}) {
        repeatedKey.beginMapEntry();
        repeatedKey << QStringLiteral("k") << QDBusVariant(QString(value));
        repeatedKey.endMapEntry();
    }
    repeatedKey.endMap();

    auto withValue = [&](const QVariant& value) {
        return rawPost({name, false, QString(), QVariantMap{{"ok", true}, {"k", value}}});
    };
    return {
        {"sbs", rawPost({name, true, QString("x")})},
        {"sbsa{ss}", rawPost({name, true, QString("x"), QVariant::fromValue(stringMap)})},
        {"ssss", rawPost({name, QString("true"), QString("x"), QString("y")})},
        {"sbsa{sv}s", rawPost({name, false, QString(), QVariantMap{}, QString("extra")})},
        {"no arguments", rawPost({})},
        {"int32 value", withValue(int(1))},
        {"uint32 value", withValue(uint(1))},
        {"int16 value", withValue(QVariant::fromValue<short>(1))},
        {"byte value", withValue(QVariant::fromValue<uchar>(1))},
        {"string array value", withValue(QStringList{"a", "b"})},
        {"nested dictionary value", withValue(QVariantMap{{"x", QString("y")}})},
        {"object path value", withValue(QVariant::fromValue(QDBusObjectPath("/a")))},
        {"variant in variant", withValue(QVariant::fromValue(QDBusVariant(QString("x"))))},
        {"absent object with text", rawPost({name, false, QString("x"), QVariantMap{}})},
        {"repeated key", rawPost({name, false, QString(), QVariant::fromValue(repeatedKey)})},
        {"empty name", rawPost({QString(), false, QString(), QVariantMap{}})},
    };
}

}  // namespace tavrel::testing
