#pragma once

// Draws the widget tiles: a calendar page (time) and a memory gauge (memory), each a card with
// a soft shadow inside the content square of the canvas. Pure functions; no state.

#include <QDate>
#include <QImage>
#include <QPainter>

#include "core/helper/tavrel_widget_kind.h"
#include "core/helper/widget_tile_geometry.h"
#include "platform/dock_tile.h"

namespace tavrel::WidgetTileRenderer {

// The calendar components of a date in the Gregorian calendar the tile uses (era 1 for the
// common era, weekday 1 = Sunday); nothing for an invalid date.
CalendarComponents calendarComponents(const QDate& date);
// Today in the local time zone.
CalendarComponents today();

// A picture of side × side points at twice that many pixels (device pixel ratio 2). The time
// tile shows `date`; the memory tile `memoryPercentage` (clamped to 0…100). A side too large to
// allocate gives a null image.
QImage tileImage(TavrelWidgetKind kind, double canvasSide, double contentScale,
                 int memoryPercentage, const CalendarComponents& date);

// The same picture drawn straight into a Dock tile picture's own pixels, with no copy.
platform::DockTileImage tileDockImage(TavrelWidgetKind kind, double canvasSide, double contentScale,
                                      int memoryPercentage, const CalendarComponents& date);

// Draw into `painter` (top-left origin), `rect` being the content square.
void drawTimeWidget(QPainter& painter, const TileRect& rect, double contentScale,
                    const CalendarComponents& date);
void drawMemoryWidget(QPainter& painter, const TileRect& rect, double contentScale,
                      int memoryPercentage);

}  // namespace tavrel::WidgetTileRenderer
