// The session-bus centre within one process: the bus echoes a process's own posts to its
// observers, so everything here travels through the real daemon.

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include <QThread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/platform_qt/bus_flood.h"
#include "tests/platform_qt/bus_test_support.h"

namespace tavrel::testing {
namespace {

using ::testing::ElementsAre;

std::vector<Notification> everyShapeOfNotification() {
    return {
        {"com.local.tavrel.test.shape", std::nullopt, {}},
        {"com.local.tavrel.test.shape", std::string(), {}},
        {"com.local.tavrel.test.shape", std::string("folder-1"), {}},
        {"com.local.tavrel.test.shape",
         std::nullopt,
         {{"string", std::string("\xE6\x96\xB0\xE5\xBB\xBA\xE6\x96\x87\xE4\xBB\xB6")},
          {"emptyString", std::string()},
          {"true", true},
          {"false", false},
          {"double", -0.1},
          {"min", std::numeric_limits<std::int64_t>::min()},
          {"max", std::numeric_limits<std::int64_t>::max()},
          {"bytes", NotificationBytes{0, 1, 0x7F, 0x80, 0xFF}},
          {"emptyBytes", NotificationBytes{}}}},
    };
}

TEST(SessionNotificationCenterTest, DeliversEveryValueTypeAndObjectStateExactly) {
    auto center = makeCenter();
    ASSERT_TRUE(center);
    Received received;
    center->observe(std::string("com.local.tavrel.test.shape"), received.handler());

    const std::vector<Notification> sent = everyShapeOfNotification();
    for (const Notification& notification : sent) {
        ASSERT_TRUE(center->post(notification).ok());
    }
    ASSERT_TRUE(received.waitFor(sent.size()));
    EXPECT_EQ(received.notifications, sent);
}

TEST(SessionNotificationCenterTest, IgnoresForeignSignalsWholeAndDeliversTheNextValidOne) {
    auto center = makeCenter();
    ASSERT_TRUE(center);
    const std::string name = "com.local.tavrel.test.foreign";
    Received named;
    Received any;
    center->observe(name, named.handler());
    center->observe(std::nullopt, any.handler());

    QDBusConnection bus = centerConnection();
    for (const auto& [label, message] : foreignPosts(QString::fromStdString(name))) {
        ASSERT_TRUE(bus.send(message)) << label;
    }
    // Same connection, so the bus delivers it after all of the above.
    const Notification valid{name, std::nullopt, {{"ok", true}}};
    ASSERT_TRUE(center->post(valid).ok());

    // The observers of the name and of every name may see it in either order.
    ASSERT_TRUE(any.waitFor(1) && named.waitFor(1));
    EXPECT_THAT(any.notifications, ElementsAre(valid));
    EXPECT_THAT(named.notifications, ElementsAre(valid));
}

TEST(SessionNotificationCenterTest, RefusesInvalidNotificationsBeforeSending) {
    auto center = makeCenter();
    ASSERT_TRUE(center);
    Received any;
    center->observe(std::nullopt, any.handler());

    const std::vector<Notification> invalid = {
        {"", std::nullopt, {}},
        {"com.local.tavrel.test.\xC0\xAF", std::nullopt, {}},
        {"com.local.tavrel.test.invalid", std::string("\xED\xA0\x80"), {}},
        {"com.local.tavrel.test.invalid", std::nullopt, {{"k", std::string("a\0b", 3)}}},
    };
    for (const Notification& notification : invalid) {
        EXPECT_FALSE(center->post(notification).ok()) << notification.name;
    }
    const Notification end{"com.local.tavrel.test.end", std::nullopt, {}};
    ASSERT_TRUE(center->post(end).ok());
    ASSERT_TRUE(any.waitFor(1));
    EXPECT_THAT(any.notifications, ElementsAre(end));
}

TEST(SessionNotificationCenterTest, NamedObserversSeeTheirNameAndAnyObserversSeeAll) {
    auto center = makeCenter();
    ASSERT_TRUE(center);
    Received firstOfA, secondOfA, ofB, any;
    center->observe(std::string("test.a"), firstOfA.handler());
    center->observe(std::string("test.a"), secondOfA.handler());
    center->observe(std::string("test.b"), ofB.handler());
    center->observe(std::nullopt, any.handler());

    for (const char* name : {"test.a", "test.b", "test.c", "test.a", "test.b"}) {
        ASSERT_TRUE(center->post({name, std::nullopt, {}}).ok());
    }
    // Observers of a name and of every name may run in either order for one notification;
    // anything wrongly delivered would show before an observer's last own notification.
    ASSERT_TRUE(any.waitFor(5) && firstOfA.waitFor(2) && secondOfA.waitFor(2) && ofB.waitFor(2));
    EXPECT_THAT(any.names(), ElementsAre("test.a", "test.b", "test.c", "test.a", "test.b"));
    EXPECT_THAT(firstOfA.names(), ElementsAre("test.a", "test.a"));
    EXPECT_THAT(secondOfA.names(), ElementsAre("test.a", "test.a"));
    EXPECT_THAT(ofB.names(), ElementsAre("test.b", "test.b"));
}

TEST(SessionNotificationCenterTest, NamesTheBusCannotMatchAreFilteredInProcess) {
    // Quotes, backslashes and non-ASCII text cannot go into a bus match rule; such observers
    // must still see exactly their own name.
    auto center = makeCenter();
    ASSERT_TRUE(center);
    const std::vector<std::string> names = {"it's", "back\\slash", "\xE6\x96\xB0\xE5\xBB\xBA",
                                            "caf\xC3\xA9"};
    std::vector<Received> received(names.size());
    Received any;
    for (std::size_t i = 0; i < names.size(); ++i) {
        center->observe(names[i], received[i].handler());
    }
    center->observe(std::nullopt, any.handler());

    // Two rounds: anything wrongly delivered in the first shows before the second's own name.
    for (int round = 0; round < 2; ++round) {
        for (const std::string& name : names) {
            ASSERT_TRUE(center->post({name, std::nullopt, {}}).ok());
        }
    }
    ASSERT_TRUE(any.waitFor(2 * names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        ASSERT_TRUE(received[i].waitFor(2));
        EXPECT_THAT(received[i].names(), ElementsAre(names[i], names[i]));
    }
}

TEST(SessionNotificationCenterTest, RemovedObserversGetNothingMoreAndNamesCanBeObservedAgain) {
    auto center = makeCenter();
    ASSERT_TRUE(center);
    Received removed, kept, any;
    const auto removedId = center->observe(std::string("test.r"), removed.handler());
    const auto keptId = center->observe(std::string("test.r"), kept.handler());
    const auto anyId = center->observe(std::nullopt, any.handler());

    ASSERT_TRUE(center->post({"test.r", std::nullopt, {}}).ok());
    ASSERT_TRUE(any.waitFor(1) && kept.waitFor(1));
    center->removeObserver(removedId);
    center->removeObserver(removedId);  // twice is harmless
    center->removeObserver(987654);     // unknown too
    ASSERT_TRUE(center->post({"test.r", std::nullopt, {}}).ok());
    ASSERT_TRUE(any.waitFor(2) && kept.waitFor(2));
    EXPECT_EQ(removed.notifications.size(), 1u);
    EXPECT_EQ(kept.notifications.size(), 2u);

    // The last observer of the name goes; the name is then observed afresh.
    center->removeObserver(keptId);
    ASSERT_TRUE(center->post({"test.r", std::nullopt, {}}).ok());
    ASSERT_TRUE(any.waitFor(3));
    center->removeObserver(anyId);
    Received again;
    center->observe(std::string("test.r"), again.handler());
    ASSERT_TRUE(center->post({"test.r", std::nullopt, {}}).ok());
    ASSERT_TRUE(again.waitFor(1));
    EXPECT_EQ(removed.notifications.size(), 1u);
    EXPECT_EQ(kept.notifications.size(), 2u);
    EXPECT_EQ(any.notifications.size(), 3u);
}

TEST(SessionNotificationCenterTest, HandlersMayRemoveObserversObserveAndPostFromInside) {
    auto center = makeCenter();
    ASSERT_TRUE(center);
    using Id = platform::NotificationCenter::ObserverId;
    Id first = 0, second = 0;
    int firstCalls = 0, secondCalls = 0;
    Received replacement, follow;

    first = center->observe(std::string("test.re"), [&](const Notification&) {
        ++firstCalls;
        // Removes itself and the observer after it, swaps in a new one and posts.
        center->removeObserver(first);
        center->removeObserver(second);
        center->observe(std::string("test.re"), replacement.handler());
        EXPECT_TRUE(center->post({"test.follow", std::nullopt, {}}).ok());
    });
    second = center->observe(std::string("test.re"), [&](const Notification&) { ++secondCalls; });
    center->observe(std::string("test.follow"), follow.handler());

    ASSERT_TRUE(center->post({"test.re", std::string("1"), {}}).ok());
    ASSERT_TRUE(center->post({"test.re", std::string("2"), {}}).ok());
    ASSERT_TRUE(follow.waitFor(1));
    EXPECT_EQ(firstCalls, 1);
    EXPECT_EQ(secondCalls, 0);
    ASSERT_EQ(replacement.notifications.size(), 1u);
    EXPECT_EQ(replacement.notifications[0].object, "2");
}

TEST(SessionNotificationCenterTest, PostsFromOtherThreadsAreHandledOnTheMainThread) {
    auto center = makeCenter();
    ASSERT_TRUE(center);
    QThread* mainThread = QThread::currentThread();
    std::vector<std::string> objects;
    bool allOnMain = true;
    center->observe(std::string("test.thread"), [&](const Notification& n) {
        allOnMain = allOnMain && QThread::currentThread() == mainThread;
        objects.push_back(n.object.value_or(""));
    });

    std::thread poster([&] {
        for (int i = 0; i < 20; ++i) {
            EXPECT_TRUE(center->post({"test.thread", std::to_string(i), {}}).ok());
        }
    });
    poster.join();
    ASSERT_TRUE(runUntil([&] { return objects.size() >= 20; }));
    EXPECT_TRUE(allOnMain);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(objects[i], std::to_string(i));  // in posting order
}

// Another program floods the bus while this one is busy: one signal larger than a connection
// holds by default, or a backlog of valid notifications that piles up while the main thread
// does not turn. Each is worked off, and the next notification arrives.
TEST(SessionNotificationCenterTest, HearsTheNextNotificationAfterALargeSignalOrABacklog) {
    auto center = makeCenter();
    ASSERT_TRUE(center);
    const std::string name = "com.local.tavrel.test.flood";
    const QString qtName = QString::fromStdString(name);
    Received received;
    center->observe(name, received.handler());
    ASSERT_TRUE(center->synchronize().ok());

    const struct {
        const char* label;
        std::function<bool()> flood;
    } cases[] = {
        {"a backlog of valid notifications",
         [&] {
             // Sent and routed before this thread turns its event loop again, so the whole
             // backlog waits for it at once.
             QDBusConnection bus = floodConnection();
             const QString text(kBacklogItemBytes, QLatin1Char('y'));
             for (int i = 0; i < kBacklogCount; ++i) {
                 if (!bus.send(rawPost({qtName, true, QString::number(i),
                                        QVariantMap{{QStringLiteral("blob"), text}}}))) {
                     return false;
                 }
             }
             return routed(bus);
         }},
        {"one large signal",
         [&] {
             // Not a notification (its userInfo is missing), but every byte of it is read.
             return sendLargeSignal([&](const QString& text) {
                 return rawPost({qtName, true, text});
             });
         }},
    };
    for (const auto& c : cases) {
        received.notifications.clear();
        ASSERT_TRUE(c.flood()) << c.label;
        const Notification next{name, std::string("next"), {}};
        ASSERT_TRUE(center->post(next).ok()) << c.label;
        ASSERT_TRUE(runUntil([&] {
            return !received.notifications.empty() && received.notifications.back() == next;
        })) << c.label;
    }
}

TEST(SessionNotificationCenterTest, FlushAndSynchronizeSucceedOnALiveBus) {
    auto center = makeCenter();
    ASSERT_TRUE(center);
    EXPECT_TRUE(center->flush().ok());  // nothing posted
    ASSERT_TRUE(center->post({"test.flush", std::nullopt, {}}).ok());
    EXPECT_TRUE(center->flush().ok());
    EXPECT_TRUE(center->synchronize().ok());
}

}  // namespace
}  // namespace tavrel::testing
