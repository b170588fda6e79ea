#include "ui/helper/dock_tile_image_conversion.h"

#include <cstring>
#include <vector>

namespace tavrel {

platform::DockTileImage dockTileImage(const QImage& image) {
    if (image.isNull()) return {};
    const QImage argb = image.format() == QImage::Format_ARGB32_Premultiplied
                            ? image
                            : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = argb.width();
    const int height = argb.height();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) *
                                      static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::memcpy(pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                    argb.constScanLine(y), static_cast<std::size_t>(width) * 4);
    }
    const double ratio = argb.devicePixelRatio() > 0 ? argb.devicePixelRatio() : 1.0;
    return platform::DockTileImage(width, height, width / ratio, height / ratio, std::move(pixels));
}

}  // namespace tavrel
