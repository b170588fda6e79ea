// Any bytes either fail as a whole or give settings whose numbers are finite, and the same
// bytes always give the same answer. Whatever decodes yields a drawable launcher tile.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/helper/helper_dock_tile_stored_settings.h"
#include "core/helper/launcher_tile_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto first = HelperDockTileStoredSettings::decode(bytes);
    const auto second = HelperDockTileStoredSettings::decode(bytes);
    if (first.ok() != second.ok()) std::abort();
    if (!first) return 0;
    if (!(*first == *second)) std::abort();

    if (const auto& width = first->nativeDockLauncherAvatarBorderWidth) {
        if (!std::isfinite(*width)) std::abort();
    }
    if (const auto& color = first->nativeDockLauncherAvatarBorderColor) {
        for (double component : {color->red, color->green, color->blue, color->alpha}) {
            if (!std::isfinite(component)) std::abort();
        }
    }
    const LauncherTileContent content = launcherTileContent(*first);
    if (!(content.ringWidth >= 0.5 && content.ringWidth <= 8)) std::abort();
    for (double component : {content.ringColor.red, content.ringColor.green, content.ringColor.blue,
                             content.ringColor.alpha}) {
        if (!(component >= 0 && component <= 1)) std::abort();
    }
    return 0;
}
