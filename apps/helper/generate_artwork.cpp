// tavrel-helper-artwork DIRECTORY: writes the helper's pictures (FolderIcon.png,
// FolderIconOpen.png, StartMenuIcon.png) into DIRECTORY. The build runs it to fill the bundle's
// resources, so the pictures are made from source on every machine.

#include <cstdio>

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include "ui/helper/helper_artwork.h"

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: tavrel-helper-artwork DIRECTORY\n", stderr);
        return 2;
    }
    const QDir directory(QString::fromLocal8Bit(argv[1]));
    if (!directory.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "tavrel-helper-artwork: cannot create %s\n", argv[1]);
        return 1;
    }
    using namespace tavrel::HelperArtwork;
    const struct {
        const char* name;
        QImage image;
    } pictures[] = {{"FolderIcon.png", folderIcon(false)},
                    {"FolderIconOpen.png", folderIcon(true)},
                    {"StartMenuIcon.png", startMenuIcon()}};
    for (const auto& picture : pictures) {
        const QString path = directory.filePath(QString::fromLatin1(picture.name));
        if (!picture.image.save(path, "PNG")) {
            std::fprintf(stderr, "tavrel-helper-artwork: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
