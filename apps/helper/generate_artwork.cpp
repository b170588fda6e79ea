// tavrel-helper-artwork DIRECTORY: writes the helper's pictures (FolderIcon.png,
// FolderIconOpen.png, StartMenuIcon.png) into DIRECTORY. The build runs it to fill the bundle's
// resources, so the pictures are made from source on every machine.

#include <cstdio>
#include <cstring>

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include "ui/helper/helper_artwork.h"

namespace {

constexpr char kUsage[] =
    "usage: tavrel-helper-artwork DIRECTORY\n"
    "\n"
    "Draws the Dock tile helper's pictures (FolderIcon.png, FolderIconOpen.png,\n"
    "StartMenuIcon.png) into DIRECTORY, creating it when needed. Needs no display.\n";

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    // Anything else that looks like an option is a mistake, not a directory to create.
    if (argc != 2 || argv[1][0] == '-') {
        if (argc == 2)
            std::fprintf(stderr, "tavrel-helper-artwork: unknown option '%s'\n", argv[1]);
        std::fputs("usage: tavrel-helper-artwork DIRECTORY\n", stderr);
        return 2;
    }
    // Only pictures are drawn: no display is needed, whatever DISPLAY says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
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
