#include "apps/new_file_extension/linux_finder_sync_host.h"

#include <cstdlib>
#include <string_view>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <glib.h>
#include <unistd.h>

namespace tavrel {
namespace {

bool isWaylandSession() {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    const char* type = std::getenv("XDG_SESSION_TYPE");
    return (display && *display) || (type && std::string_view(type) == "wayland");
}

// One short-lived connection per question: the extension asks once per menu, and a connection
// of its own never disturbs the toolkit's.
class X11Connection {
public:
    X11Connection() : display_(XOpenDisplay(nullptr)) {}
    ~X11Connection() {
        if (display_) XCloseDisplay(display_);
    }
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    Display* get() const { return display_; }

    std::vector<X11Rectangle> monitors() const {
        std::vector<X11Rectangle> result;
        if (!display_) return result;
        const Window root = DefaultRootWindow(display_);
        int eventBase = 0;
        int errorBase = 0;
        int major = 0;
        int minor = 0;
        // Ask only what the server supports: an X error would end the host process.
        if (XRRQueryExtension(display_, &eventBase, &errorBase) &&
            XRRQueryVersion(display_, &major, &minor) &&
            (major > 1 || (major == 1 && minor >= 5))) {
            int count = 0;
            XRRMonitorInfo* monitors = XRRGetMonitors(display_, root, True, &count);
            for (int index = 0; monitors && index < count; ++index) {
                const XRRMonitorInfo& monitor = monitors[index];
                result.push_back(X11Rectangle{monitor.x, monitor.y, monitor.width, monitor.height,
                                              monitor.primary != 0});
            }
            if (monitors) XRRFreeMonitors(monitors);
        }
        if (result.empty()) {
            const int screen = DefaultScreen(display_);
            result.push_back(X11Rectangle{0, 0, DisplayWidth(display_, screen),
                                          DisplayHeight(display_, screen), true});
        }
        return result;
    }

private:
    Display* display_;
};

const X11Rectangle* mainMonitor(const std::vector<X11Rectangle>& monitors) {
    for (const X11Rectangle& monitor : monitors) {
        if (monitor.primary) return &monitor;
    }
    for (const X11Rectangle& monitor : monitors) {
        if (monitor.x <= 0 && monitor.y <= 0 && monitor.x + monitor.width > 0 &&
            monitor.y + monitor.height > 0) {
            return &monitor;
        }
    }
    return monitors.empty() ? nullptr : &monitors.front();
}

}  // namespace

std::vector<ScreenFrame> screenFramesFromX11(const std::vector<X11Rectangle>& monitors) {
    const X11Rectangle* main = mainMonitor(monitors);
    std::vector<ScreenFrame> frames;
    if (!main) return frames;
    const auto frame = [main](const X11Rectangle& monitor) {
        return ScreenFrame{
            static_cast<double>(monitor.x - main->x),
            static_cast<double>((main->y + main->height) - (monitor.y + monitor.height)),
            static_cast<double>(monitor.width), static_cast<double>(monitor.height)};
    };
    frames.push_back(frame(*main));
    for (const X11Rectangle& monitor : monitors) {
        if (&monitor != main) frames.push_back(frame(monitor));
    }
    return frames;
}

std::optional<ScreenPoint> screenPointFromX11(long x, long y,
                                              const std::vector<X11Rectangle>& monitors) {
    const X11Rectangle* main = mainMonitor(monitors);
    if (!main) return std::nullopt;
    return ScreenPoint{static_cast<double>(x - main->x),
                       static_cast<double>((main->y + main->height) - y)};
}

std::optional<ScreenPoint> LinuxFinderSyncHost::mouseLocation() {
    if (isWaylandSession()) return std::nullopt;
    X11Connection connection;
    if (!connection.get()) return std::nullopt;
    Window root = DefaultRootWindow(connection.get());
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(connection.get(), root, &root, &child, &rootX, &rootY, &windowX, &windowY,
                       &mask)) {
        return std::nullopt;  // the pointer is on another X screen
    }
    return screenPointFromX11(rootX, rootY, connection.monitors());
}

std::vector<ScreenFrame> LinuxFinderSyncHost::screens() {
    X11Connection connection;
    return screenFramesFromX11(connection.monitors());
}

std::optional<std::filesystem::path> LinuxFinderSyncHost::desktopDirectory() {
    // GLib reads user-dirs.dirs once per process (falling back to ~/Desktop), as the file
    // manager itself does.
    const char* desktop = g_get_user_special_dir(G_USER_DIRECTORY_DESKTOP);
    if (!desktop || !*desktop) return std::nullopt;
    return std::filesystem::path(desktop);
}

std::int64_t LinuxFinderSyncHost::processIdentifier() {
    return static_cast<std::int64_t>(::getpid());
}

}  // namespace tavrel
