#pragma once

// SF Symbol names as icons: the freedesktop icon the name maps to (from the icon theme), tinted
// like a template image, or else a glyph of our own drawn to the same name.

#include <string_view>

#include <QColor>
#include <QPixmap>

namespace tavrel {

// A square pixmap of `size` logical pixels at `devicePixelRatio`, tinted with `tint`.
QPixmap settingsSymbolPixmap(std::string_view symbolName, const QColor& tint, int size,
                             qreal devicePixelRatio = 1.0);

// Our own drawing of the symbol, used when the icon theme has nothing; false for a name we do
// not draw (a generic rounded square is drawn instead). Every name of knownSymbols() is drawn.
bool drawFallbackSymbol(std::string_view symbolName, class QPainter& painter, const QRectF& box,
                        const QColor& tint);

}  // namespace tavrel
