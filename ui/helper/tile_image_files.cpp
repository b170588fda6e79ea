#include "ui/helper/tile_image_files.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include "platform/files.h"

namespace tavrel {

QImage decodeImageFile(const std::filesystem::path& path, std::size_t maxBytes) {
    auto bytes = platform::readFile(path, maxBytes);
    if (!bytes) return {};
    QByteArray data = QByteArray::fromStdString(*bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxDecodedImageSide ||
        size.height() > kMaxDecodedImageSide) {
        return {};
    }
    QImage image = reader.read();
    if (image.isNull()) return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace tavrel
