#include "ui/helper/launcher_tile_renderer.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include "ui/helper/tile_image_files.h"
#include "ui/helper/tile_painting.h"

namespace tavrel::LauncherTileRenderer {

namespace {

constexpr double kPixelsPerPoint = 2;
constexpr int kThemeIconPixels = 256;

QImage themeIcon(const char* name) {
    const QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
    if (icon.isNull()) return {};
    return icon.pixmap(kThemeIconPixels, kThemeIconPixels).toImage();
}

}  // namespace

QImage tileImage(const LauncherTileContent& content, const QImage& avatar,
                 const QImage& startMenuIcon) {
    const int pixels = static_cast<int>(kLauncherTileSide * kPixelsPerPoint);
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kPixelsPerPoint);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);

    if (content.useUserAvatar) {
        const QRectF circle = toQRectF(launcherAvatarCircle());
        QPainterPath oval;
        oval.addEllipse(circle);
        painter.save();
        painter.setClipPath(oval);
        if (!avatar.isNull()) painter.drawImage(circle, avatar);
        painter.restore();
        QPen ring(toQColor(content.ringColor));
        ring.setWidthF(content.ringWidth);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(circle);
    } else if (!startMenuIcon.isNull()) {
        painter.drawImage(QRectF(0, 0, kLauncherTileSide, kLauncherTileSide), startMenuIcon);
    }
    painter.end();
    return image;
}

QImage currentUserAvatar(const AvatarLocations& locations) {
    for (const auto& candidate : userAvatarFileCandidates(locations)) {
        QImage picture = decodeImageFile(candidate, kUserAvatarMaxBytes);
        if (!picture.isNull()) return picture;
    }
    for (const char* name : {"avatar-default", "user-home"}) {
        QImage picture = themeIcon(name);
        if (!picture.isNull()) return picture;
    }
    return {};
}

}  // namespace tavrel::LauncherTileRenderer
