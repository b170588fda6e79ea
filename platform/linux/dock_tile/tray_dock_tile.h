#pragma once

// The Dock tile as a tray icon. Qt exports it as a StatusNotifierItem when a
// StatusNotifierWatcher is on the session bus (and falls back to an XEmbed tray on X11), with the
// context menu over com.canonical.dbusmenu. A host asks for the menu with AboutToShow or the
// "opened" event, which Qt turns into QMenu::aboutToShow: that is the menu request.

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QTimer>

#include "platform/dock_tile.h"

class QMenu;
class QSystemTrayIcon;

namespace tavrel::platform {

class TrayDockTile final : public QObject, public DockTile {
public:
    TrayDockTile();
    ~TrayDockTile() override;

    void setContent(const DockTileImage& image,
                    std::optional<DockTileTransition> transition) override;
    void setApplicationIcon(const DockTileImage& image) override;
    void setMenu(std::vector<DockMenuItem> items) override;
    void setMenuRequestedHandler(std::function<void()> handler) override;
    void setActivatedHandler(std::function<void()> handler) override;

    QSystemTrayIcon& trayIcon() { return *tray_; }

private:
    void show(const QImage& frame);
    void stepFade();
    void rebuildMenu();
    void choose(std::size_t index);

    std::unique_ptr<QSystemTrayIcon> tray_;
    std::unique_ptr<QMenu> menu_;
    std::vector<DockMenuItem> items_;
    std::function<void()> menuRequested_;
    std::function<void()> activated_;

    QImage frame_;  // what is on the tile this moment (sharing the picture's pixels)
    struct Fade {
        QImage from;
        QImage to;
        std::chrono::nanoseconds duration{};
        QElapsedTimer elapsed;
    };
    std::optional<Fade> fade_;
    QTimer fadeTimer_;
};

}  // namespace tavrel::platform
