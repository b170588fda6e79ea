// The tray implementation of the Dock tile, offscreen: what its icon, application icon and
// context menu hold. (A tray host is not needed for that; the end-to-end test has one.)

#include "platform/linux/dock_tile/tray_dock_tile.h"

#include <chrono>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

#include "tests/platform_qt/qt_test_support.h"

namespace tavrel::platform {
namespace {

using namespace std::chrono_literals;

QApplication& widgetsApplication() {
    static int argc = 1;
    static char name[] = "tray-dock-tile-test";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

DockTileImage solid(QRgb color, int side = 64) {
    return DockTileImage(
        side, side, side / 2.0, side / 2.0,
        std::vector<std::uint32_t>(static_cast<std::size_t>(side * side), qPremultiply(color)));
}

QColor iconColor(const QIcon& icon) {
    const QImage image = icon.pixmap(16, 16).toImage();
    return image.isNull() ? QColor() : image.pixelColor(8, 8);
}

class TrayDockTileTest : public ::testing::Test {
protected:
    void SetUp() override { widgetsApplication(); }
};

TEST_F(TrayDockTileTest, MenuItemsRunTheirActionsAndTheRequestIsReported) {
    TrayDockTile tile;
    int requested = 0;
    std::vector<int> chosen;
    tile.setMenuRequestedHandler([&] { ++requested; });
    tile.setMenu({{"打开日历", false, [&] { chosen.push_back(1); }},
                  {"", true, {}},
                  {"移除「时间组件」", false, [&] { chosen.push_back(3); }}});
    QMenu* menu = tile.trayIcon().contextMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("打开日历"));
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), QStringLiteral("移除「时间组件」"));

    Q_EMIT menu->aboutToShow();
    EXPECT_EQ(requested, 1);
    actions[2]->trigger();
    EXPECT_EQ(chosen, std::vector<int>{3});

    // The same entries again keep their QActions (the host's item ids) but run the new actions.
    tile.setMenu({{"打开日历", false, [&] { chosen.push_back(10); }},
                  {"", true, {}},
                  {"移除「时间组件」", false, [&] { chosen.push_back(30); }}});
    EXPECT_EQ(tile.trayIcon().contextMenu()->actions(), actions);
    actions[0]->trigger();
    EXPECT_EQ(chosen, (std::vector<int>{3, 10}));

    // Other entries replace the items; no entries remove the menu.
    tile.setMenu({{"新建分组", false, {}}});
    ASSERT_EQ(tile.trayIcon().contextMenu()->actions().size(), 1);
    tile.setMenu({});
    EXPECT_EQ(tile.trayIcon().contextMenu(), nullptr);
}

TEST_F(TrayDockTileTest, PicturesShowAtOnceOrFadeToTheNewOne) {
    TrayDockTile tile;
    tile.setContent(solid(qRgb(200, 0, 0)), std::nullopt);
    EXPECT_EQ(iconColor(tile.trayIcon().icon()), QColor(200, 0, 0));
    tile.setApplicationIcon(solid(qRgb(0, 0, 200)));
    EXPECT_EQ(iconColor(QGuiApplication::windowIcon()), QColor(0, 0, 200));

    // A fade starts from the picture on the tile and ends on the new one.
    tile.setContent(solid(qRgb(0, 200, 0)), DockTileTransition{120ms, "tavrel.folderTileState"});
    EXPECT_NE(iconColor(tile.trayIcon().icon()), QColor(0, 200, 0));
    ASSERT_TRUE(testing::runUntil(
        [&] { return iconColor(tile.trayIcon().icon()) == QColor(0, 200, 0); }, 10s));

    // A fade under way is replaced by the next change, which shows at once without a fade.
    tile.setContent(solid(qRgb(200, 0, 0)), DockTileTransition{10s, "tavrel.folderTileState"});
    tile.setContent(solid(qRgb(0, 0, 200)), std::nullopt);
    EXPECT_EQ(iconColor(tile.trayIcon().icon()), QColor(0, 0, 200));
    testing::runUntil([] { return false; }, 100ms);
    EXPECT_EQ(iconColor(tile.trayIcon().icon()), QColor(0, 0, 200));
}

}  // namespace
}  // namespace tavrel::platform
