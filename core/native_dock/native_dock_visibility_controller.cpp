#include "core/native_dock/native_dock_visibility_controller.h"

#include <string>
#include <utility>

#include "core/native_dock/native_dock_alerts.h"
#include "core/native_dock/native_dock_visibility.h"
#include "core/notifications/notification_names.h"

namespace tavrel {

std::shared_ptr<NativeDockVisibilityController> NativeDockVisibilityController::make(
    Dependencies dependencies, NativeDockVisibilityHost& host) {
    return std::shared_ptr<NativeDockVisibilityController>(
        new NativeDockVisibilityController(std::move(dependencies), host));
}

NativeDockVisibilityController::NativeDockVisibilityController(Dependencies dependencies,
                                                               NativeDockVisibilityHost& host)
    : dependencies_(std::move(dependencies)), host_(host) {}

void NativeDockVisibilityController::changeNativeDockHidden(bool hidden) {
    if (changeInProgress_) return;
    const platform::ModalAlert confirmation = hidden ? NativeDockAlerts::confirmEnableNativeDockHiding()
                                           : NativeDockAlerts::confirmDisableNativeDockHiding();
    if (!dependencies_.alerts.runModal(confirmation).isFirstButton()) {
        host_.rebuildContentViewBody();
        return;
    }
    changeInProgress_ = true;

    // The work item reaches the controller only through the main queue, and only weakly.
    std::weak_ptr<NativeDockVisibilityController> weakSelf = weak_from_this();
    platform::ProcessRunner& runner = dependencies_.runner;
    platform::NotificationCenter& notifications = dependencies_.notifications;
    platform::MainQueue& mainQueue = dependencies_.mainQueue;
    dependencies_.workQueue.submit([weakSelf, hidden, backupURL = dependencies_.backupURL, &runner,
                                    &notifications, &mainQueue] {
        const bool ok = applyNativeDockHidden(hidden, runner, backupURL);
        // The taskbar hears of the change before settings.json carries it, and after a
        // failure too: some commands may have run.
        Notification command;
        command.name = TavrelDistributedNotification::settingsCommand;
        command.userInfo[std::string(NotificationKey::command)] =
            std::string(SettingsCommandName::nativeDockVisibilityChanged);
        (void)notifications.post(command);  // nothing to do about a bus that is gone
        mainQueue.async([weakSelf, ok, hidden] {
            if (auto self = weakSelf.lock()) self->complete(ok, hidden);
        });
    });
}

void NativeDockVisibilityController::complete(bool ok, bool hidden) {
    changeInProgress_ = false;
    if (ok) {
        TaskbarSettings& settings = host_.panelSettings();
        settings.hideNativeDock = hidden;
        if (hidden) settings.nativeDockEnhancementsEnabled = false;
        host_.applyLiveChange(/*rebuild=*/true);
        return;
    }
    (void)dependencies_.alerts.runModal(NativeDockAlerts::nativeDockCommandFailure());
    host_.rebuildContentViewBody();
}

}  // namespace tavrel
