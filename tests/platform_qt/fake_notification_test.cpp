// The test fakes: the manual main queue and the in-memory notification centre.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_main_queue.h"

namespace tavrel::platform {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ManualMainQueueTest, RunsTasksInDueOrderAtTheirDueTime) {
    ManualMainQueue queue;
    std::vector<std::pair<std::string, std::chrono::nanoseconds>> ran;
    auto record = [&](std::string label) {
        return [&, label] { ran.emplace_back(label, queue.now()); };
    };
    queue.asyncAfter(30ms, record("30ms"));
    queue.asyncAfter(10ms, record("10ms-a"));
    queue.async(record("now"));
    queue.asyncAfter(10ms, record("10ms-b"));
    queue.asyncAfter(-1ms, record("negative"));
    queue.asyncAfter(10ms, [&] {
        ran.emplace_back("10ms-c", queue.now());
        queue.asyncAfter(5ms, record("added at 10ms for 15ms"));
        queue.async(record("added at 10ms for now"));
    });
    EXPECT_EQ(queue.pendingCount(), 6u);

    EXPECT_EQ(queue.runReady(), 2u);
    EXPECT_EQ(queue.advanceBy(20ms), 5u);
    EXPECT_EQ(queue.now(), 20ms);
    EXPECT_EQ(queue.pendingCount(), 1u);
    EXPECT_EQ(queue.advanceBy(10ms), 1u);

    using R = std::pair<std::string, std::chrono::nanoseconds>;
    EXPECT_THAT(ran,
                ElementsAre(R{"now", 0ms}, R{"negative", 0ms}, R{"10ms-a", 10ms}, R{"10ms-b", 10ms},
                            R{"10ms-c", 10ms}, R{"added at 10ms for now", 10ms},
                            R{"added at 10ms for 15ms", 15ms}, R{"30ms", 30ms}));
}

TEST(ManualMainQueueTest, CancelRemovesOnlyThatTask) {
    ManualMainQueue queue;
    std::vector<std::string> ran;
    const auto a = queue.async([&] { ran.push_back("a"); });
    queue.async([&] { ran.push_back("b"); });
    const auto c = queue.asyncAfter(1s, [&] { ran.push_back("c"); });
    queue.async([&] {
        ran.push_back("d");
        queue.cancel(c);
    });
    queue.cancel(a);
    queue.cancel(a);
    queue.cancel(999);
    EXPECT_EQ(queue.pendingCount(), 3u);
    EXPECT_EQ(queue.advanceBy(2s), 2u);
    EXPECT_THAT(ran, ElementsAre("b", "d"));
    EXPECT_EQ(queue.pendingCount(), 0u);
    EXPECT_EQ(queue.now(), 2s);
}

class FakeNotificationCenterTest : public ::testing::Test {
protected:
    ManualMainQueue queue;
    FakeNotificationCenter center{queue};
    std::vector<std::string> log;

    NotificationCenter::Handler record(std::string who) {
        return [this, who](const Notification& n) { log.push_back(who + ":" + n.name); };
    }
};

TEST_F(FakeNotificationCenterTest, DeliversOnTheQueueToNamedAndAnyObservers) {
    center.observe(std::string("a"), record("a1"));
    center.observe(std::nullopt, record("any"));
    center.observe(std::string("b"), record("b"));
    center.observe(std::string("a"), record("a2"));

    ASSERT_TRUE(center.post({"a", std::nullopt, {{"k", true}}}).ok());
    ASSERT_TRUE(center.post({"c", std::string(), {}}).ok());
    EXPECT_THAT(log, IsEmpty());  // asynchronous, like the bus
    queue.runReady();
    EXPECT_THAT(log, ElementsAre("a1:a", "any:a", "a2:a", "any:c"));
    EXPECT_THAT(center.posted(), ElementsAre(Notification{"a", std::nullopt, {{"k", true}}},
                                             Notification{"c", std::string(), {}}));
    center.clearPosted();
    EXPECT_THAT(center.posted(), IsEmpty());
}

TEST_F(FakeNotificationCenterTest, RefusesWhatTheBusRefusesAndCanBeMadeToFail) {
    center.observe(std::nullopt, record("any"));
    EXPECT_FALSE(center.post({"", std::nullopt, {}}).ok());
    EXPECT_FALSE(center.post({"n", std::string("\xFF"), {}}).ok());
    center.failPostsWith(Error{"bus gone"});
    auto failed = center.post({"n", std::nullopt, {}});
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error().message, "bus gone");
    center.failPostsWith(std::nullopt);
    center.receive({"", std::nullopt, {}});  // an invalid arrival is ignored
    queue.runReady();
    EXPECT_THAT(log, IsEmpty());
    EXPECT_THAT(center.posted(), IsEmpty());

    center.receive({"from.elsewhere", std::nullopt, {}});
    queue.runReady();
    EXPECT_THAT(log, ElementsAre("any:from.elsewhere"));
    EXPECT_THAT(center.posted(), IsEmpty());  // not this process's post
}

TEST_F(FakeNotificationCenterTest, RemovalTakesEffectBeforeQueuedDeliveriesAndInsideHandlers) {
    NotificationCenter::ObserverId second = 0;
    const auto gone = center.observe(std::string("n"), record("gone"));
    center.observe(std::string("n"), [&](const Notification& n) {
        log.push_back("first:" + n.name);
        center.removeObserver(second);
        center.observe(std::string("n"), record("added"));
    });
    second = center.observe(std::string("n"), record("second"));

    ASSERT_TRUE(center.post({"n", std::nullopt, {}}).ok());
    center.removeObserver(gone);  // after posting, before delivery
    queue.runReady();
    ASSERT_TRUE(center.post({"n", std::nullopt, {}}).ok());
    queue.runReady();
    EXPECT_THAT(log, ElementsAre("first:n", "first:n", "added:n"));
    EXPECT_EQ(center.observerCount(), 3u);
}

TEST(FakeNotificationCenterLifetimeTest, DeliveriesOfADestroyedCentreDoNothing) {
    ManualMainQueue queue;
    int calls = 0;
    {
        FakeNotificationCenter center(queue);
        center.observe(std::nullopt, [&](const Notification&) { ++calls; });
        ASSERT_TRUE(center.post({"n", std::nullopt, {}}).ok());
    }
    EXPECT_EQ(queue.runReady(), 1u);
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace tavrel::platform
