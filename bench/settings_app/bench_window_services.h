#pragma once

// The services of a settings window in a benchmark: one display, an in-memory bus, no dialogs,
// no privacy settings, no New File, native Dock or update service, the shipped pictures. A
// benchmark's window derives from it and opens its controller over it.

#include <memory>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>

#include "platform/fake/fake_notification_center.h"
#include "platform/fake/fake_screens.h"
#include "platform/fake/fake_workspace.h"
#include "platform/fake/manual_main_queue.h"
#include "ui/settings/custom_view_registry.h"
#include "ui/settings/privacy_settings_opener.h"
#include "ui/settings/settings_images.h"
#include "ui/settings/settings_window_services.h"

namespace tavrel::bench {

// The benchmark's application on Qt's offscreen platform, made on first use.
inline QApplication& offscreenApplication(const char* programName) {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(programName), nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// What the event loop does before the next frame: deletes the retired build, polishes, lays
// out and paints what changed.
inline void finishFrame() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class NoDialogs final : public platform::Dialogs {
public:
    platform::ModalAlertResponse runModal(const platform::ModalAlert&) override { return {}; }
    platform::ModalAlertResponse runSheet(const platform::ModalAlert&) override { return {}; }
    std::optional<std::filesystem::path> openFile(const platform::OpenFileRequest&) override {
        return {};
    }
    void beep() override {}
};

class NoPrivacy final : public PrivacySettingsOpener {
public:
    void open(std::string_view) override {}
};

struct BenchWindowServices : SettingsWindowServices {
    platform::ManualMainQueue queue;
    platform::FakeNotificationCenter center{queue};
    PermissionProbe screen{center, PermissionKind::screenRecording};
    PermissionProbe accessibility{center, PermissionKind::accessibility};
    NoDialogs noDialogs;
    NoPrivacy privacy;
    platform::FakeWorkspace noWorkspace;
    platform::FakeScreens oneScreen{{{"display-1", "Built-in", true}}};
    SettingsImageLookup lookup = settingsResourceImage;
    std::unique_ptr<NewFileFeatureSwitch> newFileSwitch = makeNullNewFileFeatureSwitch();
    std::unique_ptr<NativeDockVisibilitySwitch> nativeDock = makeNullNativeDockVisibilitySwitch();
    std::unique_ptr<AppUpdateCheck> noUpdates = makeNullAppUpdateCheck();
    // Filled by the window once its application exists.
    CustomViewRegistry views;

    platform::Dialogs& dialogs() override { return noDialogs; }
    platform::Workspace& workspace() override { return noWorkspace; }
    platform::Screens& screens() override { return oneScreen; }
    platform::NotificationCenter& notifications() override { return center; }
    NativeDockVisibilitySwitch& nativeDockVisibility() override { return *nativeDock; }
    NativeDockFolderSettingsStore& nativeDockFolders() override {
        return NativeDockFolderSettingsStore::shared();
    }
    NewFileFeatureSwitch& newFile() override { return *newFileSwitch; }
    AppUpdateCheck& updateCheck() override { return *noUpdates; }
    PermissionProbe& permissionProbe(PermissionKind kind) override {
        return kind == PermissionKind::screenRecording ? screen : accessibility;
    }
    PrivacySettingsOpener& privacySettings() override { return privacy; }
    const SettingsImageLookup& images() override { return lookup; }
    void applyAppearance(TavrelAppearanceMode) override {}
};

}  // namespace tavrel::bench
