#include "ui/helper/folder_tile.h"

#include <system_error>
#include <utility>

#include "ui/helper/dock_tile_image_conversion.h"
#include "ui/helper/tile_image_files.h"

namespace tavrel {

namespace {

std::optional<std::filesystem::path> resource(const std::filesystem::path& directory,
                                              std::string_view name) {
    std::error_code error;
    std::filesystem::path path = directory / name;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    return path;
}

std::optional<std::filesystem::file_time_type> modificationTime(
    const std::optional<std::filesystem::path>& path) {
    if (!path) return std::nullopt;
    std::error_code error;
    const auto time = std::filesystem::last_write_time(*path, error);
    if (error) return std::nullopt;
    return time;
}

std::optional<platform::DockTileImage> loadPicture(const std::filesystem::path& path) {
    const QImage image = decodeImageFile(path, kFolderIconMaxBytes);
    if (image.isNull()) return std::nullopt;
    return dockTileImage(image);
}

}  // namespace

FolderTile::FolderTile(platform::DockTile& tile, std::filesystem::path resourcesDirectory)
    : tile_(tile), resources_(std::move(resourcesDirectory)) {}

std::optional<platform::DockTileImage> FolderTile::folderIcon(bool isOpen, bool reloadAssets) {
    // Switching between cached pictures must not touch the disk, not even to look the files up.
    if (reloadAssets || !cachedFolderIcons_) {
        const auto closedPath = resource(resources_, kFolderIconResource);
        if (!closedPath) return std::nullopt;
        const auto openPath = resource(resources_, kFolderIconOpenResource);
        NativeDockFolderIconStamp stamp{modificationTime(closedPath), modificationTime(openPath)};
        auto closed = loadPicture(*closedPath);
        if (!closed) return std::nullopt;
        NativeDockFolderIconSet icons{std::move(*closed), std::nullopt};
        if (openPath) icons.open = loadPicture(*openPath);
        cachedFolderIcons_ = std::move(icons);
        cachedFolderIconStamp_ = stamp;
    }
    if (isOpen && cachedFolderIcons_->open) return cachedFolderIcons_->open;
    return cachedFolderIcons_->closed;
}

std::pair<bool, std::filesystem::file_time_type> FolderTile::closedStamp() const {
    if (!cachedFolderIconStamp_ || !cachedFolderIconStamp_->closed) return {false, {}};
    return {true, *cachedFolderIconStamp_->closed};
}

void FolderTile::setDockTile(bool isOpen, bool reloadAssets) {
    // Two unknown times are equal; an unknown one differs from any known one.
    const auto rememberedClosed = closedStamp();
    const auto picture = folderIcon(isOpen, reloadAssets);
    if (!picture) return;

    if (closedStamp() != rememberedClosed || !hasTileView_) {
        tile_.setApplicationIcon(cachedFolderIcons_->closed);
    }
    // Switching between cached pictures that are already on the tile is a no-op.
    if (displayedFolderTileImage_ && displayedFolderTileImage_->isSamePicture(*picture)) return;

    hasTileView_ = true;
    std::optional<platform::DockTileTransition> fade;
    if (displayedFolderTileImage_) {
        fade = platform::DockTileTransition{kFolderTileFadeDuration,
                                            std::string(kFolderTileTransitionKey)};
    }
    displayedFolderTileImage_ = *picture;
    displayedFolderTileIsOpen_ = isOpen;
    tile_.setContent(*picture, std::move(fade));
}

}  // namespace tavrel
