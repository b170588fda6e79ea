#pragma once

// The "隐藏原生dock" change as the settings application runs it. The Dock commands run through
// the process runner on one background thread; the settings command goes out on the bus; the
// completion arrives on the main queue and is applied to whichever settings window is open
// then. The page switch and the sidebar toggle both reach it as the window's
// NativeDockVisibilitySwitch, so the two share one in-progress guard.

#include <filesystem>
#include <functional>
#include <memory>

#include "core/native_dock/background_work_queue.h"
#include "core/native_dock/native_dock_visibility_controller.h"
#include "core/settings_pages/settings_page_host.h"
#include "platform/dialogs.h"
#include "platform/main_queue.h"
#include "platform/notifications.h"
#include "platform/process.h"

namespace tavrel {

class NativeDockVisibilityBridge final : public NativeDockVisibilitySwitch {
public:
    struct Dependencies {
        // Starts "/usr/bin/defaults" and "/usr/bin/killall" (or what stands in for them).
        std::unique_ptr<platform::ProcessRunner> runner;
        // Where the blocking work runs; one SerialBackgroundWorkQueue when empty.
        std::unique_ptr<BackgroundWorkQueue> workQueue;
        // Both must outlive the bridge.
        platform::NotificationCenter& notifications;
        platform::MainQueue& mainQueue;
        platform::ModalAlertPresenter& alerts;
        // native-dock-bounce-backup.json beside settings.json.
        std::filesystem::path backupURL;
        // The open settings window; nothing when there is none.
        std::function<SettingsPageHost*()> window;
    };

    explicit NativeDockVisibilityBridge(Dependencies dependencies);
    // Waits for a running hide or restore to finish; its completion is then dropped.
    ~NativeDockVisibilityBridge() override;
    NativeDockVisibilityBridge(const NativeDockVisibilityBridge&) = delete;
    NativeDockVisibilityBridge& operator=(const NativeDockVisibilityBridge&) = delete;

    void changeNativeDockHidden(bool hidden) override;
    bool nativeDockChangeInProgress() const;

private:
    class WindowHost;

    // Destroyed in reverse: the controller first (a late completion finds it gone), then the
    // work queue (which joins its thread), then the runner the work used.
    std::unique_ptr<platform::ProcessRunner> runner_;
    std::unique_ptr<BackgroundWorkQueue> workQueue_;
    std::unique_ptr<WindowHost> host_;
    std::shared_ptr<NativeDockVisibilityController> controller_;
};

}  // namespace tavrel
