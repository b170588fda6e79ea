#include "ui/helper/widget_tile_renderer.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QRadialGradient>
#include <QString>

#include "ui/helper/tile_painting.h"

namespace tavrel::WidgetTileRenderer {

namespace {

constexpr double kPixelsPerPoint = 2;
// Beyond this the picture would take hundreds of megabytes; no Dock tile is that large.
constexpr double kMaxCanvasSide = 4096;
// One font point per unit of the canvas.
constexpr int kDotsPerMeterAt72Dpi = 2835;

QFont systemFont(double size, QFont::Weight weight) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(size);
    font.setWeight(weight);
    return font;
}

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Text centred horizontally on `centerX` and vertically, by its line height, on `centerY`.
void drawCentered(QPainter& painter, const QString& string, const QFont& font, const QColor& color,
                  double centerX, double centerY) {
    const QFontMetricsF metrics(font, painter.device());
    const double width = metrics.horizontalAdvance(string);
    const double top = centerY - metrics.height() / 2;
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QPointF(centerX - width / 2, top + metrics.ascent()), string);
}

// Text from the rectangle's top-left corner, wrapped and clipped to it.
void drawInRect(QPainter& painter, const QString& string, const QFont& font, const QColor& color,
                const TileRect& rect) {
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(toQRectF(rect), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, string);
}

// The card with its shadow, filled with `fill` (opaque).
void drawCard(QPainter& painter, const WidgetCard& card, const QPainterPath& shape,
              const QBrush& fill) {
    // The card hides its own shadow wherever it is opaque: everything more than the corners'
    // reach inside its edges.
    const double inset = card.cornerRadius * 0.3 + 1;
    const QRectF covered = toQRectF(card.rect).adjusted(inset, inset, -inset, -inset);
    paintShadow(painter, shape, card.shadowOffsetY, card.shadowBlurRadius,
                toQColor(card.shadowColor), covered);
    painter.fillPath(shape, fill);
}

}  // namespace

CalendarComponents calendarComponents(const QDate& date) {
    if (!date.isValid()) return {};
    CalendarComponents components;
    components.era = date.year() > 0 ? 1 : 0;
    components.year = date.year() > 0 ? date.year() : 1 - date.year();
    components.month = date.month();
    components.day = date.day();
    components.weekday = date.dayOfWeek() % 7 + 1;  // Qt counts Monday = 1 … Sunday = 7
    return components;
}

CalendarComponents today() {
    return calendarComponents(QDate::currentDate());
}

namespace {

// The canvas for a side, or nothing when it is too large to allocate.
std::optional<int> canvasPixels(double canvasSide) {
    const double side = std::max(canvasSide, 1.0);
    if (!(side <= kMaxCanvasSide)) return std::nullopt;
    return static_cast<int>(std::ceil(side * kPixelsPerPoint));
}

void paintTile(QImage& image, TavrelWidgetKind kind, double canvasSide, double contentScale,
               int memoryPercentage, const CalendarComponents& date) {
    image.setDevicePixelRatio(kPixelsPerPoint);
    image.setDotsPerMeterX(kDotsPerMeterAt72Dpi);
    image.setDotsPerMeterY(kDotsPerMeterAt72Dpi);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    const TileRect content = widgetContentSquare(std::max(canvasSide, 1.0));
    switch (kind) {
        case TavrelWidgetKind::time:
            drawTimeWidget(painter, content, contentScale, date);
            break;
        case TavrelWidgetKind::memory:
            drawMemoryWidget(painter, content, contentScale, memoryPercentage);
            break;
    }
    painter.end();
}

}  // namespace

QImage tileImage(TavrelWidgetKind kind, double canvasSide, double contentScale,
                 int memoryPercentage, const CalendarComponents& date) {
    const auto pixels = canvasPixels(canvasSide);
    if (!pixels) return {};
    QImage image(*pixels, *pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    paintInOneThread(
        [&] { paintTile(image, kind, canvasSide, contentScale, memoryPercentage, date); });
    return image;
}

platform::DockTileImage tileDockImage(TavrelWidgetKind kind, double canvasSide, double contentScale,
                                      int memoryPercentage, const CalendarComponents& date) {
    const auto pixels = canvasPixels(canvasSide);
    if (!pixels) return {};
    const auto side = static_cast<std::size_t>(*pixels);
    std::vector<std::uint32_t> buffer(side * side);
    paintInOneThread([&] {
        QImage image(reinterpret_cast<uchar*>(buffer.data()), *pixels, *pixels, *pixels * 4,
                     QImage::Format_ARGB32_Premultiplied);
        paintTile(image, kind, canvasSide, contentScale, memoryPercentage, date);
    });
    const double points = *pixels / kPixelsPerPoint;
    return platform::DockTileImage(*pixels, *pixels, points, points, std::move(buffer));
}

void drawTimeWidget(QPainter& painter, const TileRect& rect, double contentScale,
                    const CalendarComponents& date) {
    const WidgetCard card = widgetCard(rect, contentScale);
    const CalendarPageLayout layout = calendarPageLayout(card);
    painter.save();
    const QPainterPath shape = continuousRoundedRect(toQRectF(card.rect), card.cornerRadius);
    // The white card under an opaque gradient: the gradient alone gives the same pixels.
    QLinearGradient gradient(0, card.rect.y, 0, card.rect.bottom());
    for (const TileGradientStop& stop : layout.gradient) {
        gradient.setColorAt(stop.location, toQColor(over(stop.color, layout.background)));
    }
    drawCard(painter, card, shape, gradient);

    drawCentered(painter, text(weekdayLabel(date.weekday)),
                 systemFont(layout.weekdayFontSize, QFont::Bold), toQColor(layout.weekdayColor),
                 layout.centerX, layout.weekdayCenterY);
    drawCentered(painter, text(dayLabel(date.day)), systemFont(layout.dayFontSize, QFont::Normal),
                 toQColor(layout.dayColor), layout.centerX, layout.dayCenterY);
    painter.restore();
}

void drawMemoryWidget(QPainter& painter, const TileRect& rect, double contentScale,
                      int memoryPercentage) {
    const WidgetCard card = widgetCard(rect, contentScale);
    const MemoryGaugeLayout layout = memoryGaugeLayout(card, memoryPercentage);
    painter.save();
    const QPainterPath shape = continuousRoundedRect(toQRectF(card.rect), card.cornerRadius);
    // The glow over the dark card, as one opaque gradient: the same pixels in one fill.
    QRadialGradient glow(QPointF(layout.glowCenterX, layout.glowCenterY), layout.glowRadius);
    for (const TileGradientStop& stop : layout.glow) {
        glow.setColorAt(stop.location, toQColor(over(stop.color, layout.background)));
    }
    drawCard(painter, card, shape, glow);

    painter.setPen(Qt::NoPen);
    painter.setBrush(toQColor(layout.tubeColor));
    painter.drawRoundedRect(toQRectF(layout.tube), layout.tubeRadius, layout.tubeRadius);
    painter.setBrush(toQColor(layout.levelColor));
    painter.drawRoundedRect(toQRectF(layout.level), layout.levelRadius, layout.levelRadius);

    drawInRect(painter, text(kMemoryLabel), systemFont(layout.labelFontSize, QFont::Medium),
               toQColor(layout.labelColor), layout.labelRect);
    // Qt 6.4 cannot ask a font for tabular figures; the system font's own digits are used.
    drawInRect(painter, text(layout.percentText), systemFont(layout.percentFontSize, QFont::Bold),
               toQColor(layout.percentColor), layout.percentRect);
    painter.restore();
}

}  // namespace tavrel::WidgetTileRenderer
