#pragma once

// Preference domains: the per-user store of values by domain and key, read like the macOS
// defaults store. On Linux each domain is one property list, preferencesDirectory()/<domain>.plist
// (XML or binary), decoded with libplist.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/foundation/result.h"

namespace tavrel::platform {

using PreferenceValue = std::variant<bool, std::int64_t, double, std::string>;
using PreferenceDomain = std::map<std::string, PreferenceValue, std::less<>>;

class PreferenceDomains {
public:
    virtual ~PreferenceDomains() = default;
    // Nothing when the domain or the key is missing, or the value is of another type
    // (arrays, dictionaries, dates, data).
    virtual std::optional<PreferenceValue> value(std::string_view domain,
                                                 std::string_view key) const = 0;
};

struct PreferenceLimits {
    static constexpr std::size_t maxDomainFileBytes = 1024 * 1024;
};

// A domain name is usable as a file name: not empty, not "." or "..", no "/" or NUL, valid UTF-8,
// at most 255 bytes.
bool isValidPreferenceDomainName(std::string_view domain);

// Decodes one domain file. Fails for anything that is not a property list whose root is a
// dictionary, or that is larger than the limit. Entries of unsupported types are left out.
Result<PreferenceDomain> decodePreferenceDomain(std::string_view bytes);

// The files under `directory` (normally paths::preferencesDirectory()), read on every call.
std::unique_ptr<PreferenceDomains> makeFilePreferenceDomains(std::filesystem::path directory);

}  // namespace tavrel::platform
