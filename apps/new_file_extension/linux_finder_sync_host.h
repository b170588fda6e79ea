#pragma once

// The extension host's services on Linux: the pointer and the screens from the X server (when
// the session is an X11 session), the desktop directory from the XDG user directories, the
// process id.

#include "core/new_file/finder_sync.h"

namespace tavrel {

class LinuxFinderSyncHost final : public FinderSyncHost {
public:
    // Nothing under Wayland, where no client may read the global pointer position, or without
    // an X display.
    std::optional<ScreenPoint> mouseLocation() override;
    // The monitors of the X screen, the primary one first, in global screen coordinates (origin
    // at the bottom left of the primary monitor, y upward).
    std::vector<ScreenFrame> screens() override;
    std::optional<std::filesystem::path> desktopDirectory() override;
    std::int64_t processIdentifier() override;
};

// X11 geometry (origin top left of the root window, y downward) in global screen coordinates.
struct X11Rectangle {
    long x = 0;
    long y = 0;
    long width = 0;
    long height = 0;
    bool primary = false;
};
// The main monitor first: the primary one, else the one holding the root's origin, else the
// first listed.
std::vector<ScreenFrame> screenFramesFromX11(const std::vector<X11Rectangle>& monitors);
std::optional<ScreenPoint> screenPointFromX11(long x, long y,
                                              const std::vector<X11Rectangle>& monitors);

}  // namespace tavrel
