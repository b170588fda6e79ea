#include "platform/linux/mpris/playback_position.h"

#include <cmath>
#include <limits>

namespace tavrel::platform::mpris {

void PlaybackPosition::set(std::int64_t microseconds, Time at) {
    anchor_ = microseconds < 0 ? 0 : microseconds;
    anchorTime_ = at;
}

void PlaybackPosition::changeRate(double rate, Time at) {
    if (anchor_) set(*this->at(at), at);
    rate_ = std::isfinite(rate) ? rate : 0;
}

std::optional<std::int64_t> PlaybackPosition::at(Time at) const {
    if (!anchor_) return std::nullopt;
    const double elapsed = std::chrono::duration<double, std::micro>(at - anchorTime_).count();
    const double position = double(*anchor_) + rate_ * elapsed;
    if (!(position > 0)) return 0;
    if (position >= double(std::numeric_limits<std::int64_t>::max())) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return std::int64_t(position);
}

}  // namespace tavrel::platform::mpris
