#include "ui/settings/settings_images.h"

#include <string>
#include <utility>

#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QString>

#include "core/settings/tavrel_resources.h"

namespace tavrel {

namespace {

// Stands for the icon of a resource picture until a pixmap is wanted, then hands everything to
// a plain icon of the picture.
class ResourceIconEngine final : public QIconEngine {
public:
    explicit ResourceIconEngine(std::string name) : name_(std::move(name)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    // Whether there is a picture was settled when the icon was made; reading it waits.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("TavrelResourceIcon"); }
    QIconEngine* clone() const override { return new ResourceIconEngine(*this); }

private:
    QIcon& icon() {
        if (!loaded_) {
            loaded_ = true;
            const QImage picture = settingsResourceImage(name_);
            if (!picture.isNull()) icon_ = QIcon(QPixmap::fromImage(picture));
        }
        return icon_;
    }

    std::string name_;
    QIcon icon_;
    bool loaded_ = false;
};

}  // namespace

QIcon settingsResourceIcon(std::string_view name) {
    if (!TavrelResources::resourceURL(name, "png")) return {};
    return QIcon(new ResourceIconEngine(std::string(name)));
}

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
