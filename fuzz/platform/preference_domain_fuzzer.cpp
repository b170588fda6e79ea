// Preference domain files (XML or binary property lists) are edited by other tools and by hand.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "core/foundation/utf8.h"
#include "platform/preferences.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto domain = tavrel::platform::decodePreferenceDomain(bytes);
    if (!domain) return 0;
    if (size > tavrel::platform::PreferenceLimits::maxDomainFileBytes) __builtin_trap();
    // What comes out is text callers can pass on (JSON, notifications) without checking again.
    for (const auto& [key, value] : *domain) {
        if (!tavrel::isValidUtf8(key)) __builtin_trap();
        if (const auto* text = std::get_if<std::string>(&value)) {
            if (!tavrel::isValidUtf8(*text)) __builtin_trap();
        }
    }
    return 0;
}
