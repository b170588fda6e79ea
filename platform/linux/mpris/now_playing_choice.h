#pragma once

// Which player is the now-playing application: the one that is playing, else the one that
// changed most recently; among several playing ones, again the most recently changed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tavrel::platform::mpris {

struct PlayerCandidate {
    bool playing = false;
    std::uint64_t lastChange = 0;  // larger is more recent
};

// The index of the now-playing candidate, or nothing when there are none.
std::optional<std::size_t> chooseNowPlaying(std::span<const PlayerCandidate> candidates);

}  // namespace tavrel::platform::mpris
