#pragma once

// Dock tile pictures as Qt images, without copying the pixels.

#include <QImage>

#include "platform/dock_tile.h"

namespace tavrel::platform {

// A read-only QImage over the picture's pixels (kept alive as long as the QImage or a copy of it
// lives), with the picture's scale as device pixel ratio. Null for a null picture.
QImage toQImage(const DockTileImage& image);

}  // namespace tavrel::platform
