#include "platform/linux/desktop_workspace.h"

#include <QDesktopServices>
#include <QFile>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>
#include <QUrl>

#include "platform/linux/desktop_applications.h"
#include "platform/linux/desktop_entry.h"

namespace tavrel::platform {
namespace {

namespace fs = std::filesystem;

QString filePathText(const fs::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

class DesktopWorkspace final : public Workspace {
public:
    std::optional<ApplicationInfo> applicationForBundleIdentifier(
        std::string_view bundleIdentifier) const override {
        const auto file =
            desktop::findDesktopFile(bundleIdentifier, desktop::applicationDirectories());
        if (!file) return std::nullopt;
        return desktop::applicationFromFile(*file, bundleIdentifier);
    }

    std::optional<ApplicationInfo> applicationAtPath(const fs::path& path) const override {
        return desktop::applicationFromFile(
            path, desktop::desktopFileIdFor(path, desktop::applicationDirectories()));
    }

    std::vector<ApplicationInfo> installedApplications() const override {
        return desktop::listApplications(desktop::applicationDirectories());
    }

    IconReference iconForFile(const fs::path& path) const override {
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (error || !fs::exists(status)) return {};
        if (fs::is_directory(status)) return IconReference{"folder", {}};
        if (path.extension() == ".desktop") {
            Result<DesktopEntry> entry = readDesktopEntry(path);
            if (entry && entry->icon) {
                IconReference icon = desktop::iconReference(*entry->icon);
                if (!icon.empty()) return icon;
            }
        }
        const QMimeType type = QMimeDatabase().mimeTypeForFile(filePathText(path));
        // No MIME database to be found (a stripped $XDG_DATA_DIRS): what Qt calls an unknown file.
        if (!type.isValid()) return IconReference{"application-x-generic", {}};
        // The type's own icon when the theme draws it, else the icon of its family
        // ("text-x-generic"), which every theme has.
        const QString specific = type.iconName();
        if (!specific.isEmpty() && QIcon::hasThemeIcon(specific)) {
            return IconReference{specific.toStdString(), {}};
        }
        const QString generic = type.genericIconName();
        return IconReference{(generic.isEmpty() ? specific : generic).toStdString(), {}};
    }

    bool openURL(std::string_view url) override {
        const QUrl address(QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size())),
                           QUrl::StrictMode);
        // Only a complete address: a bare word would be taken for a file in the working
        // directory.
        if (!address.isValid() || address.isRelative()) return false;
        return QDesktopServices::openUrl(address);
    }
};

}  // namespace

std::unique_ptr<Workspace> makeDesktopWorkspace() {
    return std::make_unique<DesktopWorkspace>();
}

}  // namespace tavrel::platform
