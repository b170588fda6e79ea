#pragma once

// Where a file just created on the desktop should appear, and the request that asks the taskbar
// application to put it there.
//
// Screen geometry uses global screen coordinates: origin at the bottom left of the main screen,
// y upward. The icon position counts from the top left of the screen holding the click point.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/foundation/result.h"

namespace tavrel {

struct ScreenPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

struct ScreenFrame {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    // Left and bottom edges belong to the frame, right and top edges do not.
    bool contains(ScreenPoint point) const;
    friend bool operator==(const ScreenFrame&, const ScreenFrame&) = default;
};

struct DesktopIconPosition {
    std::int64_t x = 0;
    std::int64_t y = 0;
    friend bool operator==(const DesktopIconPosition&, const DesktopIconPosition&) = default;
};

// The icon's position for a click: measured against the first screen holding the click, else
// the main screen (the first), 32 points up and left of the click, clamped into that screen and
// rounded (halves away from zero). Nothing without a screen, or for a point or frame that is
// not a usable number.
std::optional<DesktopIconPosition> desktopIconPosition(ScreenPoint click,
                                                       const std::vector<ScreenFrame>& screens);

// A folder is the desktop when it is the user's desktop directory or any folder named "Desktop".
bool isDesktopDirectory(const std::filesystem::path& folder,
                        const std::optional<std::filesystem::path>& userDesktopDirectory);

struct DesktopIconPositionRequest {
    std::string requestID;  // upper-case UUID
    std::string filePath;
    std::string fileName;
    std::int64_t x = 0;
    std::int64_t y = 0;
    double screenX = 0;
    double screenY = 0;
    double createdAt = 0;  // seconds since 1970 UTC

    // Pretty-printed, keys sorted, UTF-8. Fails for a path that is not UTF-8 or a number that
    // JSON cannot carry.
    Result<std::string> encode() const;
};

}  // namespace tavrel
