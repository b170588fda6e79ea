#include "ui/helper/helper_artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "ui/helper/tile_painting.h"

namespace tavrel::HelperArtwork {

namespace {

QImage canvas() {
    QImage image(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QLinearGradient vertical(double top, double bottom, const QColor& from, const QColor& to) {
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    return gradient;
}

}  // namespace

QImage folderIcon(bool open) {
    QImage image = canvas();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // Back wall with its tab.
    QPainterPath back = continuousRoundedRect(QRectF(40, 112, 432, 328), 30);
    back.addPath(continuousRoundedRect(QRectF(40, 84, 184, 72), 22));
    back.setFillRule(Qt::WindingFill);
    painter.fillPath(back.simplified(),
                     vertical(84, 440, QColor(0x3f, 0x8f, 0xdf), QColor(0x2a, 0x6f, 0xc4)));

    if (open) {
        // A sheet inside, and the front leaning forward.
        painter.fillPath(continuousRoundedRect(QRectF(84, 128, 344, 220), 16),
                         QColor(0xf7, 0xf9, 0xfc));
        QPainterPath front;
        front.moveTo(70, 212);
        front.lineTo(494, 212);
        front.lineTo(462, 440);
        front.lineTo(50, 440);
        front.closeSubpath();
        painter.fillPath(front,
                         vertical(212, 440, QColor(0x8c, 0xca, 0xfb), QColor(0x4f, 0xa3, 0xee)));
    } else {
        painter.fillPath(continuousRoundedRect(QRectF(40, 156, 432, 284), 30),
                         vertical(156, 440, QColor(0x74, 0xbd, 0xf8), QColor(0x40, 0x96, 0xe9)));
        // A light rim along the front's top edge.
        painter.fillRect(QRectF(64, 168, 384, 6), QColor(255, 255, 255, 70));
    }
    painter.end();
    return image;
}

QImage startMenuIcon() {
    QImage image = canvas();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(continuousRoundedRect(QRectF(32, 32, 448, 448), 100),
                     vertical(32, 480, QColor(0xff, 0x6a, 0x95), QColor(0xe0, 0x2f, 0x68)));
    // A three-by-three grid of application squares.
    constexpr double cell = 80;
    constexpr double gap = 36;
    constexpr double origin = (kSide - (3 * cell + 2 * gap)) / 2;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRectF square(origin + column * (cell + gap), origin + row * (cell + gap), cell,
                                cell);
            painter.fillPath(continuousRoundedRect(square, 20), QColor(255, 255, 255, 235));
        }
    }
    painter.end();
    return image;
}

}  // namespace tavrel::HelperArtwork
