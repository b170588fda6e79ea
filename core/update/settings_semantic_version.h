#pragma once

// A release's version as the update check compares it: exactly three dot-separated decimal
// numbers, each fitting a signed 64-bit integer. Anything else (two pieces, a suffix such as
// -beta, a sign, a leading letter) is no version at all, so it can never count as newer.

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tavrel {

struct SettingsSemanticVersion {
    std::int64_t major = 0;
    std::int64_t minor = 0;
    std::int64_t patch = 0;

    // Leading zeros are allowed ("2.08.00" is 2.8.0); a sign, a blank, a letter, an empty piece
    // or a piece too large for 64 bits makes the text no version.
    static std::optional<SettingsSemanticVersion> parse(std::string_view text);

    // Major, then minor, then patch, numerically.
    friend auto operator<=>(const SettingsSemanticVersion&,
                            const SettingsSemanticVersion&) = default;
};

}  // namespace tavrel
