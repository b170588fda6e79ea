#pragma once

// One copy of the Dock tile helper: picks its role from its Info.plist, draws its tile, answers
// the taskbar's notifications, reports widget clicks and offers its Dock menu. Everything runs on
// the main thread.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/helper/debounced_task.h"
#include "core/helper/helper_role.h"
#include "core/helper/launcher_tile_layout.h"
#include "core/helper/memory_refresh_timer.h"
#include "core/helper/tavrel_widget_kind.h"
#include "core/helper/widget_click_filter.h"
#include "core/helper/widget_tile_geometry.h"
#include "platform/clock.h"
#include "platform/dock_tile.h"
#include "platform/main_queue.h"
#include "platform/notifications.h"
#include "ui/helper/folder_tile.h"

namespace tavrel {

// What a copy works with; the program passes the real services, tests their fakes.
struct LauncherEnvironment {
    platform::NotificationCenter& notifications;
    platform::MainQueue& mainQueue;
    std::shared_ptr<const platform::Clock> clock;
    platform::DockTile& dockTile;
    platform::DockApplication& application;
    // The copy's own Info.plist, read on every call.
    InfoStringReader infoString;
    std::filesystem::path bundleRoot;
    std::filesystem::path resourcesDirectory;
    std::filesystem::path settingsPath;
    // The fraction of physical memory in use, 0…1.
    std::function<double()> memoryUsage;
    std::function<CalendarComponents()> today;
    AvatarLocations avatarLocations;
    // Returns once the observers registered so far receive what anyone posts from now on (on
    // the bus a round trip to its daemon). Nothing to wait for when empty.
    std::function<void()> awaitObservers = {};
};

class LauncherDelegate {
public:
    static constexpr std::chrono::milliseconds kDockIconRefreshDelay{200};

    explicit LauncherDelegate(LauncherEnvironment environment);
    ~LauncherDelegate();
    LauncherDelegate(const LauncherDelegate&) = delete;
    LauncherDelegate& operator=(const LauncherDelegate&) = delete;

    // Start-up: quits at once when settings.json hides the native Dock; otherwise sets up the
    // Dock menu, observes the role's notifications and other applications' activation, and
    // draws the first tile. The tile appears last: whoever sees it can talk to the copy.
    void applicationDidFinishLaunching();
    // The user clicked the running copy's tile.
    void applicationDidBecomeActive();
    // Runs once while quitting.
    void applicationWillTerminate();
    // The user asked for the Dock menu.
    void dockMenuRequested();

    HelperRole role() const;
    bool didFinishLaunching() const { return didFinishLaunching_; }
    bool isManagedFolderTermination() const { return isManagedFolderTermination_; }
    const std::optional<std::string>& displayedWidgetSignature() const {
        return displayedWidgetSignature_;
    }

    // Tile drawing, as the handlers use it.
    void setWidgetDockTile(TavrelWidgetKind kind, bool force);
    void setDockTile(bool isOpen, bool reloadFolderAssets);
    void postWidgetClickNotification(TavrelWidgetKind kind);

private:
    void observe(std::string_view name, platform::NotificationCenter::Handler handler);
    void registerObservers(const HelperRole& role);
    void installDockMenu(const HelperRole& role);
    void startWidgetRefreshTimer(TavrelWidgetKind kind);
    void scheduleDockIconRefresh();
    void setLauncherTile();
    void managedQuit();
    void post(const Notification& notification);

    void terminateSelf(const Notification&);
    void terminateFolder(const Notification& notification);
    void terminateWidget(const Notification& notification);
    void refreshWidgetDockTile(const Notification& notification);
    void refreshDockIcon(const Notification& notification);

    LauncherEnvironment env_;
    bool didFinishLaunching_ = false;
    bool isManagedFolderTermination_ = false;
    WidgetClickFilter clickFilter_;
    FolderTile folderTile_;
    std::optional<std::string> displayedWidgetSignature_;
    MemoryRefreshTimer widgetRefreshTimer_;
    DebouncedTask pendingDockIconRefresh_;
    std::vector<platform::NotificationCenter::ObserverId> observers_;
    // Work queued for later turns holds this weakly and does nothing once the copy is gone.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace tavrel
