#include "platform/linux/dock_tile/dock_tile_image_qt.h"

namespace tavrel::platform {

QImage toQImage(const DockTileImage& image) {
    if (image.isNull()) return {};
    auto* keeper = new DockTileImage(image);
    QImage wrapped(
        reinterpret_cast<const uchar*>(keeper->pixels().data()), keeper->pixelWidth(),
        keeper->pixelHeight(), keeper->pixelWidth() * 4, QImage::Format_ARGB32_Premultiplied,
        [](void* info) { delete static_cast<DockTileImage*>(info); }, keeper);
    if (image.pointWidth() > 0)
        wrapped.setDevicePixelRatio(image.pixelWidth() / image.pointWidth());
    return wrapped;
}

}  // namespace tavrel::platform
