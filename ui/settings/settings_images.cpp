#include "ui/settings/settings_images.h"

#include <QHash>
#include <QImageReader>
#include <QString>

#include "core/settings/tavrel_resources.h"

namespace tavrel {

QImage settingsResourceImage(std::string_view name) {
    // The shipped pictures do not change while the program runs; each is read once.
    static QHash<QString, QImage> cache;
    const QString key = QString::fromUtf8(name.data(), static_cast<int>(name.size()));
    if (const auto found = cache.constFind(key); found != cache.constEnd()) return *found;
    QImage image;
    if (const auto url = TavrelResources::resourceURL(name, "png")) {
        // Ours are all PNG: without the format Qt loads every image plugin to ask whether it
        // reads the file.
        QImageReader reader(QString::fromStdString(url->string()), "png");
        reader.setAutoDetectImageFormat(false);
        image = reader.read();
        // Premultiplied in place, as drawing and smooth scaling want it: otherwise each of them
        // makes a converted copy of the whole picture first.
        if (image.hasAlphaChannel()) image.convertTo(QImage::Format_ARGB32_Premultiplied);
    }
    cache.insert(key, image);
    return image;
}

}  // namespace tavrel
