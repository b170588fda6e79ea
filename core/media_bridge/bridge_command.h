#pragma once

// What one input line of the bridge asks for. The client speaks a tiny line protocol: a line
// starting with "refresh" asks for a report; a line whose leading integer is 2, 4 or 5 sends that
// transport command; anything else is ignored.

#include <cstdint>
#include <string_view>

namespace tavrel {

struct BridgeCommand {
    enum class Kind { ignore, refresh, send };
    Kind kind = Kind::ignore;
    int number = 0;  // the command number when kind == send

    friend bool operator==(const BridgeCommand&, const BridgeCommand&) = default;
};

// The integer value of a string as the client's platform reads it: optional leading white space,
// an optional sign, then decimal digits; no digits gives 0. Values beyond 64 bits saturate.
std::int64_t leadingIntegerValue(std::string_view text);

// Lines that are not UTF-8 are ignored: the client's platform cannot turn them into text either.
BridgeCommand parseBridgeCommand(std::string_view line);

}  // namespace tavrel
