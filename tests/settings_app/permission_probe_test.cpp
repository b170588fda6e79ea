// The permission probes: one outstanding query per probe, answers matched by token and by the
// probe's own key.

#include "core/settings_pages/permission_probe.h"

#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "core/notifications/notification_names.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_main_queue.h"
#include "platform/uuid.h"

namespace tavrel {
namespace {

Notification reply(NotificationUserInfo info) {
    return Notification{std::string(TavrelDistributedNotification::permissionReply), std::nullopt,
                        std::move(info)};
}

class PermissionProbeTest : public ::testing::Test {
protected:
    std::string lastToken() {
        const auto posted = center.posted();
        EXPECT_FALSE(posted.empty());
        if (posted.empty()) return {};
        EXPECT_EQ(posted.back().name, TavrelDistributedNotification::permissionQuery);
        EXPECT_EQ(posted.back().object, std::nullopt);
        EXPECT_EQ(posted.back().userInfo.size(), 1u);
        return *userInfoString(posted.back().userInfo, "token");
    }

    platform::ManualMainQueue queue;
    platform::FakeNotificationCenter center{queue};
};

TEST_F(PermissionProbeTest, QueryCarriesACanonicalUuidToken) {
    PermissionProbe probe(center, PermissionKind::accessibility);
    probe.query([](bool) {});
    const std::string token = lastToken();
    const auto parsed = platform::Uuid::parse(token);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->string(), token);  // upper-case 8-4-4-4-12
}

TEST_F(PermissionProbeTest, RepliesAreMatchedByTokenAndTheProbesOwnKey) {
    struct Case {
        const char* name;
        PermissionKind permission;
        // Built from the query's token.
        std::function<NotificationUserInfo(const std::string&)> answer;
        std::optional<bool> completed;
    };
    const std::vector<Case> cases{
        {"AccessibilityDenied", PermissionKind::accessibility,
         [](const std::string& t) {
             return NotificationUserInfo{
                 {"token", t}, {"accessibility", false}, {"screenRecording", true}};
         },
         false},
        {"ScreenRecordingGranted", PermissionKind::screenRecording,
         [](const std::string& t) {
             return NotificationUserInfo{
                 {"token", t}, {"accessibility", false}, {"screenRecording", true}};
         },
         true},
        {"OtherToken", PermissionKind::accessibility,
         [](const std::string&) {
             return NotificationUserInfo{{"token", std::string("0-0")}, {"accessibility", true}};
         },
         std::nullopt},
        {"MissingOwnKey", PermissionKind::accessibility,
         [](const std::string& t) {
             return NotificationUserInfo{{"token", t}, {"screenRecording", true}};
         },
         std::nullopt},
        {"OwnKeyIsAString", PermissionKind::accessibility,
         [](const std::string& t) {
             return NotificationUserInfo{{"token", t}, {"accessibility", std::string("true")}};
         },
         std::nullopt},
        {"TokenIsNotAString", PermissionKind::accessibility,
         [](const std::string&) {
             return NotificationUserInfo{{"token", std::int64_t{1}}, {"accessibility", true}};
         },
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PermissionProbe probe(center, c.permission);
        std::vector<bool> answers;
        probe.query([&](bool granted) { answers.push_back(granted); });
        center.receive(reply(c.answer(lastToken())));
        queue.runReady();
        std::vector<bool> expected;
        if (c.completed) expected.push_back(*c.completed);
        EXPECT_EQ(answers, expected);
    }
}

TEST_F(PermissionProbeTest, ASecondQueryDropsTheFirstAndEachCompletionRunsOnce) {
    PermissionProbe probe(center, PermissionKind::screenRecording);
    std::vector<std::string> completions;
    probe.query([&](bool) { completions.push_back("first"); });
    const std::string first = lastToken();
    probe.query([&](bool) { completions.push_back("second"); });
    const std::string second = lastToken();
    ASSERT_NE(first, second);

    for (const std::string& token : {first, second, second}) {
        center.receive(reply({{"token", token}, {"screenRecording", true}}));
    }
    queue.runReady();
    EXPECT_EQ(completions, std::vector<std::string>{"second"});
    EXPECT_FALSE(probe.hasPendingQuery());
    // One reply observer, however many queries.
    EXPECT_EQ(center.observerCount(), 1u);
}

TEST_F(PermissionProbeTest, NoAnswerNoCompletion) {
    PermissionProbe probe(center, PermissionKind::accessibility);
    bool called = false;
    probe.query([&](bool) { called = true; });
    queue.runReady();
    EXPECT_FALSE(called);
    EXPECT_TRUE(probe.hasPendingQuery());
}

}  // namespace
}  // namespace tavrel
