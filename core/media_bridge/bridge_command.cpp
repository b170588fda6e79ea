#include "core/media_bridge/bridge_command.h"

#include <limits>

#include "core/foundation/utf8.h"
#include "platform/now_playing.h"

namespace tavrel {
namespace {

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::int64_t leadingIntegerValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isWhiteSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate towards the sign so that the most negative value is reachable without overflow.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (negative) {
            if (value < (kMin + digit) / 10) return kMin;
            value = value * 10 - digit;
        } else {
            if (value > (kMax - digit) / 10) return kMax;
            value = value * 10 + digit;
        }
    }
    return value;
}

BridgeCommand parseBridgeCommand(std::string_view line) {
    if (!isValidUtf8(line)) return {};
    if (line.starts_with("refresh")) return {BridgeCommand::Kind::refresh, 0};
    const std::int64_t number = leadingIntegerValue(line);
    switch (number) {
        case platform::kNowPlayingCommandTogglePlayPause:
        case platform::kNowPlayingCommandNextTrack:
        case platform::kNowPlayingCommandPreviousTrack:
            return {BridgeCommand::Kind::send, static_cast<int>(number)};
        default:
            return {};
    }
}

}  // namespace tavrel
