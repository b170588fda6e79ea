#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel::platform {

// A random (version 4) UUID.
struct Uuid {
    std::array<std::uint8_t, 16> bytes{};

    static Uuid random();
    // Accepts the 8-4-4-4-12 hexadecimal form in either letter case.
    static std::optional<Uuid> parse(std::string_view text);

    // Canonical text: upper-case hexadecimal in 8-4-4-4-12 groups.
    std::string string() const;
    std::string lowercaseString() const;

    friend bool operator==(const Uuid&, const Uuid&) = default;
};

}  // namespace tavrel::platform
