// The GDBus notification centre against the Qt one, across processes on a private session bus:
// tavrel-notify (Qt) posts and monitors, this process speaks GDBus.

#include "platform/linux/gdbus/gdbus_notification_center.h"

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/notifications/notification_json.h"
#include "platform/linux/gdbus/gdbus_wire.h"
#include "tests/new_file/glib_test_support.h"

namespace tavrel::platform {
namespace {

using ::testing::ElementsAre;
using namespace tavrel::testing;

Notification richNotification(std::optional<std::string> object) {
    return Notification{"com.local.tavrel.test.rich",
                        std::move(object),
                        {{"text", std::string("新建文件 \"quoted\"")},
                         {"flag", true},
                         {"ratio", 0.25},
                         {"count", std::int64_t{-9007199254740993}},
                         {"bytes", NotificationBytes{0, 255, 10}},
                         {"empty", NotificationBytes{}}}};
}

class GDBusNotificationCenterTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto made = makeGDBusNotificationCenter();
        ASSERT_TRUE(made.ok()) << made.error().message;
        center = std::move(made).value();
    }
    std::unique_ptr<GDBusNotificationCenter> center;
};

TEST_F(GDBusNotificationCenterTest, QtReceiversSeeExactlyWhatWasPostedInOrder) {
    GChild monitor({toolPath("tavrel-notify"), "monitor"});
    ASSERT_TRUE(monitor.awaitLine("tavrel-notify: listening"));

    std::vector<Notification> sent = {richNotification(std::nullopt), richNotification(""),
                                      richNotification("对象")};
    for (int index = 0; index < 30; ++index) {
        sent.push_back(Notification{
            "com.local.tavrel.test.order", std::nullopt, {{"index", std::int64_t{index}}}});
    }
    for (const Notification& notification : sent) ASSERT_TRUE(center->post(notification).ok());
    ASSERT_TRUE(center->flush().ok());

    for (const Notification& notification : sent) {
        const auto line = monitor.readLine();
        ASSERT_TRUE(line.has_value());
        EXPECT_EQ(nlohmann::json::parse(*line), notificationToJson(notification));
    }
}

TEST_F(GDBusNotificationCenterTest, QtPostsReachObserversOfTheirNameAndOfEveryName) {
    std::vector<Notification> named;
    std::vector<Notification> every;
    center->observe("com.local.tavrel.test.rich",
                    [&](const Notification& notification) { named.push_back(notification); });
    center->observe(std::nullopt,
                    [&](const Notification& notification) { every.push_back(notification); });
    ASSERT_TRUE(center->synchronize().ok());

    const Finished other =
        runToEnd({toolPath("tavrel-notify"), "post", "com.local.tavrel.test.other"});
    ASSERT_EQ(other.status, 0) << other.output;
    const Finished rich =
        runToEnd({toolPath("tavrel-notify"), "post", "com.local.tavrel.test.rich", "--object", "",
                  "--string", "text=新建文件 \"quoted\"", "--bool", "flag=true", "--number",
                  "ratio=0.25", "--int", "count=-9007199254740993", "--bytes-base64", "bytes=AP8K",
                  "--bytes-base64", "empty="});
    ASSERT_EQ(rich.status, 0) << rich.output;

    ASSERT_TRUE(iterateUntil([&] { return every.size() == 2 && named.size() == 1; }));
    EXPECT_EQ(named[0], richNotification(""));
    EXPECT_EQ(every[0], (Notification{"com.local.tavrel.test.other", std::nullopt, {}}));
    EXPECT_EQ(every[1], richNotification(""));
}

TEST_F(GDBusNotificationCenterTest, ForeignOrMalformedSignalsAreDropped) {
    std::vector<Notification> received;
    center->observe(std::nullopt,
                    [&](const Notification& notification) { received.push_back(notification); });
    ASSERT_TRUE(center->synchronize().ok());
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    ASSERT_NE(bus, nullptr);
    const auto emit = [bus](GVariant* body) {
        return g_dbus_connection_emit_signal(bus, nullptr, gdbus_wire::kPath,
                                             gdbus_wire::kInterface, gdbus_wire::kMember, body,
                                             nullptr);
    };
    GVariantBuilder int32Value;
    g_variant_builder_init(&int32Value, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&int32Value, "{sv}", "n", g_variant_new_int32(3));
    GVariantBuilder nested;
    g_variant_builder_init(&nested, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&nested, "{sv}", "list", g_variant_new_strv(nullptr, 0));
    GVariantBuilder twice;
    g_variant_builder_init(&twice, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&twice, "{sv}", "k", g_variant_new_boolean(TRUE));
    g_variant_builder_add(&twice, "{sv}", "k", g_variant_new_boolean(FALSE));

    EXPECT_TRUE(emit(g_variant_new("(s)", "com.local.tavrel.test.short")));
    EXPECT_TRUE(
        emit(g_variant_new("(sbsa{sv})", "com.local.tavrel.test.int32", FALSE, "", &int32Value)));
    EXPECT_TRUE(
        emit(g_variant_new("(sbsa{sv})", "com.local.tavrel.test.nested", FALSE, "", &nested)));
    EXPECT_TRUE(
        emit(g_variant_new("(sbsa{sv})", "com.local.tavrel.test.twice", FALSE, "", &twice)));
    EXPECT_TRUE(emit(g_variant_new("(sbs@a{sv})", "com.local.tavrel.test.object", FALSE, "x",
                                   g_variant_new_array(G_VARIANT_TYPE("{sv}"), nullptr, 0))));
    EXPECT_TRUE(emit(g_variant_new("(sbs@a{sv})", "", FALSE, "",
                                   g_variant_new_array(G_VARIANT_TYPE("{sv}"), nullptr, 0))));
    EXPECT_TRUE(emit(g_variant_new("(sbs@a{sv})", "com.local.tavrel.test.good", TRUE, "",
                                   g_variant_new_array(G_VARIANT_TYPE("{sv}"), nullptr, 0))));
    g_dbus_connection_flush_sync(bus, nullptr, nullptr);
    g_object_unref(bus);

    // One connection's signals arrive in order: once the good one is here, the others were seen.
    ASSERT_TRUE(iterateUntil([&] { return !received.empty(); }));
    EXPECT_THAT(received, ElementsAre(Notification{"com.local.tavrel.test.good", "", {}}));
}

TEST_F(GDBusNotificationCenterTest, ObserversMayBeRemovedWhileNotificationsAreDispatched) {
    std::vector<std::string> calls;
    NotificationCenter::ObserverId second = 0;
    const NotificationCenter::ObserverId first =
        center->observe("com.local.tavrel.test.swap", [&](const Notification&) {
            calls.push_back("first");
            center->removeObserver(second);
        });
    second = center->observe("com.local.tavrel.test.swap",
                             [&](const Notification&) { calls.push_back("second"); });
    ASSERT_TRUE(center->post(Notification{"com.local.tavrel.test.swap", {}, {}}).ok());
    ASSERT_TRUE(iterateUntil([&] { return !calls.empty(); }));

    center->removeObserver(first);
    std::vector<std::string> later;
    center->observe("com.local.tavrel.test.swap",
                    [&](const Notification&) { later.push_back("third"); });
    ASSERT_TRUE(center->post(Notification{"com.local.tavrel.test.swap", {}, {}}).ok());
    ASSERT_TRUE(iterateUntil([&] { return !later.empty(); }));
    EXPECT_THAT(calls, ElementsAre("first"));
    EXPECT_THAT(later, ElementsAre("third"));
}

TEST(GDBusWireTest, RefusesWhatTheQtSideRefuses) {
    const std::vector<Notification> refused = {
        Notification{"", std::nullopt, {}},
        Notification{"bad \xFF name", std::nullopt, {}},
        Notification{std::string("nul\0name", 8), std::nullopt, {}},
        Notification{"com.local.tavrel.test", std::string("o\0bject", 7), {}},
        Notification{"com.local.tavrel.test", std::nullopt, {{"k", std::string("\xC0\x80")}}},
    };
    for (const Notification& notification : refused) {
        EXPECT_FALSE(gdbus_wire::toParameters(notification).ok());
    }
    for (const std::optional<std::string>& object :
         {std::optional<std::string>(), std::optional<std::string>(""),
          std::optional<std::string>("x")}) {
        auto parameters = gdbus_wire::toParameters(richNotification(object));
        ASSERT_TRUE(parameters.ok());
        GVariant* body = g_variant_ref_sink(*parameters);
        EXPECT_EQ(*gdbus_wire::fromParameters(body), richNotification(object));
        g_variant_unref(body);
    }
}

}  // namespace
}  // namespace tavrel::platform
