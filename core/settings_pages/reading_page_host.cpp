#include "core/settings_pages/reading_page_host.h"

#include <utility>

namespace tavrel {

namespace {

// Services that answer nothing and do nothing: building a form only reads.
class InertDialogs final : public platform::Dialogs {
public:
    platform::ModalAlertResponse runModal(const platform::ModalAlert&) override { return {}; }
    platform::ModalAlertResponse runSheet(const platform::ModalAlert&) override { return {}; }
    std::optional<std::filesystem::path> openFile(const platform::OpenFileRequest&) override {
        return std::nullopt;
    }
    void beep() override {}
};

class InertWorkspace final : public platform::Workspace {
public:
    std::optional<platform::ApplicationInfo> applicationForBundleIdentifier(
        std::string_view) const override {
        return std::nullopt;
    }
    std::optional<platform::ApplicationInfo> applicationAtPath(
        const std::filesystem::path&) const override {
        return std::nullopt;
    }
    std::vector<platform::ApplicationInfo> installedApplications() const override { return {}; }
    platform::IconReference iconForFile(const std::filesystem::path&) const override { return {}; }
    bool openURL(std::string_view) override { return false; }
};

class InertScreens final : public platform::Screens {
public:
    std::vector<platform::ScreenInfo> onlineScreens() const override { return {}; }
    ObserverId observe(std::function<void()>) override { return 0; }
    void removeObserver(ObserverId) override {}
};

class InertNotificationCenter final : public platform::NotificationCenter {
public:
    Status post(const Notification&) override { return Status::success(); }
    ObserverId observe(std::optional<std::string>, Handler) override { return 0; }
    void removeObserver(ObserverId) override {}
};

}  // namespace

class ReadingPageHost::Services final : public PageServices, public TaskbarCommands {
public:
    platform::Dialogs& dialogs() override { return dialogs_; }
    platform::Workspace& workspace() override { return workspace_; }
    platform::Screens& screens() override { return screens_; }
    platform::NotificationCenter& notifications() override { return notifications_; }
    NativeDockVisibilitySwitch& nativeDockVisibility() override { return *visibility_; }
    NativeDockFolderSettingsStore& nativeDockFolders() override { return folders_; }
    NewFileFeatureSwitch& newFile() override { return *newFile_; }
    AppUpdateCheck& updateCheck() override { return *updateCheck_; }
    void closeTaskbar() override {}
    void restartTaskbar() override {}

private:
    InertDialogs dialogs_;
    InertWorkspace workspace_;
    InertScreens screens_;
    InertNotificationCenter notifications_;
    std::unique_ptr<NativeDockVisibilitySwitch> visibility_ = makeNullNativeDockVisibilitySwitch();
    // Read by the folder tab; never saved, as long as only actions of rows bound to settings
    // are run on this host (they edit the host's copy of the settings and nothing else).
    NativeDockFolderSettingsStore folders_{NativeDockFolderSettingsStore::defaultFileURL()};
    std::unique_ptr<NewFileFeatureSwitch> newFile_ = makeNullNewFileFeatureSwitch();
    std::unique_ptr<AppUpdateCheck> updateCheck_ = makeNullAppUpdateCheck();
};

ReadingPageHost::ReadingPageHost(TaskbarSettings settings, FeaturePage feature, Page page,
                                 int nativeDockTab)
    : settings_(std::move(settings)),
      feature_(feature),
      page_(page),
      services_(std::make_unique<Services>()) {
    state_.nativeDockSettingsTab = nativeDockTab;
}

ReadingPageHost::~ReadingPageHost() = default;

TaskbarCommands& ReadingPageHost::taskbarCommands() {
    return *services_;
}

PageServices& ReadingPageHost::services() {
    return *services_;
}

}  // namespace tavrel
