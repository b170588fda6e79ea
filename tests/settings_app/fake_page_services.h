#pragma once

// The services a page uses, as test stand-ins: scripted dialogs, an in-memory bus, the data
// directory's folder file, a Dock switch and a New File switch that record requests, and a
// workspace and displays the test describes.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/native_dock/native_dock_folder_settings_store.h"
#include "core/settings_pages/page_services.h"
#include "platform/fake/fake_notification_center.h"
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

// Applications and file icons as the test lists them; opened addresses are recorded.
class StubWorkspace final : public platform::Workspace {
public:
    std::optional<platform::ApplicationInfo> applicationForBundleIdentifier(
        std::string_view id) const override {
        for (const auto& application : applications) {
            if (application.bundleIdentifier == id) return application;
        }
        return std::nullopt;
    }
    std::optional<platform::ApplicationInfo> applicationAtPath(
        const std::filesystem::path& path) const override {
        for (const auto& application : applications) {
            if (application.path == path) return application;
        }
        return std::nullopt;
    }
    std::vector<platform::ApplicationInfo> installedApplications() const override {
        return applications;
    }
    platform::IconReference iconForFile(const std::filesystem::path& path) const override {
        const auto found = fileIcons.find(path);
        return found == fileIcons.end() ? platform::IconReference{} : found->second;
    }
    bool openURL(std::string_view url) override {
        opened.emplace_back(url);
        return true;
    }

    std::vector<platform::ApplicationInfo> applications;
    std::map<std::filesystem::path, platform::IconReference> fileIcons;
    std::vector<std::string> opened;
};

// Displays as the test sets them; change() tells every observer.
class StubScreens final : public platform::Screens {
public:
    std::vector<platform::ScreenInfo> onlineScreens() const override { return screens; }
    ObserverId observe(std::function<void()> changed) override {
        observers_[++next_] = std::move(changed);
        return next_;
    }
    void removeObserver(ObserverId id) override { observers_.erase(id); }

    void change(std::vector<platform::ScreenInfo> now) {
        screens = std::move(now);
        const auto observers = observers_;
        for (const auto& [id, observer] : observers) observer();
    }
    std::size_t observerCount() const { return observers_.size(); }

    std::vector<platform::ScreenInfo> screens{{"display-1", "Built-in", true}};

private:
    ObserverId next_ = 0;
    std::map<ObserverId, std::function<void()>> observers_;
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

    ScriptedSettingsDialogs scriptedDialogs;
    StubWorkspace workspaceStub;
    StubScreens screensStub;
    platform::ManualMainQueue queue;
    platform::FakeNotificationCenter center{queue};
    RecordingNativeDockVisibility visibility;
    NativeDockFolderSettingsStore folderStore{NativeDockFolderSettingsStore::defaultFileURL()};
    RecordingNewFileSwitch recordedNewFile;
    // Another New File feature (a real one, say) in place of the recording switch.
    NewFileFeatureSwitch* newFileSwitch = nullptr;
};

}  // namespace tavrel::test
