#include "core/helper/memory_refresh_timer.h"

#include <utility>

namespace tavrel {

std::chrono::nanoseconds firstMemoryRefreshDelay(std::chrono::system_clock::time_point now) {
    using std::chrono::nanoseconds;
    const nanoseconds interval = kMemoryRefreshInterval;
    const nanoseconds sinceEpoch = std::chrono::duration_cast<nanoseconds>(now.time_since_epoch());
    nanoseconds remainder = sinceEpoch % interval;
    if (remainder < nanoseconds::zero()) remainder += interval;
    return std::max<nanoseconds>(interval - remainder, kMemoryRefreshMinimumFirstDelay);
}

MemoryRefreshTimer::MemoryRefreshTimer(platform::MainQueue& queue,
                                       std::shared_ptr<const platform::Clock> clock)
    : queue_(queue), clock_(std::move(clock)) {}

MemoryRefreshTimer::~MemoryRefreshTimer() {
    stop();
}

void MemoryRefreshTimer::start(std::function<void()> tick) {
    stop();
    tick_ = std::move(tick);
    nextDue_ = clock_->uptime() + firstMemoryRefreshDelay(clock_->now());
    arm();
}

void MemoryRefreshTimer::stop() {
    if (task_) queue_.cancel(*task_);
    task_.reset();
    ++*generation_;
}

void MemoryRefreshTimer::arm() {
    const auto delay = std::max(nextDue_ - clock_->uptime(), platform::Clock::Duration::zero());
    std::weak_ptr<int> alive = generation_;
    const int generation = *generation_;
    task_ = queue_.asyncAfter(delay, [this, alive, generation] {
        auto current = alive.lock();
        if (!current || *current != generation) return;
        fire();
    });
}

void MemoryRefreshTimer::fire() {
    const auto now = clock_->uptime();
    do {
        nextDue_ += kMemoryRefreshInterval;
    } while (nextDue_ <= now);
    arm();
    // The tick may stop or restart the timer; arm first so that wins.
    if (tick_) {
        auto tick = tick_;
        tick();
    }
}

}  // namespace tavrel
