#pragma once

// The helper's own reading of the taskbar's settings.json: the four keys it uses and nothing
// else. It does not share the settings application's decoder on purpose; the helper must start
// whatever state that document is in.
//
// Rules: every key is optional and null counts as absent; other keys are ignored. A key of ours
// holding a value of the wrong type (a colour lacking one of its four components included)
// makes the whole document undecodable, and then every setting counts as absent.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>

#include "core/foundation/result.h"

namespace tavrel {

// The colour record of the settings document: "red", "green", "blue", "alpha", all required.
struct HelperDockTileCodableColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;
    friend bool operator==(const HelperDockTileCodableColor&,
                           const HelperDockTileCodableColor&) = default;
};

struct HelperDockTileStoredSettings {
    // The settings application refuses documents above this size, so no valid one is larger.
    static constexpr std::size_t maxBytes = 4 * 1024 * 1024;

    std::optional<bool> hideNativeDock;
    std::optional<bool> nativeDockLauncherUseUserAvatar;
    std::optional<HelperDockTileCodableColor> nativeDockLauncherAvatarBorderColor;
    std::optional<double> nativeDockLauncherAvatarBorderWidth;

    friend bool operator==(const HelperDockTileStoredSettings&,
                           const HelperDockTileStoredSettings&) = default;

    static Result<HelperDockTileStoredSettings> decode(std::string_view bytes);
    // Reads and decodes the file; an error when it is missing, too large or undecodable.
    static Result<HelperDockTileStoredSettings> load(const std::filesystem::path& path);
};

// settings.json in the per-user data directory.
std::filesystem::path helperSettingsDocumentPath();

}  // namespace tavrel
