#include "platform/linux/mpris/now_playing_choice.h"

#include <tuple>

namespace tavrel::platform::mpris {

std::optional<std::size_t> chooseNowPlaying(std::span<const PlayerCandidate> candidates) {
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const auto rank = [](const PlayerCandidate& c) {
            return std::tuple(c.playing, c.lastChange);
        };
        if (!best || rank(candidates[i]) > rank(candidates[*best])) best = i;
    }
    return best;
}

}  // namespace tavrel::platform::mpris
