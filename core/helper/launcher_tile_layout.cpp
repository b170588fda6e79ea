#include "core/helper/launcher_tile_layout.h"

#include <algorithm>

namespace tavrel {

TileRect launcherAvatarCircle() {
    const double side = kLauncherTileSide - 2 * kLauncherAvatarInset;
    return {kLauncherAvatarInset, kLauncherAvatarInset, side, side};
}

double launcherAvatarRingWidth(std::optional<double> storedWidth) {
    double width = storedWidth.value_or(2);
    if (!(width >= 0)) width = 0;  // negative, or no number at all
    return std::clamp(width, 0.5, 8.0);
}

TileColor launcherAvatarRingColor(const std::optional<HelperDockTileCodableColor>& stored) {
    if (!stored) return {1, 1, 1, 1};
    auto unit = [](double v) { return std::clamp(v, 0.0, 1.0); };
    return {unit(stored->red), unit(stored->green), unit(stored->blue), unit(stored->alpha)};
}

LauncherTileContent launcherTileContent(
    const std::optional<HelperDockTileStoredSettings>& settings) {
    LauncherTileContent content;
    if (settings) {
        content.useUserAvatar = settings->nativeDockLauncherUseUserAvatar.value_or(false);
        content.ringColor = launcherAvatarRingColor(settings->nativeDockLauncherAvatarBorderColor);
        content.ringWidth = launcherAvatarRingWidth(settings->nativeDockLauncherAvatarBorderWidth);
    } else {
        content.ringColor = launcherAvatarRingColor(std::nullopt);
        content.ringWidth = launcherAvatarRingWidth(std::nullopt);
    }
    return content;
}

std::vector<std::filesystem::path> userAvatarFileCandidates(const AvatarLocations& locations) {
    std::vector<std::filesystem::path> candidates;
    // A user name with a slash or a dot-name would leave the icon directory.
    const std::string& user = locations.userName;
    if (!user.empty() && user != "." && user != ".." && user.find('/') == std::string::npos &&
        user.find('\0') == std::string::npos) {
        candidates.push_back(locations.accountsServiceIconDirectory / user);
    }
    if (!locations.home.empty()) candidates.push_back(locations.home / ".face");
    return candidates;
}

}  // namespace tavrel
