#include "ui/helper/tile_painting.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QImage>
#include <QRegion>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

namespace tavrel {

namespace {

// Continuous-corner shape: where a corner begins along each edge, and how far from the corner its
// Bézier control points sit, both in radii.
constexpr double kCornerExtent = 1.528;
constexpr double kControlOffset = 0.272;

// The shadow is blurred on a small copy: a Gaussian of this many pixels is plenty and keeps the
// work independent of the tile's size.
constexpr double kShadowSigmaPixels = 2.0;

// One pass of a running-sum box blur of width 2·radius + 1 along rows (stride 1) or columns
// (stride width); outside the image counts as transparent.
void boxBlur(std::vector<float>& values, int width, int height, int radius, bool rows) {
    const int length = rows ? width : height;
    const int lines = rows ? height : width;
    const std::size_t step = rows ? 1 : static_cast<std::size_t>(width);
    // The line with `radius` zeros on each side, so the window never needs a bounds check.
    std::vector<float> line(static_cast<std::size_t>(length + 2 * radius + 1), 0.0f);
    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    for (int l = 0; l < lines; ++l) {
        float* out =
            values.data() + (rows ? static_cast<std::size_t>(l) * static_cast<std::size_t>(width)
                                  : static_cast<std::size_t>(l));
        for (int i = 0; i < length; ++i) {
            line[static_cast<std::size_t>(i + radius)] = out[static_cast<std::size_t>(i) * step];
        }
        float sum = 0;
        for (int i = 0; i < 2 * radius + 1; ++i) sum += line[static_cast<std::size_t>(i)];
        for (int i = 0; i < length; ++i) {
            out[static_cast<std::size_t>(i) * step] = sum * scale;
            sum += line[static_cast<std::size_t>(i + 2 * radius + 1)] -
                   line[static_cast<std::size_t>(i)];
        }
    }
}

}  // namespace

QRectF toQRectF(const TileRect& rect) {
    return QRectF(rect.x, rect.y, rect.width, rect.height);
}

QColor toQColor(const TileColor& color) {
    return QColor::fromRgbF(static_cast<float>(std::clamp(color.red, 0.0, 1.0)),
                            static_cast<float>(std::clamp(color.green, 0.0, 1.0)),
                            static_cast<float>(std::clamp(color.blue, 0.0, 1.0)),
                            static_cast<float>(std::clamp(color.alpha, 0.0, 1.0)));
}

QPainterPath continuousRoundedRect(const QRectF& rect, double radius) {
    QPainterPath path;
    const double x = rect.x();
    const double y = rect.y();
    const double w = rect.width();
    const double h = rect.height();
    const double extent = std::clamp(radius * kCornerExtent, 0.0, std::min(w, h) / 2);
    if (extent <= 0) {
        path.addRect(rect);
        return path;
    }
    const double a = extent;
    const double k = a / kCornerExtent * kControlOffset;
    path.moveTo(x + a, y);
    path.lineTo(x + w - a, y);
    path.cubicTo(x + w - k, y, x + w, y + k, x + w, y + a);
    path.lineTo(x + w, y + h - a);
    path.cubicTo(x + w, y + h - k, x + w - k, y + h, x + w - a, y + h);
    path.lineTo(x + a, y + h);
    path.cubicTo(x + k, y + h, x, y + h - k, x, y + h - a);
    path.lineTo(x, y + a);
    path.cubicTo(x, y + k, x + k, y, x + a, y);
    path.closeSubpath();
    return path;
}

void paintShadow(QPainter& painter, const QPainterPath& shape, double offsetY, double blurRadius,
                 const QColor& color, const QRectF& covered) {
    const double sigma = std::max(blurRadius / 2, 0.01);
    const double margin = 3 * sigma + 1;
    const QRectF bounds = shape.boundingRect().adjusted(-margin, -margin, margin, margin);
    // Pixels per unit of the small copy; never finer than the device itself.
    const double deviceRatio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    const double scale = std::min(kShadowSigmaPixels / sigma, deviceRatio);
    const int width = std::max(1, static_cast<int>(std::ceil(bounds.width() * scale)));
    const int height = std::max(1, static_cast<int>(std::ceil(bounds.height() * scale)));

    QImage silhouette(width, height, QImage::Format_ARGB32_Premultiplied);
    silhouette.fill(Qt::transparent);
    {
        QPainter p(&silhouette);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        p.translate(-bounds.topLeft());
        p.fillPath(shape, Qt::black);
    }

    std::vector<float> alpha(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(silhouette.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)] = static_cast<float>(qAlpha(line[x])) / 255.0f;
        }
    }
    // Three box passes each way come within a few percent of a Gaussian.
    const double pixelSigma = sigma * scale;
    const int radius = std::max(
        1, static_cast<int>(std::lround((std::sqrt(4 * pixelSigma * pixelSigma + 1) - 1) / 2)));
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(alpha, width, height, radius, true);
        boxBlur(alpha, width, height, radius, false);
    }

    // The colour at each blurred coverage, premultiplied, in 8-bit steps.
    const float opacity = static_cast<float>(color.alphaF()) * 255.0f;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(silhouette.scanLine(y));
        const float* coverage =
            alpha.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            const int a = std::clamp(static_cast<int>(coverage[x] * opacity + 0.5f), 0, 255);
            line[x] = qPremultiply(qRgba(color.red(), color.green(), color.blue(), a));
        }
    }

    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (covered.isValid()) {
        // Rectangles clip without a mask: only the ring around the covered part is blended.
        const QRect inside(QPoint(static_cast<int>(std::ceil(covered.left())),
                                  static_cast<int>(std::ceil(covered.top()))),
                           QPoint(static_cast<int>(std::floor(covered.right())) - 1,
                                  static_cast<int>(std::floor(covered.bottom())) - 1));
        const QRect all = bounds.translated(0, offsetY).toAlignedRect();
        painter.setClipRegion(QRegion(all).subtracted(QRegion(inside)), Qt::IntersectClip);
    }
    // The copy's pixel grid is rounded up; map it back at its exact scale, not onto `bounds`.
    painter.drawImage(QRectF(bounds.left(), bounds.top() + offsetY, width / scale, height / scale),
                      silhouette);
    painter.restore();
}

void paintInOneThread(const std::function<void()>& paint) {
    QThreadPool* pool = QThreadPool::globalInstance();
    if (!pool || pool->contains(QThread::currentThread())) {
        paint();
        return;
    }
    QSemaphore done;
    pool->start([&] {
        paint();
        done.release();
    });
    done.acquire();
}

TileColor over(const TileColor& color, const TileColor& background) {
    const double a = std::clamp(color.alpha, 0.0, 1.0);
    return {color.red * a + background.red * (1 - a), color.green * a + background.green * (1 - a),
            color.blue * a + background.blue * (1 - a), 1};
}

}  // namespace tavrel
