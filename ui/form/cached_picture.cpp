#include "ui/form/cached_picture.h"

#include <cmath>

#include <QPixmapCache>

namespace tavrel {

QPixmap cachedPicture(const QString& key, QSizeF size, qreal ratio,
                      const std::function<void(QPainter&)>& draw) {
    const QString fullKey =
        key + QStringLiteral("@%1x%2x%3").arg(size.width()).arg(size.height()).arg(ratio);
    QPixmap picture;
    if (QPixmapCache::find(fullKey, &picture)) return picture;
    picture = QPixmap(QSize(static_cast<int>(std::ceil(size.width() * ratio)),
                            static_cast<int>(std::ceil(size.height() * ratio))));
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
    }
    QPixmapCache::insert(fullKey, picture);
    return picture;
}

void drawCachedPicture(QPainter& painter, QPointF topLeft, const QPixmap& picture) {
    const qreal ratio = picture.devicePixelRatio();
    painter.drawPixmap(
        QPointF(std::round(topLeft.x() * ratio) / ratio, std::round(topLeft.y() * ratio) / ratio),
        picture);
}

}  // namespace tavrel
