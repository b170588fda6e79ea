#pragma once

// The "隐藏原生dock" change as the settings window runs it: confirmation, one background run of
// the Dock commands at a time, the settings command notification, and the completion on the
// main thread that stores the choice or shows the failure alert. The page switch and the
// feature sidebar toggle both call changeNativeDockHidden().

#include <filesystem>
#include <memory>

#include "core/native_dock/background_work_queue.h"
#include "platform/dialogs.h"
#include "core/settings/taskbar_settings.h"
#include "platform/main_queue.h"
#include "platform/notifications.h"
#include "platform/process.h"

namespace tavrel {

// What the settings window lends the controller. Main thread only.
class NativeDockVisibilityHost {
public:
    virtual ~NativeDockVisibilityHost() = default;
    // The window's working copy of the settings.
    virtual TaskbarSettings& panelSettings() = 0;
    // Keeps the scroll position, hands the settings to the change callback (which saves and
    // notifies) and, with `rebuild`, rebuilds the page.
    virtual void applyLiveChange(bool rebuild) = 0;
    // Rebuilds the page from the stored values (a switch the user flipped shows them again).
    virtual void rebuildContentViewBody() = 0;
};

class NativeDockVisibilityController
    : public std::enable_shared_from_this<NativeDockVisibilityController> {
public:
    struct Dependencies {
        // Each of these must outlive the background work: destroy the work queue (which waits
        // for its running item) before the runner, the centre or the main queue.
        platform::ProcessRunner& runner;
        platform::NotificationCenter& notifications;
        platform::MainQueue& mainQueue;
        BackgroundWorkQueue& workQueue;
        platform::ModalAlertPresenter& alerts;
        // native-dock-bounce-backup.json beside settings.json.
        std::filesystem::path backupURL;
    };

    // The host owns the controller; a completion that arrives after the controller is gone
    // does nothing, so the host must simply outlive its controller.
    static std::shared_ptr<NativeDockVisibilityController> make(Dependencies dependencies,
                                                                NativeDockVisibilityHost& host);

    // Main thread. Ignored while a change runs. Asks for confirmation (a cancel rebuilds the
    // page so the switch shows the stored value); then runs the hide or restore in the
    // background, posts the "nativeDockVisibilityChanged" settings command whatever the outcome,
    // and completes on the main thread: on success stores `hideNativeDock` (and turns
    // `nativeDockEnhancementsEnabled` off when hiding) through applyLiveChange(rebuild: true);
    // on failure shows the failure alert and rebuilds the page.
    void changeNativeDockHidden(bool hidden);

    bool nativeDockChangeInProgress() const { return changeInProgress_; }

private:
    NativeDockVisibilityController(Dependencies dependencies, NativeDockVisibilityHost& host);
    void complete(bool ok, bool hidden);

    Dependencies dependencies_;
    NativeDockVisibilityHost& host_;
    bool changeInProgress_ = false;
};

}  // namespace tavrel
