#include "ui/settings/settings_images.h"

#include <QString>

#include "core/settings/tavrel_resources.h"

namespace tavrel {

QImage settingsResourceImage(std::string_view name) {
    const auto url = TavrelResources::resourceURL(name, "png");
    if (!url) return {};
    QImage image;
    image.load(QString::fromStdString(url->string()), "PNG");
    return image;
}

}  // namespace tavrel
