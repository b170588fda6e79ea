#pragma once

// The Dock tile and the application around it, in memory, for tests: what was shown and set is
// recorded, and the test plays the user (asking for the menu, choosing an item, clicking the
// tile) and the platform (the pointer, the last mouse-up, other applications activating).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/dock_tile.h"

namespace tavrel::platform {

class FakeDockTile final : public DockTile {
public:
    struct Shown {
        DockTileImage image;
        std::optional<DockTileTransition> transition;
    };

    void setContent(const DockTileImage& image,
                    std::optional<DockTileTransition> transition) override;
    void setApplicationIcon(const DockTileImage& image) override;
    void setMenu(std::vector<DockMenuItem> items) override;
    void setMenuRequestedHandler(std::function<void()> handler) override;
    void setActivatedHandler(std::function<void()> handler) override;

    // Every picture shown and every icon set, oldest first.
    const std::vector<Shown>& shown() const { return shown_; }
    const std::vector<DockTileImage>& applicationIcons() const { return icons_; }
    // The picture on the tile now (null before the first).
    DockTileImage content() const;
    void clearRecords();

    // The user asks for the menu: runs the requested handler, then gives the titles that show
    // ("-" for a separator).
    std::vector<std::string> requestMenu();
    std::vector<std::string> menuTitles() const;
    // The user chooses the item with this title; false when there is none.
    bool choose(const std::string& title);
    void click();

private:
    std::vector<Shown> shown_;
    std::vector<DockTileImage> icons_;
    std::vector<DockMenuItem> menu_;
    std::function<void()> menuRequested_;
    std::function<void()> activated_;
};

class FakeDockApplication final : public DockApplication {
public:
    explicit FakeDockApplication(std::vector<std::string> arguments = {"TavrelHelperLauncher"})
        : arguments_(std::move(arguments)) {}

    std::vector<std::string> arguments() const override { return arguments_; }
    void terminate() override;
    bool isTerminating() const override { return terminateCount_ > 0; }
    void setWillTerminateHandler(std::function<void()> handler) override;
    void deactivate() override { ++deactivateCount_; }
    void setApplicationActivatedHandler(std::function<void()> handler) override;
    DockPoint mouseLocation() const override { return mouse_; }
    std::optional<double> secondsSinceLastMouseUp() const override { return sinceMouseUp_; }
    Status setBundleIcon(const std::filesystem::path& bundle, const DockTileImage& image) override;

    std::size_t terminateCount() const { return terminateCount_; }
    std::size_t deactivateCount() const { return deactivateCount_; }
    const std::vector<std::pair<std::filesystem::path, DockTileImage>>& bundleIcons() const {
        return bundleIcons_;
    }

    void setMouseLocation(DockPoint point) { mouse_ = point; }
    void setSecondsSinceLastMouseUp(std::optional<double> seconds) { sinceMouseUp_ = seconds; }
    // Another application becomes active.
    void activateOtherApplication();

private:
    std::vector<std::string> arguments_;
    std::size_t terminateCount_ = 0;
    std::size_t deactivateCount_ = 0;
    std::function<void()> willTerminate_;
    std::function<void()> applicationActivated_;
    DockPoint mouse_;
    std::optional<double> sinceMouseUp_;
    std::vector<std::pair<std::filesystem::path, DockTileImage>> bundleIcons_;
};

}  // namespace tavrel::platform
