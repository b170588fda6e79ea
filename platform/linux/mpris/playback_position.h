#pragma once

// Where a player is in its track, the way MPRIS has clients track it: a player announces only
// discontinuities (Seeked, a new track, a change of status or rate); in between, the position
// advances at the rate while playing and stands still otherwise. Following that model lets a
// report go out without asking the player first.

#include <chrono>
#include <cstdint>
#include <optional>

namespace tavrel::platform::mpris {

class PlaybackPosition {
public:
    using Time = std::chrono::steady_clock::time_point;

    // The position (µs) read from the player or announced by it, as of `at`.
    void set(std::int64_t microseconds, Time at);
    // The effective rate changes (0 while paused or stopped); the position so far is kept.
    void changeRate(double rate, Time at);
    // The position at `at`, never negative; nothing until a position was set.
    std::optional<std::int64_t> at(Time at) const;

private:
    std::optional<std::int64_t> anchor_;
    Time anchorTime_{};
    double rate_ = 0;
};

}  // namespace tavrel::platform::mpris
