#pragma once

// The running settings application: the notification centre, the main queue, the permission
// probes, the dialogs, the appearance and the delegate with its window, wired together. Made
// once the QApplication exists.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QMenu>
#include <QObject>

#include "core/foundation/result.h"
#include "core/settings/settings_environment.h"
#include "core/settings_pages/new_file_page.h"
#include "core/settings_pages/permission_probe.h"
#include "core/settings_pages/settings_helper_delegate.h"
#include "core/settings_transfer/settings_transfer_dialogs.h"
#include "platform/main_queue.h"
#include "platform/notifications.h"
#include "platform/screens.h"
#include "platform/workspace.h"
#include "ui/settings/custom_view_registry.h"
#include "ui/settings/privacy_settings_opener.h"
#include "ui/settings/qt_settings_dialogs.h"
#include "ui/settings/settings_appearance.h"
#include "ui/settings/settings_images.h"
#include "ui/settings/settings_window_services.h"

namespace tavrel {

class SettingsPanelController;

// The application is the window's services: one set for the process, so state such as a running
// native Dock change outlives the windows that asked for it.
class SettingsApplication : public QObject, public SettingsWindowServices {
    Q_OBJECT
public:
    struct Options {
        std::vector<std::string> arguments;  // without the program name
        SettingsEnvironment environment = SettingsEnvironment::standard();
        SettingsImageLookup images = settingsResourceImage;
        // Stand-ins for tests; the real ones when empty.
        std::unique_ptr<PrivacySettingsOpener> privacy;
        std::unique_ptr<platform::Dialogs> dialogs;
        std::unique_ptr<platform::Workspace> workspace;
        std::unique_ptr<platform::Screens> screens;
        // Where the shipped New File templates are; the bundle's Resources when nothing.
        std::optional<std::filesystem::path> newFileResources;
    };

    // Fails when there is no session bus.
    static Result<std::unique_ptr<SettingsApplication>> make(Options options);
    ~SettingsApplication() override;

    // applicationDidFinishLaunching: load, observe, show the window.
    void start();

    SettingsHelperDelegate& delegate() { return *delegate_; }
    // The window's controller while the window is open.
    SettingsPanelController* panel() const;

    // --- SettingsWindowServices
    platform::Dialogs& dialogs() override { return *dialogs_; }
    platform::Workspace& workspace() override { return *workspace_; }
    platform::Screens& screens() override { return *screens_; }
    platform::NotificationCenter& notifications() override { return *center_; }
    NativeDockVisibilitySwitch& nativeDockVisibility() override { return *nativeDock_; }
    NativeDockFolderSettingsStore& nativeDockFolders() override;
    NewFileFeatureSwitch& newFile() override { return *newFile_; }
    AppUpdateCheck& updateCheck() override { return *updateCheck_; }
    PermissionProbe& permissionProbe(PermissionKind permission) override;
    PrivacySettingsOpener& privacySettings() override { return *privacy_; }
    const SettingsImageLookup& images() override { return options_.images; }
    void applyAppearance(TavrelAppearanceMode mode) override { appearance_.apply(mode); }

private:
    SettingsApplication(Options options, std::unique_ptr<platform::NotificationCenter> center);
    void installMainMenu(QWidget* window);
    // The menu with the export, import and restore items (the backups listed when it opens).
    QMenu* makeSettingsFileMenu(QWidget* window);
    SettingsTransferContext settingsTransferContext();
    // Shows and announces the documents an import or a restore replaced.
    void documentsReplaced(const std::vector<SettingsDocumentKind>& kinds);

    Options options_;
    std::unique_ptr<platform::NotificationCenter> center_;
    std::unique_ptr<platform::MainQueue> mainQueue_;
    SettingsAppearance appearance_;
    std::unique_ptr<platform::Dialogs> dialogs_;
    std::unique_ptr<platform::Workspace> workspace_;
    std::unique_ptr<platform::Screens> screens_;
    CustomViewRegistry views_;
    std::unique_ptr<PrivacySettingsOpener> privacy_;
    std::unique_ptr<NewFileFeature> newFile_;
    std::unique_ptr<AppUpdateCheck> updateCheck_;
    std::unique_ptr<NativeDockVisibilitySwitch> nativeDock_;
    std::unique_ptr<PermissionProbe> screenRecordingProbe_;
    std::unique_ptr<PermissionProbe> accessibilityProbe_;
    std::unique_ptr<SettingsHelperDelegate> delegate_;
    SettingsPanelController* panel_ = nullptr;
};

}  // namespace tavrel
