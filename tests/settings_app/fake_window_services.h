#pragma once

// A settings window's services over the test's own stand-ins (held by reference, so a test may
// replace one before it opens the window), with a described workspace and displays.

#include <functional>

#include "tests/settings_app/fake_page_services.h"
#include "ui/settings/settings_window_services.h"

namespace tavrel::test {

class FakeWindowServices final : public SettingsWindowServices {
public:
    struct Parts {
        platform::Dialogs& dialogs;
        platform::NotificationCenter& notifications;
        PermissionProbe& screenRecordingProbe;
        PermissionProbe& accessibilityProbe;
        PrivacySettingsOpener& privacy;
        NewFileFeatureSwitch& newFile;
        NativeDockVisibilitySwitch& nativeDock;
        const SettingsImageLookup& images;
        std::function<void(TavrelAppearanceMode)> applyAppearance;
    };

    explicit FakeWindowServices(Parts parts) : parts_(std::move(parts)) {}

    platform::Dialogs& dialogs() override { return parts_.dialogs; }
    platform::Workspace& workspace() override { return workspaceStub; }
    platform::Screens& screens() override { return screensStub; }
    platform::NotificationCenter& notifications() override { return parts_.notifications; }
    NativeDockVisibilitySwitch& nativeDockVisibility() override { return parts_.nativeDock; }
    NativeDockFolderSettingsStore& nativeDockFolders() override { return folderStore; }
    NewFileFeatureSwitch& newFile() override { return parts_.newFile; }
    AppUpdateCheck& updateCheck() override { return updateCheckStub; }
    PermissionProbe& permissionProbe(PermissionKind permission) override {
        return permission == PermissionKind::screenRecording ? parts_.screenRecordingProbe
                                                             : parts_.accessibilityProbe;
    }
    PrivacySettingsOpener& privacySettings() override { return parts_.privacy; }
    const SettingsImageLookup& images() override { return parts_.images; }
    void applyAppearance(TavrelAppearanceMode mode) override {
        if (parts_.applyAppearance) parts_.applyAppearance(mode);
    }

    platform::FakeWorkspace workspaceStub;
    RecordingUpdateCheck updateCheckStub;
    platform::FakeScreens screensStub{{{"display-1", "Built-in", true}}};
    NativeDockFolderSettingsStore folderStore{NativeDockFolderSettingsStore::defaultFileURL()};

private:
    Parts parts_;
};

}  // namespace tavrel::test
