// The time-driven rules with clocks and queues the test moves: the click filter, the memory
// timer's schedule and the debounced launcher redraw.

#include <chrono>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "core/helper/debounced_task.h"
#include "core/helper/memory_refresh_timer.h"
#include "core/helper/widget_click_filter.h"
#include "platform/fake/manual_clock.h"
#include "platform/fake/manual_main_queue.h"
#include "tests/helper/queue_clock.h"

namespace tavrel {
namespace {

using namespace std::chrono_literals;
using Seconds = std::chrono::duration<double>;

std::chrono::system_clock::time_point unixTime(Seconds seconds) {
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(seconds));
}

TEST(WidgetClickFilter, DropsRepeatedClicksAndReportsTooClose) {
    struct Step {
        std::chrono::milliseconds after;  // since the previous step
        std::optional<double> sinceMouseUp;
        bool posts;
        std::optional<double> clickUptime;  // relative to the uptime at the first step
    };
    struct Case {
        const char* label;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases{
        {"two reports 0.1 s apart post once",
         {{0ms, std::nullopt, true, std::nullopt}, {100ms, std::nullopt, false, std::nullopt}}},
        {"0.15 s apart is still too close, 0.151 s is not",
         {{0ms, std::nullopt, true, std::nullopt},
          {150ms, std::nullopt, false, std::nullopt},
          {151ms, std::nullopt, true, std::nullopt}}},
        {"a mouse-up within 0.05 s of the reported one is that click",
         {{0ms, 0.2, true, -0.2}, {300ms, 0.54, false, std::nullopt}, {300ms, 0.1, true, 0.5}}},
        {"a mouse-up 0.06 s away is another click",
         {{0ms, 0.2, true, -0.2}, {300ms, 0.44, true, -0.14}}},
        {"older than a second, or in the future, is no recent click",
         {{0ms, 1.5, true, std::nullopt},
          {200ms, -0.1, true, std::nullopt},
          {200ms, 1.0, true, -0.6}}},
        {"a report without a click does not forget the last click",
         {{0ms, 0.3, true, -0.3},
          {200ms, std::nullopt, true, std::nullopt},
          {200ms, 0.7, false, std::nullopt}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const auto start = 1000s;
        auto clock = std::make_shared<platform::ManualClock>(start, unixTime(Seconds(1.7e9)));
        WidgetClickFilter filter(clock);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE(i);
            const Step& step = c.steps[i];
            clock->advance(step.after);
            const auto report = filter.evaluate(step.sinceMouseUp);
            ASSERT_EQ(report.has_value(), step.posts);
            if (!report) continue;
            ASSERT_EQ(report->clickUptime.has_value(), step.clickUptime.has_value());
            if (step.clickUptime) {
                EXPECT_NEAR(*report->clickUptime - Seconds(start).count(), *step.clickUptime, 1e-9);
            }
        }
    }
}

TEST(WidgetClickFilter, WallClockSetBackDoesNotSwallowClicks) {
    auto clock = std::make_shared<platform::ManualClock>(50s, unixTime(Seconds(1.7e9)));
    WidgetClickFilter filter(clock);
    ASSERT_TRUE(filter.evaluate(std::nullopt));
    clock->setNow(unixTime(Seconds(1.7e9 - 3600)));
    clock->setUptime(51s);
    EXPECT_TRUE(filter.evaluate(std::nullopt));
}

TEST(MemoryRefreshTimer, FirstTickFallsOnTheEightSecondGridButNotBeforeOneSecond) {
    struct Case {
        double unixSeconds;
        double delay;
    };
    const std::vector<Case> cases{
        {1'700'000'000.5, 7.5},  // 1 700 000 000 is a multiple of 8
        {1'700'000'007.5, 1.0},
        {1'700'000'006.9, 1.1},
        {1'700'000'008.0, 8.0},
        {1'700'000'007.0, 1.0},
        {0.25, 7.75},
        {-0.5, 1.0},
        {-3.0, 3.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unixSeconds);
        EXPECT_NEAR(Seconds(firstMemoryRefreshDelay(unixTime(Seconds(c.unixSeconds)))).count(),
                    c.delay, 1e-6);
    }
}

TEST(MemoryRefreshTimer, TicksEveryEightSecondsFromTheFirstWithoutDrift) {
    struct Case {
        double startRemainder;
        std::vector<double> ticks;  // seconds after start
    };
    const std::vector<Case> cases{
        {0.5, {7.5, 15.5, 23.5, 31.5}},
        {7.5, {1.0, 9.0, 17.0, 25.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.startRemainder);
        platform::ManualMainQueue queue;
        auto clock = std::make_shared<testing::QueueClock>(
            queue, 100s, unixTime(Seconds(1'700'000'000 + c.startRemainder)));
        MemoryRefreshTimer timer(queue, clock);
        std::vector<double> ticks;
        timer.start([&] { ticks.push_back(Seconds(queue.now()).count()); });
        queue.advanceBy(std::chrono::milliseconds(32'000));
        ASSERT_EQ(ticks.size(), c.ticks.size());
        for (std::size_t i = 0; i < ticks.size(); ++i) EXPECT_NEAR(ticks[i], c.ticks[i], 1e-6);
    }
}

TEST(MemoryRefreshTimer, RestartReplacesTheScheduleAndStopEndsIt) {
    platform::ManualMainQueue queue;
    auto clock =
        std::make_shared<testing::QueueClock>(queue, 100s, unixTime(Seconds(1'700'000'000.5)));
    MemoryRefreshTimer timer(queue, clock);
    int first = 0;
    int second = 0;
    timer.start([&] { ++first; });
    queue.advanceBy(3s);
    timer.start([&] { ++second; });  // remainder 3.5 now: next grid point 4.5 s later
    queue.advanceBy(4s);
    EXPECT_EQ(second, 0);
    queue.advanceBy(500ms);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);

    timer.stop();
    queue.advanceBy(60s);
    EXPECT_EQ(second, 1);
    EXPECT_FALSE(timer.isRunning());
}

TEST(DebouncedTask, ABurstRunsOnceAfterTheLastTrigger) {
    platform::ManualMainQueue queue;
    DebouncedTask debounce(queue, 200ms);
    std::vector<std::chrono::nanoseconds> runs;
    for (int i = 0; i < 5; ++i) {
        debounce.schedule([&] { runs.push_back(queue.now()); });
        queue.advanceBy(100ms);
    }
    EXPECT_TRUE(runs.empty());
    EXPECT_TRUE(debounce.isPending());
    queue.advanceBy(1s);
    // The fifth trigger came at 0.4 s.
    EXPECT_EQ(runs, std::vector<std::chrono::nanoseconds>{600ms});
    EXPECT_FALSE(debounce.isPending());

    {
        DebouncedTask gone(queue, 200ms);
        gone.schedule([&] { runs.push_back(queue.now()); });
    }
    queue.advanceBy(1s);
    EXPECT_EQ(runs.size(), 1u);
}

}  // namespace
}  // namespace tavrel
