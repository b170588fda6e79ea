#pragma once

// The memory widget's refresh ticks: on multiples of 8 seconds of Unix time, so that every
// memory tile on the machine changes together, but never sooner than 1 second after starting.
// Later ticks follow every 8 seconds from the first one without drifting.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "platform/clock.h"
#include "platform/main_queue.h"

namespace tavrel {

inline constexpr std::chrono::seconds kMemoryRefreshInterval{8};
inline constexpr std::chrono::seconds kMemoryRefreshMinimumFirstDelay{1};

// max(8 − (t mod 8), 1) seconds, t being seconds since 1970 at `now` (also before 1970).
std::chrono::nanoseconds firstMemoryRefreshDelay(std::chrono::system_clock::time_point now);

class MemoryRefreshTimer {
public:
    MemoryRefreshTimer(platform::MainQueue& queue, std::shared_ptr<const platform::Clock> clock);
    ~MemoryRefreshTimer();
    MemoryRefreshTimer(const MemoryRefreshTimer&) = delete;
    MemoryRefreshTimer& operator=(const MemoryRefreshTimer&) = delete;

    // Replaces any earlier schedule. Ticks missed while the main thread was busy are not made
    // up: the next tick is the next one on the 8-second grid.
    void start(std::function<void()> tick);
    void stop();
    bool isRunning() const { return task_.has_value(); }

private:
    void arm();
    void fire();

    platform::MainQueue& queue_;
    std::shared_ptr<const platform::Clock> clock_;
    std::function<void()> tick_;
    std::optional<platform::MainQueue::TaskId> task_;
    platform::Clock::Duration nextDue_{};  // on the uptime clock
    // Tasks already queued by an earlier start() must not run the new tick.
    std::shared_ptr<int> generation_ = std::make_shared<int>(0);
};

}  // namespace tavrel
