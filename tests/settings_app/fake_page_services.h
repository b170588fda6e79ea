#pragma once

// The services a page uses, as test stand-ins: scripted dialogs, an in-memory bus, the data
// directory's folder file, a Dock switch and a New File switch that record requests, and a
// workspace and displays the test describes (one display unless it says otherwise).

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/native_dock/native_dock_folder_settings_store.h"
#include "core/settings_pages/page_services.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/fake_screens.h"
#include "platform/fake/fake_workspace.h"
#include "platform/fake/manual_main_queue.h"
#include "tests/settings_app/scripted_settings_dialogs.h"

namespace tavrel::test {

class RecordingNativeDockVisibility final : public NativeDockVisibilitySwitch {
public:
    void changeNativeDockHidden(bool hidden) override { requests.push_back(hidden); }
    std::vector<bool> requests;
};

class RecordingNewFileSwitch final : public NewFileFeatureSwitch {
public:
    std::optional<bool> isEnabled() const override { return state; }
    void setEnabled(bool enabled) override { state = enabled; }
    std::optional<bool> state = false;
};

// Counts the presses of "检查更新".
class RecordingUpdateCheck final : public AppUpdateCheck {
public:
    std::string currentVersion() const override { return version; }
    void check() override { ++checks; }
    std::string version = "2.4.1";
    int checks = 0;
};

class FakePageServices final : public PageServices {
public:
    platform::Dialogs& dialogs() override { return scriptedDialogs; }
    platform::Workspace& workspace() override { return workspaceStub; }
    platform::Screens& screens() override { return screensStub; }
    platform::NotificationCenter& notifications() override { return center; }
    NativeDockVisibilitySwitch& nativeDockVisibility() override { return visibility; }
    NativeDockFolderSettingsStore& nativeDockFolders() override { return folderStore; }
    NewFileFeatureSwitch& newFile() override {
        return newFileSwitch ? *newFileSwitch : recordedNewFile;
    }
    AppUpdateCheck& updateCheck() override { return recordedUpdateCheck; }

    ScriptedSettingsDialogs scriptedDialogs;
    platform::FakeWorkspace workspaceStub;
    platform::FakeScreens screensStub{{{"display-1", "Built-in", true}}};
    platform::ManualMainQueue queue;
    platform::FakeNotificationCenter center{queue};
    RecordingNativeDockVisibility visibility;
    NativeDockFolderSettingsStore folderStore{NativeDockFolderSettingsStore::defaultFileURL()};
    RecordingNewFileSwitch recordedNewFile;
    RecordingUpdateCheck recordedUpdateCheck;
    // Another New File feature (a real one, say) in place of the recording switch.
    NewFileFeatureSwitch* newFileSwitch = nullptr;
};

}  // namespace tavrel::test
