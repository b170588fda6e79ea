#pragma once

// The settings application's delegate: owns the application's copy of the settings, shows the
// window, saves every edit and tells the taskbar application when settings.json changed, picks
// up the taskbar application's own changes, and quits when the window closes. Main thread only.
//
// The signature is the raw bytes of settings.json as this process last saw them. It tells
// whether a save changed the file (then settingsChanged is posted) and whether someone else
// changed it since (then the edit is dropped and the window shows the file's values).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/settings_environment.h"
#include "core/settings/taskbar_settings.h"
#include "core/settings_pages/settings_window_controller.h"
#include "platform/main_queue.h"
#include "platform/notifications.h"

namespace tavrel {

class SettingsHelperDelegate {
public:
    struct Dependencies {
        SettingsEnvironment environment;
        platform::NotificationCenter& notifications;
        platform::MainQueue& mainQueue;
        // The process's arguments without the program name.
        std::vector<std::string> arguments;
        // The appearance rule: automatic → the system's, light, dark.
        std::function<void(TavrelAppearanceMode)> applyAppearance;
        // Ends the application (its event loop).
        std::function<void()> terminate;
        SettingsWindowFactory makeWindow;
    };

    explicit SettingsHelperDelegate(Dependencies dependencies);
    ~SettingsHelperDelegate();
    SettingsHelperDelegate(const SettingsHelperDelegate&) = delete;
    SettingsHelperDelegate& operator=(const SettingsHelperDelegate&) = delete;

    // Loads the settings, applies the appearance, registers the observers, shows the window.
    void applicationDidFinishLaunching();
    void applicationDidBecomeActive();
    void showSettings();

    void saveAndNotifyIfChanged(const TaskbarSettings& panelSettings);
    // Reopen, the taskbar's settings change and the folder change are asked for by other
    // programs, at times in bursts: each records what it asks for, and the work is done once on
    // the next turn of the main queue, with the latest page and the files as they are then.
    // Close acts at once.
    void handleReopen(const Notification& notification);
    void handleClose();
    void handleMainAppSettingsChanged();
    void handleNativeDockFoldersChanged();
    void windowWillClose();
    // settings.json was replaced by this process (an import): the window shows the file's
    // values and the taskbar hears of it as of any edit.
    void settingsFileReplaced();

    // State, for the window and for tests.
    const TaskbarSettings& settings() const { return settings_; }
    SettingsWindowController* controller() const { return controller_.get(); }
    const std::optional<std::string>& lastSavedSettingsSignature() const {
        return lastSavedSettingsSignature_;
    }
    bool isClosingWindow() const { return isClosingWindow_; }

private:
    std::optional<std::string> readSignature() const;
    void selectPage(PageSelection selection);
    void bringToFrontNowAndNextTurn();
    void takeExternalSettings();
    void scheduleNotificationWork();
    void runNotificationWork();
    void post(std::string_view name, std::string_view key, std::string_view value);

    Dependencies dependencies_;
    TaskbarSettings settings_;
    std::unique_ptr<SettingsWindowController> controller_;
    std::optional<std::string> lastSavedSettingsSignature_;
    bool isClosingWindow_ = false;
    std::vector<platform::NotificationCenter::ObserverId> observers_;
    // What notifications asked for since the last turn; done together on the next one.
    struct PendingNotificationWork {
        bool scheduled = false;
        bool externalSettings = false;
        bool nativeDockFolders = false;
        bool reopen = false;
        std::optional<std::string> reopenPage;
    };
    PendingNotificationWork pending_;
    // Outlives deferred work on the main queue, which checks it before touching the delegate.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tavrel
