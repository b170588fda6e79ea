#include "core/new_file/desktop_icon_position.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

namespace tavrel {
namespace {

// Anything beyond this is no screen of this world; it also keeps the integer casts defined.
constexpr double kMaxCoordinate = 1e9;

bool usable(double value) {
    return std::isfinite(value) && std::fabs(value) <= kMaxCoordinate;
}

bool usable(const ScreenFrame& frame) {
    return usable(frame.x) && usable(frame.y) && usable(frame.width) && usable(frame.height) &&
           frame.width >= 0 && frame.height >= 0;
}

}  // namespace

bool ScreenFrame::contains(ScreenPoint point) const {
    return point.x >= x && point.x < x + width && point.y >= y && point.y < y + height;
}

std::optional<DesktopIconPosition> desktopIconPosition(ScreenPoint click,
                                                       const std::vector<ScreenFrame>& screens) {
    if (!usable(click.x) || !usable(click.y) || screens.empty()) return std::nullopt;
    const ScreenFrame* screen = &screens.front();
    for (const ScreenFrame& candidate : screens) {
        if (candidate.contains(click)) {
            screen = &candidate;
            break;
        }
    }
    if (!usable(*screen)) return std::nullopt;
    const double left = click.x - screen->x - 32;
    const double top = (screen->y + screen->height) - click.y - 32;
    const double x = std::clamp(left, 0.0, std::max(0.0, screen->width - 1));
    const double y = std::clamp(top, 0.0, std::max(0.0, screen->height - 1));
    return DesktopIconPosition{static_cast<std::int64_t>(std::round(x)),
                               static_cast<std::int64_t>(std::round(y))};
}

bool isDesktopDirectory(const std::filesystem::path& folder,
                        const std::optional<std::filesystem::path>& userDesktopDirectory) {
    const auto standardized = [](const std::filesystem::path& path) {
        std::filesystem::path normal = path.lexically_normal();
        if (!normal.has_filename() && normal.has_parent_path() && normal != normal.root_path()) {
            normal = normal.parent_path();
        }
        return normal;
    };
    const std::filesystem::path standard = standardized(folder);
    if (userDesktopDirectory && !userDesktopDirectory->empty() &&
        standardized(*userDesktopDirectory) == standard) {
        return true;
    }
    return standard.has_parent_path() && standard.filename() == "Desktop";
}

Result<std::string> DesktopIconPositionRequest::encode() const {
    if (!std::isfinite(screenX) || !std::isfinite(screenY) || !std::isfinite(createdAt)) {
        return Error{"a coordinate or the time is not a number"};
    }
    nlohmann::json json = nlohmann::json::object();
    json["requestID"] = requestID;
    json["filePath"] = filePath;
    json["fileName"] = fileName;
    json["x"] = x;
    json["y"] = y;
    json["screenX"] = screenX;
    json["screenY"] = screenY;
    json["createdAt"] = createdAt;
    try {
        return json.dump(2);
    } catch (const nlohmann::json::exception& error) {
        return Error{error.what()};
    }
}

}  // namespace tavrel
