#pragma once

// The launcher tile: a 128-point picture that is either the launcher icon or the user's picture
// cut into a circle with a coloured ring, and where that user picture comes from.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/helper/helper_dock_tile_stored_settings.h"
#include "core/helper/widget_tile_geometry.h"

namespace tavrel {

inline constexpr double kLauncherTileSide = 128;
inline constexpr double kLauncherAvatarInset = 14;
inline constexpr std::string_view kStartMenuIconResource = "StartMenuIcon.png";

// The 100 × 100 square at (14, 14) the avatar circle fills.
TileRect launcherAvatarCircle();

// A negative width counts as 0, then clamped to 0.5…8; 2 when absent.
double launcherAvatarRingWidth(std::optional<double> storedWidth);

// The stored colour, each component clamped to 0…1; white when absent.
TileColor launcherAvatarRingColor(const std::optional<HelperDockTileCodableColor>& stored);

// What the launcher tile shows, from the settings as read (nothing: the file was missing or
// undecodable, and every setting counts as absent).
struct LauncherTileContent {
    bool useUserAvatar = false;
    TileColor ringColor;
    double ringWidth = 2;
    friend bool operator==(const LauncherTileContent&, const LauncherTileContent&) = default;
};
LauncherTileContent launcherTileContent(
    const std::optional<HelperDockTileStoredSettings>& settings);

// Where the user's picture is looked for, best first: the AccountsService icon of the user,
// then ~/.face. (The icon theme's generic user icon and the home folder's icon come after them
// and are not files of their own.)
struct AvatarLocations {
    std::filesystem::path accountsServiceIconDirectory = "/var/lib/AccountsService/icons";
    std::string userName;
    std::filesystem::path home;
};
std::vector<std::filesystem::path> userAvatarFileCandidates(const AvatarLocations& locations);

// User pictures are small; a larger file is not decoded.
inline constexpr std::size_t kUserAvatarMaxBytes = 16 * 1024 * 1024;

}  // namespace tavrel
