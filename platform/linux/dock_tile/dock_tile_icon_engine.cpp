#include "platform/linux/dock_tile/dock_tile_icon_engine.h"

#include <QPainter>
#include <QPixmap>

namespace tavrel::platform {

void DockTileIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) {
    if (image_.isNull()) return;
    const QSize size = image_.size().scaled(rect.size(), Qt::KeepAspectRatio);
    const QRect target(rect.x() + (rect.width() - size.width()) / 2,
                       rect.y() + (rect.height() - size.height()) / 2, size.width(), size.height());
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(target, image_);
    painter->restore();
}

QSize DockTileIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State) {
    if (image_.isNull()) return {};
    return image_.size().scaled(size, Qt::KeepAspectRatio).boundedTo(image_.size());
}

QPixmap DockTileIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap DockTileIconEngine::scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State,
                                         qreal scale) {
    if (image_.isNull() || size.isEmpty()) return {};
    const QSize pixels = (QSizeF(size) * scale).toSize();
    QImage scaled = image_.size() == pixels
                        ? image_
                        : image_.scaled(pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap result = QPixmap::fromImage(std::move(scaled));
    result.setDevicePixelRatio(scale);
    return result;
}

}  // namespace tavrel::platform
