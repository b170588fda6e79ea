#pragma once

// A program's place in the Dock: the tile's picture, the application icon, the Dock menu and the
// moment it is requested, and the application around them (quitting, focus, the pointer). On
// Linux the tile is a StatusNotifierItem tray icon and the Dock menu its context menu.
//
// Inputs a platform cannot give honestly are reported as unknown (nothing), never guessed.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/foundation/result.h"

namespace tavrel::platform {

// A finished picture: premultiplied ARGB32 pixels (one 32-bit 0xAARRGGBB value per pixel, rows
// top to bottom) standing for a size in points; pixels per point is its scale. Copies share the
// pixels, and two images are the same picture exactly when they share them.
class DockTileImage {
public:
    DockTileImage() = default;
    DockTileImage(int pixelWidth, int pixelHeight, double pointWidth, double pointHeight,
                  std::vector<std::uint32_t> pixels)
        : pixelWidth_(pixelWidth),
          pixelHeight_(pixelHeight),
          pointWidth_(pointWidth),
          pointHeight_(pointHeight),
          pixels_(std::make_shared<const std::vector<std::uint32_t>>(std::move(pixels))) {
        if (pixelWidth_ <= 0 || pixelHeight_ <= 0 ||
            pixels_->size() !=
                static_cast<std::size_t>(pixelWidth_) * static_cast<std::size_t>(pixelHeight_)) {
            *this = DockTileImage();
        }
    }

    bool isNull() const { return !pixels_; }
    int pixelWidth() const { return pixelWidth_; }
    int pixelHeight() const { return pixelHeight_; }
    double pointWidth() const { return pointWidth_; }
    double pointHeight() const { return pointHeight_; }
    // pixelWidth() × pixelHeight() values; empty for a null image.
    const std::vector<std::uint32_t>& pixels() const {
        static const std::vector<std::uint32_t> none;
        return pixels_ ? *pixels_ : none;
    }
    std::uint32_t pixel(int x, int y) const {
        return pixels()[static_cast<std::size_t>(y) * static_cast<std::size_t>(pixelWidth_) +
                        static_cast<std::size_t>(x)];
    }
    bool isSamePicture(const DockTileImage& other) const { return pixels_ == other.pixels_; }

private:
    int pixelWidth_ = 0;
    int pixelHeight_ = 0;
    double pointWidth_ = 0;
    double pointHeight_ = 0;
    std::shared_ptr<const std::vector<std::uint32_t>> pixels_;
};

// A fade from the picture shown to the next one. A later fade under the same key replaces one
// still running.
struct DockTileTransition {
    std::chrono::nanoseconds duration{};
    std::string key;
    friend bool operator==(const DockTileTransition&, const DockTileTransition&) = default;
};

struct DockMenuItem {
    std::string title;  // ignored for a separator
    bool isSeparator = false;
    std::function<void()> action;  // runs on the main thread when the item is chosen
};

struct DockPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const DockPoint&, const DockPoint&) = default;
};

class DockTile {
public:
    virtual ~DockTile() = default;

    // Shows `image` on the tile and redraws it; the tile appears with its first picture.
    virtual void setContent(const DockTileImage& image,
                            std::optional<DockTileTransition> transition) = 0;
    virtual void setApplicationIcon(const DockTileImage& image) = 0;

    // The Dock menu; no items means no menu.
    virtual void setMenu(std::vector<DockMenuItem> items) = 0;
    // Runs each time the user asks for the menu, before it shows and whether or not they then
    // choose anything. It may call setMenu() to change what shows.
    virtual void setMenuRequestedHandler(std::function<void()> handler) = 0;
    // Runs when the user clicks the tile of the running program.
    virtual void setActivatedHandler(std::function<void()> handler) = 0;
};

class DockApplication {
public:
    virtual ~DockApplication() = default;

    // The program's arguments, the program name first.
    virtual std::vector<std::string> arguments() const = 0;

    // Runs the will-terminate handler once, then leaves the main loop after the current turn.
    // A request to end the process from outside (SIGTERM, SIGINT, SIGHUP) comes here too.
    virtual void terminate() = 0;
    virtual bool isTerminating() const = 0;
    virtual void setWillTerminateHandler(std::function<void()> handler) = 0;

    // Gives focus back to the application that had it.
    virtual void deactivate() = 0;
    // Runs when some application becomes active, where the platform reports it.
    virtual void setApplicationActivatedHandler(std::function<void()> handler) = 0;

    // The pointer in global screen coordinates.
    virtual DockPoint mouseLocation() const = 0;
    // Seconds since the last left-button release anywhere in the session; nothing when the
    // platform cannot tell.
    virtual std::optional<double> secondsSinceLastMouseUp() const = 0;

    // Gives the bundle directory `bundle` `image` as its icon in the file manager.
    virtual Status setBundleIcon(const std::filesystem::path& bundle,
                                 const DockTileImage& image) = 0;
};

// The tray icon and the Qt application. Need a QApplication on the calling (main) thread.
std::unique_ptr<DockTile> makeDockTile();
std::unique_ptr<DockApplication> makeDockApplication();

}  // namespace tavrel::platform
