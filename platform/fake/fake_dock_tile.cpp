#include "platform/fake/fake_dock_tile.h"

#include <utility>

namespace tavrel::platform {

void FakeDockTile::setContent(const DockTileImage& image,
                              std::optional<DockTileTransition> transition) {
    shown_.push_back({image, std::move(transition)});
}

void FakeDockTile::setApplicationIcon(const DockTileImage& image) {
    icons_.push_back(image);
}

void FakeDockTile::setMenu(std::vector<DockMenuItem> items) {
    menu_ = std::move(items);
}

void FakeDockTile::setMenuRequestedHandler(std::function<void()> handler) {
    menuRequested_ = std::move(handler);
}

void FakeDockTile::setActivatedHandler(std::function<void()> handler) {
    activated_ = std::move(handler);
}

DockTileImage FakeDockTile::content() const {
    return shown_.empty() ? DockTileImage() : shown_.back().image;
}

void FakeDockTile::clearRecords() {
    shown_.clear();
    icons_.clear();
}

std::vector<std::string> FakeDockTile::requestMenu() {
    if (menuRequested_) menuRequested_();
    return menuTitles();
}

std::vector<std::string> FakeDockTile::menuTitles() const {
    std::vector<std::string> titles;
    for (const DockMenuItem& item : menu_) titles.push_back(item.isSeparator ? "-" : item.title);
    return titles;
}

bool FakeDockTile::choose(const std::string& title) {
    for (const DockMenuItem& item : menu_) {
        if (!item.isSeparator && item.title == title) {
            // The item may replace the menu while it runs.
            auto action = item.action;
            if (action) action();
            return true;
        }
    }
    return false;
}

void FakeDockTile::click() {
    if (activated_) activated_();
}

void FakeDockApplication::terminate() {
    if (terminateCount_++ == 0 && willTerminate_) willTerminate_();
}

void FakeDockApplication::setWillTerminateHandler(std::function<void()> handler) {
    willTerminate_ = std::move(handler);
}

void FakeDockApplication::setApplicationActivatedHandler(std::function<void()> handler) {
    applicationActivated_ = std::move(handler);
}

Status FakeDockApplication::setBundleIcon(const std::filesystem::path& bundle,
                                          const DockTileImage& image) {
    bundleIcons_.emplace_back(bundle, image);
    return Status::success();
}

void FakeDockApplication::activateOtherApplication() {
    if (applicationActivated_) applicationActivated_();
}

}  // namespace tavrel::platform
