#pragma once

// The launcher tile: the launcher icon, or the user's picture in a circle with a ring.

#include <QImage>

#include "core/helper/launcher_tile_layout.h"

namespace tavrel::LauncherTileRenderer {

// 128 × 128 points at 256 × 256 pixels. With the user picture: `avatar` scaled into the circle
// and the ring stroked on it. Without: `startMenuIcon` over the whole canvas; a null icon leaves
// the canvas empty.
QImage tileImage(const LauncherTileContent& content, const QImage& avatar,
                 const QImage& startMenuIcon);

// The user's picture, first success wins: the AccountsService icon, ~/.face, the icon theme's
// generic user picture, the icon theme's home folder icon. Null when none is there.
QImage currentUserAvatar(const AvatarLocations& locations);

}  // namespace tavrel::LauncherTileRenderer
