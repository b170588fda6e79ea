#include "ui/helper/launcher_delegate.h"

#include <algorithm>
#include <utility>

#include "core/helper/helper_dock_menu.h"
#include "core/helper/helper_dock_tile_stored_settings.h"
#include "core/helper/helper_notification_rules.h"
#include "core/notifications/notification_names.h"
#include "ui/helper/dock_tile_image_conversion.h"
#include "ui/helper/launcher_tile_renderer.h"
#include "ui/helper/tile_image_files.h"
#include "ui/helper/widget_tile_renderer.h"

namespace tavrel {

namespace {

// The launcher icon is a resource of our own bundle; anything this large is not it.
constexpr std::size_t kStartMenuIconMaxBytes = 32 * 1024 * 1024;

std::optional<HelperDockTileStoredSettings> readSettings(const std::filesystem::path& path) {
    return HelperDockTileStoredSettings::load(path).toOptional();
}

}  // namespace

LauncherDelegate::LauncherDelegate(LauncherEnvironment environment)
    : env_(std::move(environment)),
      clickFilter_(env_.clock),
      folderTile_(env_.dockTile, env_.resourcesDirectory),
      widgetRefreshTimer_(env_.mainQueue, env_.clock),
      pendingDockIconRefresh_(env_.mainQueue, kDockIconRefreshDelay) {
    env_.application.setWillTerminateHandler([this] { applicationWillTerminate(); });
    env_.dockTile.setActivatedHandler([this] { applicationDidBecomeActive(); });
    env_.dockTile.setMenuRequestedHandler([this] { dockMenuRequested(); });
}

LauncherDelegate::~LauncherDelegate() {
    for (auto id : observers_) env_.notifications.removeObserver(id);
    env_.application.setWillTerminateHandler({});
    env_.application.setApplicationActivatedHandler({});
    env_.dockTile.setActivatedHandler({});
    env_.dockTile.setMenuRequestedHandler({});
    env_.dockTile.setMenu({});
}

HelperRole LauncherDelegate::role() const {
    return readHelperRole(env_.infoString);
}

void LauncherDelegate::applicationDidFinishLaunching() {
    const auto settings = readSettings(env_.settingsPath);
    if (settings && settings->hideNativeDock.value_or(false)) {
        managedQuit();
        return;
    }

    const HelperRole current = role();
    // The tile appearing is the copy's sign that it is ready (the taskbar and a tray host see
    // nothing earlier), so everything a host or the taskbar may use at once is in place first:
    // the menu, the observers, the activation watch.
    installDockMenu(current);
    registerObservers(current);
    if (current.kind() == HelperRoleKind::launcher) {
        env_.application.setApplicationActivatedHandler([this] { scheduleDockIconRefresh(); });
    }
    if (env_.awaitObservers) env_.awaitObservers();

    if (current.kind() == HelperRoleKind::widget) {
        setWidgetDockTile(*current.widgetKind, true);
    } else {
        setDockTile(false, true);
    }
    if (current.widgetKind == TavrelWidgetKind::memory) {
        startWidgetRefreshTimer(TavrelWidgetKind::memory);
    }
    didFinishLaunching_ = true;

    if (current.widgetKind) {
        const auto& arguments = env_.application.arguments();
        const bool sync = std::find(arguments.begin(), arguments.end(),
                                    kTavrelWidgetSyncArgument) != arguments.end();
        if (!sync) {
            const TavrelWidgetKind kind = *current.widgetKind;
            std::weak_ptr<int> alive = alive_;
            env_.mainQueue.async([this, alive, kind] {
                if (alive.lock()) postWidgetClickNotification(kind);
            });
        }
    }
}

void LauncherDelegate::applicationDidBecomeActive() {
    if (!didFinishLaunching_ || role().kind() != HelperRoleKind::widget) return;
    // Give focus back to the application the click came from.
    std::weak_ptr<int> alive = alive_;
    env_.mainQueue.async([this, alive] {
        if (alive.lock()) env_.application.deactivate();
    });
}

void LauncherDelegate::applicationWillTerminate() {
    const HelperRole current = role();
    if (current.kind() != HelperRoleKind::folder || isManagedFolderTermination_) return;
    setDockTile(false, false);
    post(makeFolderDidExitNotification(*current.folderIdentifier));
}

void LauncherDelegate::dockMenuRequested() {
    const HelperRole current = role();
    if (auto request = dockMenuRequestNotification(current)) post(*request);
    installDockMenu(current);
}

void LauncherDelegate::installDockMenu(const HelperRole& current) {
    std::vector<platform::DockMenuItem> items;
    for (const HelperDockMenuEntry& entry : helperDockMenu(current)) {
        platform::DockMenuItem item;
        item.title = entry.title;
        item.isSeparator = entry.isSeparator;
        if (!entry.isSeparator) {
            item.action = [this, entry] {
                const auto chosen = dockMenuChoiceNotification(
                    entry, role(),
                    {env_.application.mouseLocation().x, env_.application.mouseLocation().y});
                if (chosen) post(*chosen);
            };
        }
        items.push_back(std::move(item));
    }
    env_.dockTile.setMenu(std::move(items));
}

void LauncherDelegate::observe(std::string_view name,
                               platform::NotificationCenter::Handler handler) {
    observers_.push_back(env_.notifications.observe(std::string(name), std::move(handler)));
}

void LauncherDelegate::registerObservers(const HelperRole& current) {
    switch (current.kind()) {
        case HelperRoleKind::launcher:
            observe(kTavrelTerminateHelperNotification,
                    [this](const Notification& n) { terminateSelf(n); });
            observe(kTavrelRefreshHelperIconNotification,
                    [this](const Notification& n) { refreshDockIcon(n); });
            break;
        case HelperRoleKind::folder:
            observe(kTavrelTerminateFolderNotification,
                    [this](const Notification& n) { terminateFolder(n); });
            observe(kTavrelRefreshFolderIconNotification,
                    [this](const Notification& n) { refreshDockIcon(n); });
            break;
        case HelperRoleKind::widget:
            observe(kTavrelTerminateWidgetNotification,
                    [this](const Notification& n) { terminateWidget(n); });
            observe(kTavrelRefreshWidgetIconNotification,
                    [this](const Notification& n) { refreshWidgetDockTile(n); });
            break;
    }
}

void LauncherDelegate::terminateSelf(const Notification&) {
    env_.application.terminate();
}

void LauncherDelegate::terminateFolder(const Notification& notification) {
    if (terminatesFolder(notification, role())) managedQuit();
}

void LauncherDelegate::terminateWidget(const Notification& notification) {
    if (terminatesWidget(notification, role())) env_.application.terminate();
}

void LauncherDelegate::refreshWidgetDockTile(const Notification& notification) {
    if (auto kind = widgetToRefresh(notification, role())) setWidgetDockTile(*kind, true);
}

void LauncherDelegate::refreshDockIcon(const Notification& notification) {
    if (auto refresh = dockIconRefresh(notification, role())) {
        setDockTile(refresh->isOpen, refresh->reloadAssets);
    }
}

void LauncherDelegate::managedQuit() {
    isManagedFolderTermination_ = true;
    env_.application.terminate();
}

void LauncherDelegate::post(const Notification& notification) {
    // Nobody is told about a lost message: the taskbar asks again when it needs to.
    (void)env_.notifications.post(notification);
}

void LauncherDelegate::setWidgetDockTile(TavrelWidgetKind kind, bool force) {
    const CalendarComponents date = env_.today ? env_.today() : CalendarComponents{};
    int percentage = 0;
    std::string signature;
    if (kind == TavrelWidgetKind::memory) {
        percentage = memoryPercentage(env_.memoryUsage ? env_.memoryUsage() : 0.0);
        signature = memorySignature(percentage);
    } else {
        signature = timeSignature(date);
    }
    if (!force && displayedWidgetSignature_ == signature) return;
    displayedWidgetSignature_ = signature;

    const platform::DockTileImage image = WidgetTileRenderer::tileDockImage(
        kind, kWidgetTileCanvasSide, kWidgetTileContentScale, percentage, date);
    env_.dockTile.setApplicationIcon(image);
    env_.dockTile.setContent(image, std::nullopt);
}

void LauncherDelegate::startWidgetRefreshTimer(TavrelWidgetKind kind) {
    if (kind != TavrelWidgetKind::memory) return;
    widgetRefreshTimer_.start([this, kind] { setWidgetDockTile(kind, false); });
}

void LauncherDelegate::setDockTile(bool isOpen, bool reloadFolderAssets) {
    switch (role().kind()) {
        case HelperRoleKind::folder:
            folderTile_.setDockTile(isOpen, reloadFolderAssets);
            break;
        case HelperRoleKind::launcher:
            setLauncherTile();
            break;
        case HelperRoleKind::widget:
            break;
    }
}

void LauncherDelegate::setLauncherTile() {
    const LauncherTileContent content = launcherTileContent(readSettings(env_.settingsPath));
    QImage avatar;
    QImage startMenuIcon;
    if (content.useUserAvatar) {
        avatar = LauncherTileRenderer::currentUserAvatar(env_.avatarLocations);
    } else {
        startMenuIcon = decodeImageFile(env_.resourcesDirectory / kStartMenuIconResource,
                                        kStartMenuIconMaxBytes);
    }
    const platform::DockTileImage image =
        dockTileImage(LauncherTileRenderer::tileImage(content, avatar, startMenuIcon));
    env_.dockTile.setApplicationIcon(image);
    // Where the platform cannot give the bundle a file-manager icon, the tile and the
    // application icon still change.
    (void)env_.application.setBundleIcon(env_.bundleRoot, image);
    env_.dockTile.setContent(image, std::nullopt);
}

void LauncherDelegate::scheduleDockIconRefresh() {
    std::weak_ptr<int> alive = alive_;
    pendingDockIconRefresh_.schedule([this, alive] {
        if (alive.lock() && role().kind() == HelperRoleKind::launcher) setDockTile(false, true);
    });
}

void LauncherDelegate::postWidgetClickNotification(TavrelWidgetKind kind) {
    const auto report = clickFilter_.evaluate(env_.application.secondsSinceLastMouseUp());
    if (!report) return;
    const platform::DockPoint mouse = env_.application.mouseLocation();
    post(makeShowWidgetNotification(kind, {mouse.x, mouse.y}, report->clickUptime));
}

}  // namespace tavrel
