// Prints the displays of a QGuiApplication as the settings application sees them, one line each:
// identifier, "primary" or "-", name, separated by tabs. Tests run it under Qt's offscreen
// platform with a screen configuration, once per "start" of the application.

#include <cstdio>

#include <QGuiApplication>

#include "platform/linux/qt_screens.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const auto screens = tavrel::platform::makeQtScreens();
    for (const tavrel::platform::ScreenInfo& screen : screens->onlineScreens()) {
        std::printf("%s\t%s\t%s\n", screen.identifier.c_str(), screen.isPrimary ? "primary" : "-",
                    screen.name.c_str());
    }
    return 0;
}
