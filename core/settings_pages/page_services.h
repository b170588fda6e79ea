#pragma once

// What the pages need from outside the settings they edit: the questions they ask, the desktop's
// applications and displays, the native Dock, the New File feature and the bus. The application
// supplies one set for its life; tests supply fakes. (Commands to the taskbar application go
// through the window, which the application delegate wires to them.)

#include <memory>
#include <optional>
#include <string>

#include "core/native_dock/native_dock_folder_settings_store.h"
#include "core/settings/close_protection_app.h"
#include "platform/dialogs.h"
#include "platform/notifications.h"
#include "platform/screens.h"
#include "platform/workspace.h"

namespace tavrel {

class FormContent;
class SettingsPageHost;

// Commands to the running taskbar application (settingsCommand).
class TaskbarCommands {
public:
    virtual ~TaskbarCommands() = default;
    virtual void closeTaskbar() = 0;
    virtual void restartTaskbar() = 0;
};

// Hiding and restoring the native Dock runs through the native Dock module (confirmation,
// background commands, the settings command); the setting is written once the Dock changed.
class NativeDockVisibilitySwitch {
public:
    virtual ~NativeDockVisibilitySwitch() = default;
    virtual void changeNativeDockHidden(bool hidden) = 0;
};

// The New File feature's on/off state lives in its own document, owned by the New File module
// (NewFileFeature in new_file_page.h). The null switch reports no state (the sidebar then shows
// no switch), ignores changes and has no page.
class NewFileFeatureSwitch {
public:
    virtual ~NewFileFeatureSwitch() = default;
    // Nothing when the state cannot be determined.
    virtual std::optional<bool> isEnabled() const = 0;
    // Saves the New File settings with the new state.
    virtual void setEnabled(bool enabled) = 0;
    // The feature's page; nothing when there is none.
    virtual std::shared_ptr<FormContent> makeSettingsView(SettingsPageHost&) { return nullptr; }
    // The rows that page would show now, with controls that have no action; reading it changes
    // nothing on disk. Nothing when there is no page.
    virtual std::shared_ptr<FormContent> makeSettingsPreview() { return nullptr; }
};

std::unique_ptr<NewFileFeatureSwitch> makeNullNewFileFeatureSwitch();
std::unique_ptr<NativeDockVisibilitySwitch> makeNullNativeDockVisibilitySwitch();

// The general page's "检查更新". One checker serves the whole process, so a check that is running
// keeps further presses away across page rebuilds. The answer comes as an alert: a sheet on the
// settings window when it is visible, else an application-modal one.
class AppUpdateCheck {
public:
    virtual ~AppUpdateCheck() = default;
    // The application's CFBundleShortVersionString; "0.0.0" when it has none.
    virtual std::string currentVersion() const = 0;
    // Starts a check and returns at once; ignored while one is running.
    virtual void check() = 0;
};

// Reports "0.0.0" and never checks: for programs and tests without an update service.
std::unique_ptr<AppUpdateCheck> makeNullAppUpdateCheck();

class PageServices {
public:
    virtual ~PageServices() = default;

    virtual platform::Dialogs& dialogs() = 0;
    virtual platform::Workspace& workspace() = 0;
    virtual platform::Screens& screens() = 0;
    virtual platform::NotificationCenter& notifications() = 0;
    virtual NativeDockVisibilitySwitch& nativeDockVisibility() = 0;
    // The "应用分组" tab's folder file.
    virtual NativeDockFolderSettingsStore& nativeDockFolders() = 0;
    virtual NewFileFeatureSwitch& newFile() = 0;
    virtual AppUpdateCheck& updateCheck() = 0;
};

// What a window remembers for its pages between rebuilds, never saved: it starts afresh with
// every new window.
struct PageState {
    // The tab of the native Dock page (0–3).
    int nativeDockSettingsTab = 0;
    // The row selected in the close-protection list.
    std::optional<CloseProtectionApp> closeProtectionSelection;
};

}  // namespace tavrel
