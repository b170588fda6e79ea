#pragma once

// The folder tile: the closed or open folder picture from the copy's own resources, kept in
// memory so that opening and closing never touch the disk, reloaded when asked, and swapped with
// a short fade.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/dock_tile.h"

namespace tavrel {

inline constexpr std::string_view kFolderIconResource = "FolderIcon.png";
inline constexpr std::string_view kFolderIconOpenResource = "FolderIconOpen.png";
inline constexpr std::string_view kFolderTileTransitionKey = "tavrel.folderTileState";
inline constexpr std::chrono::milliseconds kFolderTileFadeDuration{120};
// Folder pictures are made for a Dock tile; a file beyond this is not one.
inline constexpr std::size_t kFolderIconMaxBytes = 32 * 1024 * 1024;

struct NativeDockFolderIconSet {
    platform::DockTileImage closed;
    std::optional<platform::DockTileImage> open;
};

// Modification times of the two files at the last load; nothing where a file or its time could
// not be read.
struct NativeDockFolderIconStamp {
    std::optional<std::filesystem::file_time_type> closed;
    std::optional<std::filesystem::file_time_type> open;
};

class FolderTile {
public:
    FolderTile(platform::DockTile& tile, std::filesystem::path resourcesDirectory);

    // Shows the open or closed picture, loading the pictures first when `reloadAssets` is set or
    // nothing is cached. Without a closed picture the tile keeps what it showed.
    void setDockTile(bool isOpen, bool reloadAssets);

    // The picture for the state, loading as above; nothing without a closed picture.
    std::optional<platform::DockTileImage> folderIcon(bool isOpen, bool reloadAssets);

    const std::optional<NativeDockFolderIconSet>& cachedFolderIcons() const {
        return cachedFolderIcons_;
    }
    std::optional<bool> displayedFolderTileIsOpen() const { return displayedFolderTileIsOpen_; }

private:
    std::pair<bool, std::filesystem::file_time_type> closedStamp() const;

    platform::DockTile& tile_;
    std::filesystem::path resources_;
    std::optional<NativeDockFolderIconSet> cachedFolderIcons_;
    std::optional<NativeDockFolderIconStamp> cachedFolderIconStamp_;
    bool hasTileView_ = false;
    std::optional<platform::DockTileImage> displayedFolderTileImage_;
    std::optional<bool> displayedFolderTileIsOpen_;
};

}  // namespace tavrel
