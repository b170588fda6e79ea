#pragma once

// A distributed notification as it travels between the suite's processes: a name, an optional
// object string (absent is not the same as empty) and a small dictionary of values.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavrel {

using NotificationBytes = std::vector<std::uint8_t>;

// The only value types a notification carries: string, boolean, double, 64-bit integer, bytes.
using NotificationValue = std::variant<std::string, bool, double, std::int64_t, NotificationBytes>;

using NotificationUserInfo = std::map<std::string, NotificationValue, std::less<>>;

struct Notification {
    std::string name;
    std::optional<std::string> object;
    NotificationUserInfo userInfo;

    friend bool operator==(const Notification&, const Notification&) = default;
};

// Typed reads of one userInfo entry; each gives nothing when the key is missing or holds
// another type, which is how receivers treat a mistyped key.
const std::string* userInfoString(const NotificationUserInfo& info, std::string_view key);
std::optional<bool> userInfoBool(const NotificationUserInfo& info, std::string_view key);
const NotificationBytes* userInfoBytes(const NotificationUserInfo& info, std::string_view key);

// Reads a number (double, integer or boolean) as a double, the way a property-list number
// is read whatever its storage type.
std::optional<double> userInfoNumber(const NotificationUserInfo& info, std::string_view key);

// Reads a number's boolean value: non-zero is true. Booleans read as themselves.
std::optional<bool> userInfoNumberBool(const NotificationUserInfo& info, std::string_view key);

}  // namespace tavrel
