#pragma once

// The helper's own pictures, drawn here so that the bundle's resources are made from source:
// the closed and open folder ("FolderIcon", "FolderIconOpen") and the launcher icon
// ("StartMenuIcon"). Each is 512 × 512 pixels.

#include <QImage>

namespace tavrel::HelperArtwork {

inline constexpr int kSide = 512;

QImage folderIcon(bool open);
QImage startMenuIcon();

}  // namespace tavrel::HelperArtwork
