#include "ui/settings/settings_images.h"

#include <QHash>
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
        image.load(QString::fromStdString(url->string()), "PNG");
    }
    cache.insert(key, image);
    return image;
}

}  // namespace tavrel
