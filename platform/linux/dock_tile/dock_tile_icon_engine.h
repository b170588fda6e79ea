#pragma once

// A QIcon over a tile picture without copying it: the tray and the application icon share the
// picture's pixels, and smaller pixmaps (the 22 and 64 pixels a StatusNotifierItem host asks
// for) are scaled only when asked for.

#include <QIconEngine>
#include <QImage>

namespace tavrel::platform {

class DockTileIconEngine final : public QIconEngine {
public:
    explicit DockTileIconEngine(QImage image) : image_(std::move(image)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QIconEngine* clone() const override { return new DockTileIconEngine(image_); }
    QString key() const override { return QStringLiteral("TavrelDockTile"); }
    // No fixed sizes: every size is made from the one picture.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {}; }
    bool isNull() override { return image_.isNull(); }

private:
    QImage image_;
};

}  // namespace tavrel::platform
