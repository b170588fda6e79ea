#include "ui/form/settings_symbols.h"

#include <cmath>

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include "core/form/symbol_names.h"

namespace tavrel {

namespace {

QPixmap tinted(const QPixmap& source, const QColor& tint) {
    QPixmap result = source;
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(result.rect(), tint);
    return result;
}

bool hasVisiblePixels(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) > 0) return true;
        }
    }
    return false;
}

void strokeRoundedRect(QPainter& p, const QRectF& r, qreal radius, bool fill) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    if (fill) {
        p.fillPath(path, p.pen().color());
    } else {
        p.drawPath(path);
    }
}

}  // namespace

bool drawFallbackSymbol(std::string_view name, QPainter& p, const QRectF& box, const QColor& tint) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = std::min(box.width(), box.height());
    const QRectF b(box.center().x() - s / 2, box.center().y() - s / 2, s, s);
    const qreal line = std::max<qreal>(1.0, s / 12);
    QPen pen(tint, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const auto at = [&](qreal x, qreal y) { return QPointF(b.left() + x * s, b.top() + y * s); };
    const auto rect = [&](qreal x, qreal y, qreal w, qreal h) {
        return QRectF(b.left() + x * s, b.top() + y * s, w * s, h * s);
    };
    bool known = true;

    if (name == "rectangle.bottomthird.inset.filled") {
        strokeRoundedRect(p, rect(0.08, 0.18, 0.84, 0.64), s * 0.1, false);
        strokeRoundedRect(p, rect(0.18, 0.58, 0.64, 0.14), s * 0.05, true);
    } else if (name == "display.2") {
        strokeRoundedRect(p, rect(0.04, 0.2, 0.5, 0.4), s * 0.06, false);
        strokeRoundedRect(p, rect(0.46, 0.32, 0.5, 0.4), s * 0.06, false);
        p.drawLine(at(0.62, 0.86), at(0.8, 0.86));
    } else if (name == "dock.rectangle") {
        strokeRoundedRect(p, rect(0.08, 0.16, 0.84, 0.68), s * 0.1, false);
        strokeRoundedRect(p, rect(0.22, 0.62, 0.56, 0.1), s * 0.04, true);
    } else if (name == "calendar.badge.clock") {
        strokeRoundedRect(p, rect(0.08, 0.16, 0.66, 0.66), s * 0.08, false);
        p.drawLine(at(0.08, 0.34), at(0.74, 0.34));
        p.setBrush(QColor(0, 0, 0, 0));
        p.drawEllipse(rect(0.54, 0.54, 0.4, 0.4));
        p.drawLine(at(0.74, 0.74), at(0.74, 0.64));
        p.drawLine(at(0.74, 0.74), at(0.82, 0.74));
    } else if (name == "rectangle.grid.1x2") {
        strokeRoundedRect(p, rect(0.14, 0.1, 0.72, 0.36), s * 0.08, false);
        strokeRoundedRect(p, rect(0.14, 0.54, 0.72, 0.36), s * 0.08, false);
    } else if (name == "square.grid.2x2.fill" || name == "square.grid.3x3.fill" ||
               name == "square.grid.3x3.topleft.filled") {
        const int n = name == "square.grid.2x2.fill" ? 2 : 3;
        const qreal cell = 0.84 / n;
        for (int row = 0; row < n; ++row) {
            for (int column = 0; column < n; ++column) {
                const bool filled =
                    name != "square.grid.3x3.topleft.filled" || (row == 0 && column == 0);
                strokeRoundedRect(p,
                                  rect(0.08 + column * cell + 0.03, 0.08 + row * cell + 0.03,
                                       cell - 0.06, cell - 0.06),
                                  s * 0.04, filled);
            }
        }
    } else if (name == "minus.rectangle.fill") {
        strokeRoundedRect(p, rect(0.08, 0.2, 0.84, 0.6), s * 0.1, true);
        p.setPen(QPen(Qt::white, line * 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at(0.3, 0.5), at(0.7, 0.5));
    } else if (name == "rectangle.on.rectangle") {
        strokeRoundedRect(p, rect(0.06, 0.3, 0.62, 0.5), s * 0.07, false);
        strokeRoundedRect(p, rect(0.3, 0.16, 0.62, 0.5), s * 0.07, false);
    } else if (name == "arrow.left.arrow.right.square.fill") {
        strokeRoundedRect(p, rect(0.08, 0.08, 0.84, 0.84), s * 0.16, false);
        p.drawLine(at(0.26, 0.38), at(0.74, 0.38));
        p.drawLine(at(0.62, 0.28), at(0.74, 0.38));
        p.drawLine(at(0.26, 0.62), at(0.74, 0.62));
        p.drawLine(at(0.26, 0.62), at(0.38, 0.72));
    } else if (name == "hand.raised.circle.fill") {
        p.drawEllipse(rect(0.08, 0.08, 0.84, 0.84));
        for (int finger = 0; finger < 4; ++finger) {
            const qreal x = 0.34 + finger * 0.1;
            p.drawLine(at(x, 0.62), at(x, 0.3 + (finger == 0 || finger == 3 ? 0.06 : 0)));
        }
        p.drawArc(rect(0.3, 0.48, 0.4, 0.26), 180 * 16, 180 * 16);
    } else if (name == "arrow.down.right.and.arrow.up.left") {
        p.drawLine(at(0.2, 0.2), at(0.8, 0.8));
        p.drawLine(at(0.8, 0.8), at(0.8, 0.56));
        p.drawLine(at(0.8, 0.8), at(0.56, 0.8));
        p.drawLine(at(0.2, 0.2), at(0.2, 0.44));
        p.drawLine(at(0.2, 0.2), at(0.44, 0.2));
    } else if (name == "eye.slash.fill") {
        QPainterPath eye;
        eye.moveTo(at(0.06, 0.5));
        eye.quadTo(at(0.5, 0.1), at(0.94, 0.5));
        eye.quadTo(at(0.5, 0.9), at(0.06, 0.5));
        p.drawPath(eye);
        p.drawEllipse(rect(0.38, 0.38, 0.24, 0.24));
        p.drawLine(at(0.14, 0.14), at(0.86, 0.86));
    } else if (name == "viewfinder") {
        for (int corner = 0; corner < 4; ++corner) {
            const qreal x = corner % 2 == 0 ? 0.1 : 0.9;
            const qreal y = corner < 2 ? 0.1 : 0.9;
            const qreal dx = corner % 2 == 0 ? 0.24 : -0.24;
            const qreal dy = corner < 2 ? 0.24 : -0.24;
            p.drawLine(at(x, y), at(x + dx, y));
            p.drawLine(at(x, y), at(x, y + dy));
        }
    } else if (name == "doc.badge.plus") {
        QPainterPath page;
        page.moveTo(at(0.18, 0.06));
        page.lineTo(at(0.52, 0.06));
        page.lineTo(at(0.7, 0.24));
        page.lineTo(at(0.7, 0.5));
        page.moveTo(at(0.44, 0.94));
        page.lineTo(at(0.18, 0.94));
        page.lineTo(at(0.18, 0.06));
        p.drawPath(page);
        p.drawLine(at(0.72, 0.62), at(0.72, 0.94));
        p.drawLine(at(0.56, 0.78), at(0.88, 0.78));
    } else if (name == "gearshape.fill") {
        const QPointF c = b.center();
        for (int tooth = 0; tooth < 8; ++tooth) {
            const qreal angle = tooth * M_PI / 4;
            p.drawLine(
                QPointF(c.x() + std::cos(angle) * s * 0.3, c.y() + std::sin(angle) * s * 0.3),
                QPointF(c.x() + std::cos(angle) * s * 0.44, c.y() + std::sin(angle) * s * 0.44));
        }
        p.drawEllipse(c, s * 0.3, s * 0.3);
        p.drawEllipse(c, s * 0.12, s * 0.12);
    } else if (name == "info.circle") {
        p.drawEllipse(rect(0.08, 0.08, 0.84, 0.84));
        p.drawLine(at(0.5, 0.44), at(0.5, 0.72));
        p.setBrush(tint);
        p.drawEllipse(QPointF(at(0.5, 0.3)), line * 0.7, line * 0.7);
    } else if (name == "exclamationmark.triangle.fill") {
        QPainterPath triangle;
        triangle.moveTo(at(0.5, 0.08));
        triangle.lineTo(at(0.94, 0.88));
        triangle.lineTo(at(0.06, 0.88));
        triangle.closeSubpath();
        p.fillPath(triangle, tint);
        p.setPen(QPen(Qt::white, line * 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at(0.5, 0.36), at(0.5, 0.6));
        p.drawPoint(at(0.5, 0.74));
    } else if (name == "chevron.right") {
        p.drawLine(at(0.34, 0.16), at(0.68, 0.5));
        p.drawLine(at(0.68, 0.5), at(0.34, 0.84));
    } else if (name == "folder.badge.plus") {
        // The folder stops short of its lower right corner, where the badge sits.
        QPainterPath folder;
        folder.moveTo(at(0.84, 0.58));
        folder.lineTo(at(0.84, 0.34));
        folder.lineTo(at(0.44, 0.34));
        folder.lineTo(at(0.36, 0.22));
        folder.lineTo(at(0.06, 0.22));
        folder.lineTo(at(0.06, 0.8));
        folder.lineTo(at(0.58, 0.8));
        p.drawPath(folder);
        p.drawLine(at(0.78, 0.64), at(0.78, 0.94));
        p.drawLine(at(0.63, 0.79), at(0.93, 0.79));
    } else if (name == "trash") {
        p.drawLine(at(0.14, 0.24), at(0.86, 0.24));
        QPainterPath handle;
        handle.moveTo(at(0.38, 0.24));
        handle.lineTo(at(0.38, 0.12));
        handle.lineTo(at(0.62, 0.12));
        handle.lineTo(at(0.62, 0.24));
        p.drawPath(handle);
        QPainterPath can;
        can.moveTo(at(0.24, 0.32));
        can.lineTo(at(0.3, 0.9));
        can.lineTo(at(0.7, 0.9));
        can.lineTo(at(0.76, 0.32));
        p.drawPath(can);
        p.drawLine(at(0.43, 0.42), at(0.44, 0.78));
        p.drawLine(at(0.57, 0.42), at(0.56, 0.78));
    } else if (name == "plus") {
        p.drawLine(at(0.5, 0.16), at(0.5, 0.84));
        p.drawLine(at(0.16, 0.5), at(0.84, 0.5));
    } else if (name == "ellipsis.circle") {
        p.drawEllipse(rect(0.08, 0.08, 0.84, 0.84));
        p.setBrush(tint);
        p.setPen(Qt::NoPen);
        for (const qreal x : {0.3, 0.5, 0.7}) p.drawEllipse(QPointF(at(x, 0.5)), line, line);
    } else if (name == "arrow.counterclockwise") {
        // A circle open at the upper left, its upper end an arrow head pointing the way round.
        const QRectF circle = rect(0.16, 0.2, 0.68, 0.68);
        p.drawArc(circle, 150 * 16, 300 * 16);
        const QPointF tip(circle.center().x(), circle.top());
        p.drawLine(tip, tip + QPointF(s * 0.14, -s * 0.11));
        p.drawLine(tip, tip + QPointF(s * 0.14, s * 0.11));
    } else if (name == "app") {
        strokeRoundedRect(p, rect(0.1, 0.1, 0.8, 0.8), s * 0.22, false);
    } else {
        known = false;
        strokeRoundedRect(p, rect(0.14, 0.14, 0.72, 0.72), s * 0.16, false);
    }
    p.restore();
    return known;
}

namespace {

QPixmap drawSymbolPixmap(std::string_view symbolName, const QColor& tint, int size,
                         qreal devicePixelRatio) {
    const QSize pixels(qRound(size * devicePixelRatio), qRound(size * devicePixelRatio));
    for (std::string_view name : freedesktopIconNames(symbolName)) {
        const QIcon icon =
            QIcon::fromTheme(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
        if (icon.isNull()) continue;
        QPixmap pixmap = icon.pixmap(pixels);
        // A theme may list an icon it cannot render here (an SVG without Qt's SVG support):
        // such a blank picture counts as no icon.
        if (pixmap.isNull() || !hasVisiblePixels(pixmap)) continue;
        if (pixmap.size() != pixels) {
            pixmap = pixmap.scaled(pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        pixmap = tinted(pixmap, tint);
        pixmap.setDevicePixelRatio(devicePixelRatio);
        return pixmap;
    }
    QPixmap pixmap(pixels);
    pixmap.fill(Qt::transparent);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&pixmap);
    drawFallbackSymbol(symbolName, painter, QRectF(0, 0, size, size), tint);
    return pixmap;
}

}  // namespace

QPixmap settingsSymbolPixmap(std::string_view symbolName, const QColor& tint, int size,
                             qreal devicePixelRatio) {
    // Looking a name up in the icon theme walks its directories; every page build asks for the
    // same few symbols, so each drawing is kept (the icon theme does not change while we run).
    static QHash<QString, QPixmap> cache;
    const QString key = QString::fromUtf8(symbolName.data(), static_cast<int>(symbolName.size())) +
                        QLatin1Char('|') + QString::number(tint.rgba(), 16) + QLatin1Char('|') +
                        QString::number(size) + QLatin1Char('|') +
                        QString::number(devicePixelRatio);
    if (const auto found = cache.constFind(key); found != cache.constEnd()) return *found;
    QPixmap pixmap = drawSymbolPixmap(symbolName, tint, size, devicePixelRatio);
    if (cache.size() > 512) cache.clear();
    cache.insert(key, pixmap);
    return pixmap;
}

}  // namespace tavrel
