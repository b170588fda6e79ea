#pragma once

// An application storage box (element of "applicationStorageBoxes").

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/uuid.h"

namespace tavrel {

// Stored as the string "automatic" or "manual".
enum class ApplicationStorageBoxSortMode { automatic, manual };

// Stored as its integer code; a code outside 1…5 makes the whole box unreadable.
enum class ApplicationStorageBoxSize : std::int64_t {
    small = 1,
    medium = 2,
    large = 3,
    extraLarge = 4,
    largest = 5,
};

struct ApplicationStorageBoxConfiguration {
    platform::Uuid id;  // written as its canonical (upper-case) string
    std::string name;
    bool isVisible = true;
    std::optional<ApplicationStorageBoxSortMode> sortMode;
    std::optional<std::vector<std::string>> manualAppOrder;
    std::optional<ApplicationStorageBoxSize> size;

    static constexpr std::string_view legacyIDString = "00000000-0000-0000-0000-000000000001";
    static platform::Uuid legacyID();
    // The single box of documents written before there could be several.
    static ApplicationStorageBoxConfiguration legacy(bool isVisible);

    friend bool operator==(const ApplicationStorageBoxConfiguration&,
                           const ApplicationStorageBoxConfiguration&) = default;
};

std::string_view sortModeName(ApplicationStorageBoxSortMode mode);
std::optional<ApplicationStorageBoxSortMode> sortModeNamed(std::string_view name);

}  // namespace tavrel
