#pragma once

// A clock that reads the virtual time of a ManualMainQueue, so that work the queue runs at its
// due time sees that time on the clock too.

#include <chrono>

#include "platform/clock.h"
#include "platform/fake/manual_main_queue.h"

namespace tavrel::testing {

class QueueClock final : public platform::Clock {
public:
    QueueClock(const platform::ManualMainQueue& queue, Duration uptimeAtStart,
               std::chrono::system_clock::time_point nowAtStart)
        : queue_(queue), uptime_(uptimeAtStart), now_(nowAtStart) {}

    Duration uptime() const override { return uptime_ + queue_.now(); }
    std::chrono::system_clock::time_point now() const override {
        return now_ + std::chrono::duration_cast<std::chrono::system_clock::duration>(queue_.now());
    }

private:
    const platform::ManualMainQueue& queue_;
    Duration uptime_;
    std::chrono::system_clock::time_point now_;
};

}  // namespace tavrel::testing
