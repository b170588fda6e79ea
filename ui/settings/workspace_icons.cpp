#include "ui/settings/workspace_icons.h"

#include <QFile>
#include <QString>

namespace tavrel {

QIcon iconFor(const platform::IconReference& icon) {
    if (!icon.themeName.empty()) {
        const QString name = QString::fromStdString(icon.themeName);
        if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    }
    if (!icon.file.empty()) {
        // A QIcon of a missing or unreadable file is not null until asked for a size; ask now.
        QIcon file(QFile::decodeName(QByteArray::fromStdString(icon.file.string())));
        if (!file.availableSizes().isEmpty() || !file.pixmap(16, 16).isNull()) return file;
    }
    return {};
}

}  // namespace tavrel
