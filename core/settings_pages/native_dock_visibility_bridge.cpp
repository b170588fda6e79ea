#include "core/settings_pages/native_dock_visibility_bridge.h"

#include <utility>

namespace tavrel {

// The controller's window: the one open when the completion arrives. Without a window the
// completion changes nothing, as when the controller itself is gone.
class NativeDockVisibilityBridge::WindowHost final : public NativeDockVisibilityHost {
public:
    explicit WindowHost(std::function<SettingsPageHost*()> window) : window_(std::move(window)) {}

    TaskbarSettings& panelSettings() override {
        if (SettingsPageHost* window = current()) return window->settings();
        detached_ = TaskbarSettings();
        return detached_;
    }

    void applyLiveChange(bool rebuild) override {
        SettingsPageHost* window = current();
        if (!window) return;
        if (rebuild) window->endTextEditing();
        window->applyLiveChange(rebuild);
    }

    // The switch shows the stored value again; the page stays where it was scrolled, as after
    // any page action that rebuilds.
    void rebuildContentViewBody() override {
        SettingsPageHost* window = current();
        if (!window) return;
        window->endTextEditing();
        window->storePageScrollOrigin();
        window->rebuildContentViewBody();
    }

private:
    SettingsPageHost* current() const { return window_ ? window_() : nullptr; }

    std::function<SettingsPageHost*()> window_;
    // Written by a completion that found no window, and never read.
    TaskbarSettings detached_;
};

NativeDockVisibilityBridge::NativeDockVisibilityBridge(Dependencies dependencies)
    : runner_(std::move(dependencies.runner)),
      workQueue_(dependencies.workQueue ? std::move(dependencies.workQueue)
                                        : std::make_unique<SerialBackgroundWorkQueue>()),
      host_(std::make_unique<WindowHost>(std::move(dependencies.window))) {
    controller_ = NativeDockVisibilityController::make(
        {*runner_, dependencies.notifications, dependencies.mainQueue, *workQueue_,
         dependencies.alerts, std::move(dependencies.backupURL)},
        *host_);
}

NativeDockVisibilityBridge::~NativeDockVisibilityBridge() {
    controller_.reset();
    workQueue_.reset();
}

void NativeDockVisibilityBridge::changeNativeDockHidden(bool hidden) {
    controller_->changeNativeDockHidden(hidden);
}

bool NativeDockVisibilityBridge::nativeDockChangeInProgress() const {
    return controller_->nativeDockChangeInProgress();
}

}  // namespace tavrel
