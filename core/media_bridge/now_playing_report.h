#pragma once

// The records the bridge writes, one compact JSON object per line:
//   now-playing report  {"Title": …, "Artist": …, …, "isPlaying": bool, "pid": int}
//   command answer      {"command": n, "accepted": bool}
//   start-up failure    {"error": "media-symbols-unavailable"}

#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "core/foundation/result.h"
#include "platform/now_playing.h"

namespace tavrel {

// The report keys copied from the info entries, in the order they are looked up.
inline constexpr std::array<std::string_view, 7> kNowPlayingReportKeys = {
    "Title", "Artist", "Album", "Duration", "ElapsedTime", "PlaybackRate", "ArtworkIdentifier"};
inline constexpr std::string_view kNowPlayingReportArtworkData = "ArtworkData";
inline constexpr std::string_view kStartupFailureError = "media-symbols-unavailable";

// Strings and numbers are copied, artwork bytes become Base64; every other entry is left out, and
// so are numbers JSON cannot carry (NaN, infinities) and text that is not UTF-8, so that one bad
// entry never costs the whole report. "isPlaying" and "pid" are always present.
nlohmann::json makeNowPlayingReport(const std::optional<platform::NowPlayingInfo>& info,
                                    bool isPlaying, std::int64_t pid);
nlohmann::json makeCommandAnswer(int command, bool accepted);
nlohmann::json makeStartupFailureRecord();

// One line of output without its line feed; an error when the record cannot be serialised
// (such a record is not written).
Result<std::string> encodeBridgeRecord(const nlohmann::json& record);

}  // namespace tavrel
