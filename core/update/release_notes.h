#pragma once

// The notes box of the newer-version alert: up to three releases as the service listed them,
// each with its release date in the user's time zone when "createdAt" is a full RFC 3339
// date-time.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/update/settings_update_response.h"

namespace tavrel {

// The local time zone's offset from UTC at a moment (daylight saving included). The window
// asks the system's zone; tests give fixed offsets.
using UtcOffsetAt = std::function<std::chrono::seconds(std::chrono::sys_seconds)>;

// The moment of an RFC 3339 date-time: "2025-03-01T10:20:30Z", "2025-03-01T10:20:30.250+08:00".
// A date alone, a time without a zone, an impossible date or any other text gives nothing.
std::optional<std::chrono::sys_seconds> parseInternetDateTime(std::string_view text);

// "2025年3月1日" for the day the moment falls on in the local zone; nothing when the text is no
// internet date-time.
std::optional<std::string> formattedReleaseDate(std::string_view createdAt,
                                                const UtcOffsetAt& utcOffsetAt);

// Blocks of "版本 <version>[    更新日期：<date>]\n<notes trimmed>" joined by an empty line, for
// the first three records in the service's order; empty for no records.
std::string releaseNotesText(const std::vector<SettingsUpdateVersionRecord>& versions,
                             const UtcOffsetAt& utcOffsetAt);

}  // namespace tavrel
