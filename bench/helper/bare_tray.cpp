// The peer of the idle-copy measurement: the least a Qt program needs to show a tray icon with
// a 512-point picture and a three-entry menu, and nothing else.

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QImage picture(1024, 1024, QImage::Format_ARGB32_Premultiplied);
    picture.fill(QColor(30, 30, 30));
    picture.setDevicePixelRatio(2);
    QSystemTrayIcon tray;
    QMenu menu;
    menu.addAction(QStringLiteral("打开系统监控"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("移除「内存组件」"));
    tray.setContextMenu(&menu);
    tray.setIcon(QIcon(QPixmap::fromImage(picture)));
    tray.show();
    return QApplication::exec();
}
