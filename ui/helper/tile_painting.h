#pragma once

// Drawing pieces the tiles share: rounded rectangles with continuous corners, soft shadows, and
// the conversions from the geometry's plain types.

#include <functional>

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

#include "core/helper/widget_tile_geometry.h"

namespace tavrel {

QRectF toQRectF(const TileRect& rect);
QColor toQColor(const TileColor& color);

// A rounded rectangle whose corners ease into the straight edges (the curvature grows
// gradually instead of jumping to 1/radius), the way the Dock's cards look. Each corner starts
// 1.528 radii from the corner and passes the diagonal where a circular corner of the same radius
// would.
QPainterPath continuousRoundedRect(const QRectF& rect, double radius);

// Paints the soft shadow `shape` casts: its silhouette in `color`, moved down by `offsetY` and
// blurred like a Gaussian whose standard deviation is half of `blurRadius` (all in the painter's
// units). Nothing is painted inside `covered`, a rectangle the shape itself will cover opaquely.
void paintShadow(QPainter& painter, const QPainterPath& shape, double offsetY, double blurRadius,
                 const QColor& color, const QRectF& covered = {});

// Runs `paint` on one worker of Qt's global thread pool and waits for it. Qt's raster engine
// splits every large fill across that pool unless it already runs in it; on a small machine one
// thread drawing the whole tile is faster, and it wakes no other thread.
void paintInOneThread(const std::function<void()>& paint);

// `color` seen over an opaque `background`: the opaque colour a translucent gradient stop over a
// flat fill adds up to.
TileColor over(const TileColor& color, const TileColor& background);

}  // namespace tavrel
