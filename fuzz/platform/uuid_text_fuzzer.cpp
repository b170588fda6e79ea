// UUID text arrives in documents and notifications.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/uuid.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto uuid = tavrel::platform::Uuid::parse(text);
    if (!uuid) return 0;
    // Whatever parses prints back to the same bytes, in one case or the other.
    if (tavrel::platform::Uuid::parse(uuid->string()) != uuid) __builtin_trap();
    if (uuid->string().size() != text.size()) __builtin_trap();
    return 0;
}
