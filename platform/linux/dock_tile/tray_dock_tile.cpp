#include "platform/linux/dock_tile/tray_dock_tile.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "platform/linux/dock_tile/dock_tile_icon_engine.h"
#include "platform/linux/dock_tile/dock_tile_image_qt.h"

namespace tavrel::platform {

namespace {

// Tray hosts draw icons at 16 to 64 pixels, so the in-between frames of a fade are blended at a
// small size; only the final picture goes out whole.
constexpr int kFadeFrameSide = 128;
constexpr std::chrono::milliseconds kFadeFrameInterval(30);

QImage blend(const QImage& from, const QImage& to, double progress) {
    const QSize size = to.size().scaled(kFadeFrameSide, kFadeFrameSide, Qt::KeepAspectRatio);
    QImage frame(size, QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF area(QPointF(0, 0), QSizeF(size));
    if (!from.isNull()) {
        painter.setOpacity(1 - progress);
        painter.drawImage(area, from);
    }
    painter.setOpacity(progress);
    painter.drawImage(area, to);
    painter.end();
    return frame;
}

bool sameEntries(const std::vector<DockMenuItem>& a, const std::vector<DockMenuItem>& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const DockMenuItem& x, const DockMenuItem& y) {
            return x.isSeparator == y.isSeparator && (x.isSeparator || x.title == y.title);
        });
}

}  // namespace

TrayDockTile::TrayDockTile() : tray_(std::make_unique<QSystemTrayIcon>()) {
    tray_->setToolTip(QGuiApplication::applicationDisplayName());
    QObject::connect(tray_.get(), &QSystemTrayIcon::activated, this,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         // The context reason is the menu, which reports itself below.
                         if (reason == QSystemTrayIcon::Context) return;
                         if (activated_) activated_();
                     });
    fadeTimer_.setTimerType(Qt::PreciseTimer);
    fadeTimer_.setInterval(kFadeFrameInterval);
    QObject::connect(&fadeTimer_, &QTimer::timeout, this, [this] { stepFade(); });
}

TrayDockTile::~TrayDockTile() {
    fadeTimer_.stop();
    // The tray keeps a pointer to the menu: detach it before either goes.
    tray_->setContextMenu(nullptr);
    tray_.reset();
    menu_.reset();
}

void TrayDockTile::setContent(const DockTileImage& image,
                              std::optional<DockTileTransition> transition) {
    const QImage next = toQImage(image);
    const bool fadeIn = transition && transition->duration.count() > 0 && !frame_.isNull();
    if (!fadeIn) {
        fade_.reset();
        fadeTimer_.stop();
        show(next);
        return;
    }
    // A new fade starts from what is on the tile now, also in the middle of an earlier one.
    fade_ = Fade{frame_, next, transition->duration, {}};
    fade_->elapsed.start();
    fadeTimer_.start();
    stepFade();
}

void TrayDockTile::stepFade() {
    if (!fade_) {
        fadeTimer_.stop();
        return;
    }
    const double progress =
        std::chrono::duration<double>(std::chrono::nanoseconds(fade_->elapsed.nsecsElapsed())) /
        std::chrono::duration<double>(fade_->duration);
    if (progress >= 1) {
        const QImage last = fade_->to;
        fade_.reset();
        fadeTimer_.stop();
        show(last);
        return;
    }
    show(blend(fade_->from, fade_->to, std::max(progress, 0.0)));
}

void TrayDockTile::show(const QImage& frame) {
    frame_ = frame;
    tray_->setIcon(QIcon(new DockTileIconEngine(frame)));
    if (!tray_->isVisible()) tray_->show();
}

void TrayDockTile::setApplicationIcon(const DockTileImage& image) {
    QGuiApplication::setWindowIcon(QIcon(new DockTileIconEngine(toQImage(image))));
}

void TrayDockTile::setMenu(std::vector<DockMenuItem> items) {
    const bool changed = !sameEntries(items, items_);
    items_ = std::move(items);
    // Rebuilding makes the host fetch the layout again; same entries keep their actions' ids.
    if (changed || (!menu_ && !items_.empty())) rebuildMenu();
}

void TrayDockTile::rebuildMenu() {
    if (items_.empty()) {
        tray_->setContextMenu(nullptr);
        menu_.reset();
        return;
    }
    if (!menu_) {
        menu_ = std::make_unique<QMenu>();
        QObject::connect(menu_.get(), &QMenu::aboutToShow, this, [this] {
            if (menuRequested_) menuRequested_();
        });
    }
    // Not clear(): an item's own action may be what changed the menu, so its QAction must
    // outlive the signal that is running it.
    for (QAction* old : menu_->actions()) {
        menu_->removeAction(old);
        old->deleteLater();
    }
    for (std::size_t index = 0; index < items_.size(); ++index) {
        if (items_[index].isSeparator) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(QString::fromStdString(items_[index].title));
        QObject::connect(action, &QAction::triggered, this, [this, index] { choose(index); });
    }
    if (tray_->contextMenu() != menu_.get()) tray_->setContextMenu(menu_.get());
}

void TrayDockTile::choose(std::size_t index) {
    if (index >= items_.size()) return;
    // The action may replace the menu, and with it this item.
    auto action = items_[index].action;
    if (action) action();
}

void TrayDockTile::setMenuRequestedHandler(std::function<void()> handler) {
    menuRequested_ = std::move(handler);
}

void TrayDockTile::setActivatedHandler(std::function<void()> handler) {
    activated_ = std::move(handler);
}

std::unique_ptr<DockTile> makeDockTile() {
    return std::make_unique<TrayDockTile>();
}

}  // namespace tavrel::platform
