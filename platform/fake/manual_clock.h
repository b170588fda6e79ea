#pragma once

// A clock a test sets and moves by hand. Safe to read from any thread.

#include <mutex>

#include "platform/clock.h"

namespace tavrel::platform {

class ManualClock final : public Clock {
public:
    ManualClock() = default;
    ManualClock(Duration uptime, std::chrono::system_clock::time_point now)
        : uptime_(uptime), now_(now) {}

    Duration uptime() const override;
    std::chrono::system_clock::time_point now() const override;

    void setUptime(Duration uptime);
    void setNow(std::chrono::system_clock::time_point now);
    // Moves both clocks forward together, as time passing would.
    void advance(Duration by);

private:
    mutable std::mutex mutex_;
    Duration uptime_{};
    std::chrono::system_clock::time_point now_{};
};

}  // namespace tavrel::platform
