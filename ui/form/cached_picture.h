#pragma once

// A small picture drawn once and copied after. The form's controls draw the same few shapes —
// a switch in each state, a segment track of a size — over and over; drawing them anew each
// time would hand each antialiased shape to Qt's raster thread pool in pieces and wait for
// them, where copying a finished picture is one pass on the calling thread.

#include <functional>

#include <QPainter>
#include <QPixmap>
#include <QSizeF>
#include <QString>

namespace tavrel {

// The picture for `key` (which must name everything the drawing depends on: size, colours,
// state), `size` logical pixels at `ratio`; `draw` paints it (antialiased, on a clear picture)
// when it is not cached yet.
QPixmap cachedPicture(const QString& key, QSizeF size, qreal ratio,
                      const std::function<void(QPainter&)>& draw);

// Draws the picture at `topLeft`, moved to the nearest device pixel so that it is copied, not
// resampled.
void drawCachedPicture(QPainter& painter, QPointF topLeft, const QPixmap& picture);

}  // namespace tavrel
