#include "core/notifications/notification.h"

#include <gtest/gtest.h>

#include "core/notifications/notification_json.h"
#include "core/notifications/notification_limits.h"

namespace tavrel {
namespace {

TEST(NotificationUserInfo, TypedReadsTreatAMistypedKeyAsAbsent) {
    const NotificationUserInfo info{
        {"text", std::string("x")},         {"flag", true}, {"int", std::int64_t{0}}, {"real", 2.5},
        {"bytes", NotificationBytes{1, 2}},
    };
    EXPECT_EQ(*userInfoString(info, "text"), "x");
    EXPECT_EQ(userInfoString(info, "flag"), nullptr);
    EXPECT_EQ(userInfoString(info, "missing"), nullptr);
    EXPECT_EQ(userInfoBool(info, "flag"), true);
    EXPECT_EQ(userInfoBool(info, "int"), std::nullopt);
    EXPECT_EQ(userInfoNumber(info, "real"), 2.5);
    EXPECT_EQ(userInfoNumber(info, "int"), 0.0);
    EXPECT_EQ(userInfoNumber(info, "flag"), 1.0);
    EXPECT_EQ(userInfoNumber(info, "text"), std::nullopt);
    EXPECT_EQ(userInfoNumberBool(info, "int"), false);
    EXPECT_EQ(userInfoNumberBool(info, "real"), true);
    EXPECT_EQ(userInfoNumberBool(info, "text"), std::nullopt);
    ASSERT_NE(userInfoBytes(info, "bytes"), nullptr);
    EXPECT_EQ(userInfoBytes(info, "bytes")->size(), 2u);
}

TEST(NotificationLimits, RefusesWhatTheBusCannotCarryFaithfully) {
    const auto valid = [] {
        return Notification{"com.local.tavrel.settingsChanged",
                            std::nullopt,
                            {{"reason", std::string("settings-helper-change")}}};
    };
    EXPECT_TRUE(validateNotification(valid()).ok());

    struct Case {
        const char* what;
        void (*mutate)(Notification&);
    };
    const Case cases[] = {
        {"empty name", [](Notification& n) { n.name.clear(); }},
        {"name with NUL", [](Notification& n) { n.name.push_back('\0'); }},
        {"name not UTF-8", [](Notification& n) { n.name += "\xC3"; }},
        {"name too long", [](Notification& n) { n.name.assign(1025, 'a'); }},
        {"object not UTF-8", [](Notification& n) { n.object = "\xFF"; }},
        {"empty key", [](Notification& n) { n.userInfo.emplace("", true); }},
        {"string value with NUL",
         [](Notification& n) { n.userInfo["reason"] = std::string("a\0b", 3); }},
        {"too large",
         [](Notification& n) {
             n.userInfo["payload"] = NotificationBytes(NotificationLimits::maxTotalBytes, 0);
         }},
        {"object too large without userInfo",
         [](Notification& n) {
             n.userInfo.clear();
             n.object = std::string(NotificationLimits::maxTotalBytes, 'a');
         }},
    };
    for (const auto& c : cases) {
        Notification n = valid();
        c.mutate(n);
        EXPECT_FALSE(validateNotification(n).ok()) << c.what;
    }

    Notification binary = valid();
    binary.userInfo["payload"] = NotificationBytes{0, 0xFF, 0};  // bytes may hold anything
    binary.object = "";
    EXPECT_TRUE(validateNotification(binary).ok());
}

TEST(NotificationJson, PrintsOneCompactLineWithBytesAsBase64) {
    const Notification n{"n",
                         std::nullopt,
                         {{"s", std::string("新")},
                          {"b", false},
                          {"i", std::int64_t{-3}},
                          {"d", 0.5},
                          {"y", NotificationBytes{'h', 'i'}}}};
    EXPECT_EQ(
        notificationToJsonLine(n),
        R"({"name":"n","object":null,"userInfo":{"b":false,"d":0.5,"i":-3,"s":"新","y":"aGk="}})");
    EXPECT_EQ(notificationToJsonLine(Notification{"n", "", {}}),
              R"({"name":"n","object":"","userInfo":{}})");
}

}  // namespace
}  // namespace tavrel
