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

// Reading and changing one domain file at a time, as the command-line defaults tool does.
// A change rewrites the domain's file atomically as a binary property list, under an exclusive
// lock on `directory` so that two writers never lose each other's keys; entries the change does
// not touch are kept as they were, whatever their type. A file that exists but does not decode
// is never overwritten.

enum class PreferenceRemoval {
    removed,
    missingKey,     // the domain exists, the key does not
    missingDomain,  // the domain has no file
};

// The domain's values (entries of unsupported types left out), or nothing when the domain has
// no file. An error when the file exists but cannot be read or decoded, or the name is unusable.
Result<std::optional<PreferenceDomain>> readPreferenceDomain(const std::filesystem::path& directory,
                                                             std::string_view domain);

// Sets one key, creating the directory and the domain file when needed. Keys must be non-empty
// valid UTF-8 without NUL; doubles must be finite.
Status setPreferenceValue(const std::filesystem::path& directory, std::string_view domain,
                          std::string_view key, const PreferenceValue& value);

// Removes one key. The domain file stays, even when it becomes empty.
Result<PreferenceRemoval> removePreferenceValue(const std::filesystem::path& directory,
                                                std::string_view domain, std::string_view key);

}  // namespace tavrel::platform
