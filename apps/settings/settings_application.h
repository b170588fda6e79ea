#pragma once

// The running settings application: the notification centre, the main queue, the permission
// probes, the dialogs, the appearance and the delegate with its window, wired together. Made
// once the QApplication exists.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QObject>

#include "core/foundation/result.h"
#include "core/settings/settings_environment.h"
#include "core/settings_pages/feature_switches.h"
#include "core/settings_pages/new_file_page.h"
#include "core/settings_pages/permission_probe.h"
#include "core/settings_pages/settings_helper_delegate.h"
#include "platform/main_queue.h"
#include "platform/notifications.h"
#include "ui/settings/privacy_settings_opener.h"
#include "ui/settings/qt_settings_dialogs.h"
#include "ui/settings/settings_appearance.h"
#include "ui/settings/settings_images.h"

namespace tavrel {

class SettingsPanelController;

class SettingsApplication : public QObject {
    Q_OBJECT
public:
    struct Options {
        std::vector<std::string> arguments;  // without the program name
        SettingsEnvironment environment = SettingsEnvironment::standard();
        SettingsImageLookup images = settingsResourceImage;
        // Stand-ins for tests; the real ones when empty.
        std::unique_ptr<PrivacySettingsOpener> privacy;
        std::unique_ptr<platform::Dialogs> dialogs;
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
    platform::NotificationCenter& notifications() { return *center_; }

private:
    SettingsApplication(Options options, std::unique_ptr<platform::NotificationCenter> center);
    void installMainMenu(QWidget* window);

    Options options_;
    std::unique_ptr<platform::NotificationCenter> center_;
    std::unique_ptr<platform::MainQueue> mainQueue_;
    SettingsAppearance appearance_;
    std::unique_ptr<platform::Dialogs> dialogs_;
    std::unique_ptr<PrivacySettingsOpener> privacy_;
    std::unique_ptr<NewFileFeature> newFile_;
    std::unique_ptr<NativeDockVisibilitySwitch> nativeDock_;
    std::unique_ptr<PermissionProbe> screenRecordingProbe_;
    std::unique_ptr<PermissionProbe> accessibilityProbe_;
    std::unique_ptr<SettingsHelperDelegate> delegate_;
    SettingsPanelController* panel_ = nullptr;
};

}  // namespace tavrel
