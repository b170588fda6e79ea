// Conversions between notifications and QtDBus values, without a bus.

#include "platform/linux/dbus_wire.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <QByteArrayList>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QDateTime>
#include <QPoint>
#include <QStringList>
#include <QVariantList>

#include <gtest/gtest.h>

#include "core/notifications/notification_limits.h"

namespace tavrel::platform {
namespace {

struct RefusedCase {
    const char* label;
    QVariant value;
};

QDBusArgument stringMapArgument() {
    QDBusArgument argument;
    argument.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QString>());
    argument.beginMapEntry();
    argument << QStringLiteral("k") << QStringLiteral("v");
    argument.endMapEntry();
    argument.endMap();
    return argument;
}

std::vector<RefusedCase> refusedValues() {
    return {
        {"invalid QVariant", QVariant()},
        {"int32", QVariant(int(1))},
        {"uint32", QVariant(uint(1))},
        {"int16", QVariant::fromValue<short>(1)},
        {"byte", QVariant::fromValue<uchar>(1)},
        {"uint64", QVariant::fromValue<qulonglong>(1)},
        // int64_t is `long` on this platform, a type QtDBus cannot marshal.
        {"long", QVariant::fromValue<long>(1)},
        {"float", QVariant(1.5f)},
        {"string list", QVariant(QStringList{"a", "b"})},
        {"byte array list", QVariant::fromValue(QByteArrayList{"a"})},
        {"nested map", QVariant(QVariantMap{{"x", QString("y")}})},
        {"list", QVariant(QVariantList{QString("a")})},
        {"point", QVariant(QPoint(1, 2))},
        {"date", QVariant(QDateTime::fromSecsSinceEpoch(0))},
        {"variant in variant", QVariant::fromValue(QDBusVariant(QString("x")))},
        {"object path", QVariant::fromValue(QDBusObjectPath("/a"))},
        {"signature", QVariant::fromValue(QDBusSignature("s"))},
        {"marshalled a{ss}", QVariant::fromValue(stringMapArgument())},
        {"lone surrogate", QVariant(QString(QChar(0xD800)))},
        {"NUL in string", QVariant(QString(QStringLiteral("a")) + QChar(u'\0'))},
    };
}

TEST(DbusWireTest, RefusesEveryValueTypeOutsideTheFive) {
    for (const RefusedCase& refused : refusedValues()) {
        EXPECT_FALSE(dbus_wire::fromVariant(refused.value).ok()) << refused.label;

        // One bad value spoils the whole dictionary, and the error names its key.
        QVariantMap map{{"good", QString("fine")}, {"bad", refused.value}};
        auto converted = dbus_wire::fromVariantMap(map);
        ASSERT_FALSE(converted.ok()) << refused.label;
        EXPECT_NE(converted.error().message.find("\"bad\""), std::string::npos) << refused.label;
    }
}

TEST(DbusWireTest, RefusesKeysThatAreNotExactText) {
    for (const QString& key : {QString(QChar(0xDC00)), QString("a") + QChar(u'\0')}) {
        EXPECT_FALSE(dbus_wire::fromVariantMap(QVariantMap{{key, true}}).ok());
    }
}

TEST(DbusWireTest, TheFiveTypesConvertBothWaysExactly) {
    struct Case {
        NotificationValue value;
        int metaType;
    };
    const std::vector<Case> cases = {
        {std::string("h\xC3\xA9 \xF0\x9F\x98\x80"), QMetaType::QString},
        {std::string(), QMetaType::QString},
        {true, QMetaType::Bool},
        {false, QMetaType::Bool},
        {0.1, QMetaType::Double},
        {-std::numeric_limits<double>::infinity(), QMetaType::Double},
        {std::numeric_limits<std::int64_t>::min(), QMetaType::LongLong},
        {std::numeric_limits<std::int64_t>::max(), QMetaType::LongLong},
        {NotificationBytes{0, 1, 0, 255}, QMetaType::QByteArray},
        {NotificationBytes{}, QMetaType::QByteArray},
    };
    for (const Case& c : cases) {
        const QVariant variant = dbus_wire::toVariant(c.value);
        EXPECT_EQ(variant.metaType().id(), c.metaType) << variant.typeName();
        auto back = dbus_wire::fromVariant(variant);
        ASSERT_TRUE(back.ok()) << back.error().message;
        EXPECT_EQ(*back, c.value);
    }
}

TEST(DbusWireTest, MessageCarriesNameObjectPairAndUserInfo) {
    struct Case {
        std::optional<std::string> object;
        bool hasObject;
        QString objectText;
    };
    for (const Case& c : {Case{std::nullopt, false, ""}, Case{std::string(), true, ""},
                          Case{std::string("x"), true, "x"}}) {
        Notification notification{"com.local.tavrel.test", c.object, {{"k", std::int64_t{7}}}};
        auto message = dbus_wire::toMessage(notification);
        ASSERT_TRUE(message.ok()) << message.error().message;
        EXPECT_EQ(message->type(), QDBusMessage::SignalMessage);
        EXPECT_EQ(message->path(), "/com/local/tavrel");
        EXPECT_EQ(message->interface(), "com.local.tavrel.DistributedNotification");
        EXPECT_EQ(message->member(), "Post");
        EXPECT_TRUE(message->service().isEmpty());  // broadcast
        const QVariantList arguments = message->arguments();
        ASSERT_EQ(arguments.size(), 4);
        EXPECT_EQ(arguments[0], QString("com.local.tavrel.test"));
        EXPECT_EQ(arguments[1], QVariant(c.hasObject));
        EXPECT_EQ(arguments[2].metaType().id(), QMetaType::QString);
        EXPECT_EQ(arguments[2].toString(), c.objectText);
        EXPECT_EQ(arguments[3].metaType(), QMetaType::fromType<QVariantMap>());
    }
}

TEST(DbusWireTest, RefusesToBuildInvalidNotifications) {
    const std::string tooLong(NotificationLimits::maxTotalBytes + 1, 'o');
    const std::vector<std::pair<const char*, Notification>> cases = {
        {"empty name", {"", std::nullopt, {}}},
        {"name not UTF-8", {"com.\xFF", std::nullopt, {}}},
        {"NUL in object", {"n", std::string("a\0b", 3), {}}},
        {"string value not UTF-8", {"n", std::nullopt, {{"k", std::string("\xC3")}}}},
        {"empty key", {"n", std::nullopt, {{"", true}}}},
        {"object over the size limit", {"n", tooLong, {}}},
    };
    for (const auto& [label, notification] : cases) {
        EXPECT_FALSE(dbus_wire::toMessage(notification).ok()) << label;
    }
}

}  // namespace
}  // namespace tavrel::platform
