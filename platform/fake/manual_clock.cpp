#include "platform/fake/manual_clock.h"

namespace tavrel::platform {

Clock::Duration ManualClock::uptime() const {
    std::lock_guard lock(mutex_);
    return uptime_;
}

std::chrono::system_clock::time_point ManualClock::now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

void ManualClock::setUptime(Duration uptime) {
    std::lock_guard lock(mutex_);
    uptime_ = uptime;
}

void ManualClock::setNow(std::chrono::system_clock::time_point now) {
    std::lock_guard lock(mutex_);
    now_ = now;
}

void ManualClock::advance(Duration by) {
    std::lock_guard lock(mutex_);
    uptime_ += by;
    now_ += std::chrono::duration_cast<std::chrono::system_clock::duration>(by);
}

}  // namespace tavrel::platform
