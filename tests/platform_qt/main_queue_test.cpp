// The main queue over the Qt event loop.

#include "platform/main_queue.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <QThread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/platform_qt/qt_test_support.h"

namespace tavrel::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

class MainQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        queue = platform::makeMainQueue();
    }
    std::unique_ptr<platform::MainQueue> queue;
    std::vector<std::string> ran;
    auto record(std::string label) {
        return [this, label] { ran.push_back(label); };
    }
};

TEST_F(MainQueueTest, RunsOnLaterTurnsInDueOrder) {
    queue->asyncAfter(40ms, record("after 40ms"));
    queue->async(record("first"));
    queue->asyncAfter(5ms, record("after 5ms"));
    queue->asyncAfter(0ms, record("zero delay"));
    queue->asyncAfter(-5ms, record("negative delay"));
    queue->async(record("second"));
    EXPECT_TRUE(ran.empty());  // never inline, not even a zero delay

    ASSERT_TRUE(runUntil([&] { return ran.size() == 6; }));
    EXPECT_THAT(ran, ElementsAre("first", "zero delay", "negative delay", "second", "after 5ms",
                                 "after 40ms"));
}

TEST_F(MainQueueTest, NeverRunsBeforeItsDelay) {
    // Covers both timer kinds: coarse timers may fire early and must be caught.
    for (auto delay : {1ms, 17ms, 1100ms}) {
        const auto start = std::chrono::steady_clock::now();
        std::chrono::steady_clock::time_point at;
        bool done = false;
        queue->asyncAfter(delay, [&] {
            at = std::chrono::steady_clock::now();
            done = true;
        });
        ASSERT_TRUE(runUntil([&] { return done; }, delay + 15s));
        EXPECT_GE(at - start, delay) << delay.count() << " ms";
    }
}

TEST_F(MainQueueTest, CancelledTasksNeverRun) {
    const auto soon = queue->async(record("cancelled async"));
    const auto later = queue->asyncAfter(5ms, record("cancelled delayed"));
    queue->async([&] {
        ran.push_back("canceller");
        queue->cancel(soon);  // already ran: nothing happens
    });
    queue->cancel(soon);
    queue->cancel(later);
    queue->cancel(424242);  // unknown id

    // A task cancelling one queued behind it.
    platform::MainQueue::TaskId victim = 0;
    queue->async([&] {
        ran.push_back("cancels the next");
        queue->cancel(victim);
    });
    victim = queue->async(record("victim"));

    bool end = false;
    queue->asyncAfter(30ms, [&] { end = true; });
    ASSERT_TRUE(runUntil([&] { return end; }));
    EXPECT_THAT(ran, ElementsAre("canceller", "cancels the next"));
}

TEST_F(MainQueueTest, WorkFromOtherThreadsRunsOnTheMainThreadInOrder) {
    QThread* mainThread = QThread::currentThread();
    constexpr int kThreads = 4;
    constexpr int kTasks = 200;
    std::mutex mutex;
    std::vector<std::vector<int>> order(kThreads);
    std::atomic<int> offMain{0};
    std::atomic<int> delayedRan{0};
    std::atomic<int> cancelledRan{0};

    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kTasks; ++i) {
                queue->async([&, t, i] {
                    if (QThread::currentThread() != mainThread) ++offMain;
                    std::lock_guard lock(mutex);
                    order[t].push_back(i);
                });
            }
            queue->asyncAfter(2ms, [&] {
                if (QThread::currentThread() != mainThread) ++offMain;
                ++delayedRan;
            });
            // Cancelled from this thread before the main thread could run it.
            queue->cancel(queue->asyncAfter(1ms, [&] { ++cancelledRan; }));
            queue->cancel(queue->async([&] { ++cancelledRan; }));
        });
    }
    for (auto& thread : threads) thread.join();

    ASSERT_TRUE(runUntil([&] { return delayedRan == kThreads; }));
    bool end = false;
    queue->asyncAfter(20ms, [&] { end = true; });
    ASSERT_TRUE(runUntil([&] { return end; }));
    EXPECT_EQ(offMain, 0);
    EXPECT_EQ(cancelledRan, 0);
    std::vector<int> expected(kTasks);
    for (int i = 0; i < kTasks; ++i) expected[i] = i;
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(order[t], expected) << "thread " << t;
}

TEST_F(MainQueueTest, DestroyingTheQueueDropsItsPendingWork) {
    queue->async(record("async"));
    queue->asyncAfter(1ms, record("delayed"));
    std::thread([&] { queue->asyncAfter(1ms, record("delayed from a thread")); }).join();
    queue.reset();

    auto other = platform::makeMainQueue();
    bool end = false;
    other->asyncAfter(20ms, [&] { end = true; });
    ASSERT_TRUE(runUntil([&] { return end; }));
    EXPECT_TRUE(ran.empty());
}

}  // namespace
}  // namespace tavrel::testing
