// tavrel-screen-grab OUTPUT.png [WIDTHxHEIGHT+X+Y]: saves what the display shows (the whole
// screen, or a part of it) as a PNG. Used to take the settings window's screenshot under Xvfb.

#include <cstdio>
#include <cstring>

#include <QGuiApplication>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>

#include "platform/linux/display_guard.h"

int main(int argc, char** argv) {
    constexpr char kUsage[] = "usage: tavrel-screen-grab OUTPUT.png [WIDTHxHEIGHT+X+Y]\n";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    if (argc < 2 || argc > 3 || argv[1][0] == '-') {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const auto app = tavrel::platform::makeGuiApplicationOrExit<QGuiApplication>(
        "tavrel-screen-grab", argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        std::fprintf(stderr, "tavrel-screen-grab: no screen\n");
        return 1;
    }
    QRect area = screen->geometry();
    if (argc == 3) {
        const auto match = QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)\\+(\\d+)\\+(\\d+)$"))
                               .match(QString::fromLocal8Bit(argv[2]));
        if (!match.hasMatch()) {
            std::fprintf(stderr, "tavrel-screen-grab: bad area %s\n", argv[2]);
            return 2;
        }
        area = QRect(match.captured(3).toInt(), match.captured(4).toInt(),
                     match.captured(1).toInt(), match.captured(2).toInt());
    }
    const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "tavrel-screen-grab: cannot save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
