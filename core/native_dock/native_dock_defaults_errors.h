#pragma once

// What the defaults tool prints on standard error when a key or a whole domain is missing. A
// `defaults delete` of something already absent is harmless while restoring the Dock, and a
// missing bounce key is a value of its own ("missing"), so these texts are told apart from real
// failures.

#include <string>
#include <string_view>

namespace tavrel {

struct NativeDockDefaultsErrors {
    // True when `output` contains one of the three texts below for `domain` and `key` (plain,
    // case-sensitive substring search).
    static bool isMissingKey(std::string_view output, std::string_view domain,
                             std::string_view key);

    // "The domain/default pair of (<domain>, <key>) does not exist" carries the first text.
    static std::string missingPairText(std::string_view domain, std::string_view key);
    // "Could not find key '<key>' in domain '<domain>'."
    static std::string missingKeyText(std::string_view domain, std::string_view key);
    // "Domain (<domain>) not found."
    static std::string missingDomainText(std::string_view domain);
};

}  // namespace tavrel
