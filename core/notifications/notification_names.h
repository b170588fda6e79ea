#pragma once

// Every distributed notification name, payload key and fixed payload value of the suite.
// Each string is written here once; everything else refers to these constants.

#include <string_view>

namespace tavrel {

// Messages between the settings application and the taskbar application.
struct TavrelDistributedNotification {
    static constexpr std::string_view settingsChanged = "com.local.tavrel.settingsChanged";
    static constexpr std::string_view mainAppSettingsChanged =
        "com.local.tavrel.mainAppSettingsChanged";
    static constexpr std::string_view settingsCommand = "com.local.tavrel.settingsCommand";
    static constexpr std::string_view settingsReopen = "com.local.tavrel.settings.reopen";
    static constexpr std::string_view settingsClose = "com.local.tavrel.settings.close";
    static constexpr std::string_view settingsWillClose = "com.local.tavrel.settings.willClose";
    static constexpr std::string_view permissionQuery = "com.local.tavrel.permissionQuery";
    static constexpr std::string_view permissionReply = "com.local.tavrel.permissionReply";
};

// Shared by the settings application and the taskbar application; unlike the names above it
// has no "local" component.
inline constexpr std::string_view nativeDockFoldersChangedNotification =
    "com.tavrel.nativeDockFolders.changed";

// The name the settings application's single-instance lock is taken under.
inline constexpr std::string_view settingsSingleInstanceName =
    "com.local.tavrel.settings.single-instance";

// The New File module and the file-manager extension.
struct NewFileNotification {
    static constexpr std::string_view settingsSync = "com.local.tavrel.newFileSettings.sync";
    static constexpr std::string_view settingsSyncRequest =
        "com.local.tavrel.newFileSettings.syncRequest";
    static constexpr std::string_view desktopIconPositionRequest =
        "com.local.tavrel.desktopIconPositionRequest";
};

// The Dock tile helper.
inline constexpr std::string_view kTavrelTerminateHelperNotification =
    "com.local.tavrel.terminateHelper";
inline constexpr std::string_view kTavrelRefreshHelperIconNotification =
    "com.local.tavrel.refreshHelperIcon";
inline constexpr std::string_view kTavrelTerminateFolderNotification =
    "com.tavrel.nativeDockFolder.terminate";
inline constexpr std::string_view kTavrelRefreshFolderIconNotification =
    "com.tavrel.nativeDockFolder.refreshIcon";
inline constexpr std::string_view kTavrelFolderDidExitNotification =
    "com.tavrel.nativeDockFolder.didExit";
inline constexpr std::string_view kTavrelManageFolderNotification =
    "com.tavrel.nativeDockFolder.manage";
inline constexpr std::string_view kTavrelDismissFolderNotification =
    "com.tavrel.nativeDockFolder.dismiss";
inline constexpr std::string_view kTavrelShowWidgetNotification =
    "com.tavrel.nativeDockWidget.show";
inline constexpr std::string_view kTavrelTerminateWidgetNotification =
    "com.tavrel.nativeDockWidget.terminate";
inline constexpr std::string_view kTavrelRemoveWidgetNotification =
    "com.tavrel.nativeDockWidget.removeRequested";
inline constexpr std::string_view kTavrelRefreshWidgetIconNotification =
    "com.tavrel.nativeDockWidget.refreshIcon";
inline constexpr std::string_view kTavrelWidgetSyncArgument = "--tavrel-widget-sync";

// userInfo keys.
struct NotificationKey {
    static constexpr std::string_view reason = "reason";
    static constexpr std::string_view command = "command";
    static constexpr std::string_view page = "page";
    static constexpr std::string_view token = "token";
    static constexpr std::string_view screenRecording = "screenRecording";
    static constexpr std::string_view accessibility = "accessibility";
    static constexpr std::string_view payload = "payload";
    static constexpr std::string_view widget = "widget";
    static constexpr std::string_view mouseX = "mouseX";
    static constexpr std::string_view mouseY = "mouseY";
    static constexpr std::string_view clickUptime = "clickUptime";
    static constexpr std::string_view action = "action";
    static constexpr std::string_view folderID = "folderID";
    static constexpr std::string_view isOpen = "isOpen";
    static constexpr std::string_view reloadAssets = "reloadAssets";
};

// "reason" of settingsChanged and settingsWillClose.
struct SettingsNotificationReason {
    static constexpr std::string_view settingsHelperChange = "settings-helper-change";
    static constexpr std::string_view newFileSettingsChange = "new-file-settings-change";
    static constexpr std::string_view settingsWindowWillClose = "settings-window-will-close";
};

// "command" of settingsCommand.
struct SettingsCommandName {
    static constexpr std::string_view closeTaskbar = "closeTaskbar";
    static constexpr std::string_view restartTaskbar = "restartTaskbar";
    static constexpr std::string_view nativeDockVisibilityChanged = "nativeDockVisibilityChanged";
};

// "page" of settingsReopen, and the command-line switches that name the same pages.
struct SettingsPageName {
    static constexpr std::string_view startMenu = "startMenu";
    static constexpr std::string_view switcher = "switcher";
};
struct SettingsLaunchSwitch {
    static constexpr std::string_view startMenu = "--start-menu";
    static constexpr std::string_view switcher = "--switcher";
};

// "action" of the helper's widget and folder messages.
struct HelperAction {
    static constexpr std::string_view dismiss = "dismiss";
    static constexpr std::string_view remove = "remove";
    static constexpr std::string_view create = "create";
    static constexpr std::string_view rename = "rename";
    static constexpr std::string_view deleteFolder = "delete";
};

// Bundle identifiers the programs declare at start-up.
struct BundleIdentifier {
    static constexpr std::string_view settings = "com.local.tavrel.settings";
    static constexpr std::string_view helper = "com.local.tavrel-helper";
    static constexpr std::string_view newFileExtension = "com.local.tavrel.NewFileFinderSync";
};

}  // namespace tavrel
