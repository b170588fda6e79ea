#pragma once

// Pictures drawn with Qt, handed to the Dock tile.

#include <QImage>

#include "platform/dock_tile.h"

namespace tavrel {

// The picture in premultiplied ARGB32, standing for its size divided by its device pixel ratio.
// A null image gives a null picture.
platform::DockTileImage dockTileImage(const QImage& image);

}  // namespace tavrel
