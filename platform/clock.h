#pragma once

// Time as the logic sees it, so that rules about seconds and deadlines can be tested with a
// clock the test moves by hand.

#include <chrono>
#include <memory>

namespace tavrel::platform {

class Clock {
public:
    using Duration = std::chrono::nanoseconds;

    virtual ~Clock() = default;
    // Seconds since boot, like the system uptime; never jumps.
    virtual Duration uptime() const = 0;
    // Wall-clock time.
    virtual std::chrono::system_clock::time_point now() const = 0;
};

// The machine's clocks (CLOCK_MONOTONIC for uptime).
std::shared_ptr<Clock> systemClock();

}  // namespace tavrel::platform
