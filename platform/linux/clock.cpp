#include "platform/clock.h"

#include <time.h>

namespace tavrel::platform {
namespace {

class SystemClock final : public Clock {
public:
    Duration uptime() const override {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    }

    std::chrono::system_clock::time_point now() const override {
        return std::chrono::system_clock::now();
    }
};

}  // namespace

std::shared_ptr<Clock> systemClock() {
    static const auto clock = std::make_shared<SystemClock>();
    return clock;
}

}  // namespace tavrel::platform
