#include "core/settings_transfer/page_settings_keys.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/settings/app_data_store.h"
#include "core/settings_pages/page_registry.h"
#include "core/settings_pages/page_services.h"
#include "core/settings_pages/settings_page_host.h"
#include "core/settings_transfer/settings_reset.h"

namespace tavrel {

namespace {

constexpr std::array<std::pair<FeaturePage, std::string_view>, featurePageCount> kPageNames = {{
    {FeaturePage::taskbar, "taskbar"},
    {FeaturePage::multipleDisplays, "multipleDisplays"},
    {FeaturePage::hideNativeDock, "hideNativeDock"},
    {FeaturePage::clockCalendar, "clockCalendar"},
    {FeaturePage::taskbarWidgets, "taskbarWidgets"},
    {FeaturePage::taskbarIcons, "taskbarIcons"},
    {FeaturePage::taskbarIndicators, "taskbarIndicators"},
    {FeaturePage::taskbarPreview, "taskbarPreview"},
    {FeaturePage::startMenu, "startMenu"},
    {FeaturePage::nativeDock, "nativeDock"},
    {FeaturePage::nativeDockLauncher, "nativeDockLauncher"},
    {FeaturePage::switcher, "switcher"},
    {FeaturePage::advancedGestures, "advancedGestures"},
    {FeaturePage::desktopCorner, "desktopCorner"},
    {FeaturePage::desktopIcons, "desktopIcons"},
    {FeaturePage::hideNotch, "hideNotch"},
    {FeaturePage::newFile, "newFile"},
    {FeaturePage::general, "general"},
}};

// The native Dock module writes this one once the Dock has changed; a reset must not claim it.
constexpr std::string_view kNativeDockHidden = "hideNativeDock";

// The native Dock page has the most tabs.
constexpr int kTabs = 4;

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

class InertServices final : public PageServices, public TaskbarCommands {
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
    // Never saved: no action runs.
    NativeDockFolderSettingsStore folders_{NativeDockFolderSettingsStore::defaultFileURL()};
    std::unique_ptr<NewFileFeatureSwitch> newFile_ = makeNullNewFileFeatureSwitch();
    std::unique_ptr<AppUpdateCheck> updateCheck_ = makeNullAppUpdateCheck();
};

// A window that only builds: the page, its sub-page and tab are set, edits go nowhere.
class ReadingPageHost final : public SettingsPageHost {
public:
    ReadingPageHost(TaskbarSettings settings, FeaturePage feature, Page page, int tab)
        : settings_(std::move(settings)), feature_(feature), page_(page) {
        state_.nativeDockSettingsTab = tab;
    }
    TaskbarSettings& settings() override { return settings_; }
    FeaturePage selectedFeaturePage() const override { return feature_; }
    Page selectedPage() const override { return page_; }
    void storePageScrollOrigin() override {}
    void notifyChange() override {}
    void applyLiveChange(bool) override {}
    void rebuildContentViewBody() override {}
    void endTextEditing() override {}
    void applyAppearance() override {}
    void selectSubpage(int) override {}
    TaskbarCommands& taskbarCommands() override { return services_; }
    PageState& pageState() override { return state_; }
    PageServices& services() override { return services_; }

private:
    TaskbarSettings settings_;
    FeaturePage feature_;
    Page page_;
    PageState state_;
    InertServices services_;
};

}  // namespace

std::optional<FeaturePage> featurePageNamed(std::string_view name) {
    std::optional<FeaturePage> byTitle;
    int titled = 0;
    for (const auto& [page, pageName] : kPageNames) {
        if (name == pageName) return page;
        if (name == featurePageInfo(page).title) {
            byTitle = page;
            ++titled;
        }
    }
    // Two pages share a title; only their names tell them apart.
    if (titled != 1) return std::nullopt;
    return byTitle;
}

std::string_view featurePageName(FeaturePage page) {
    for (const auto& [candidate, name] : kPageNames) {
        if (candidate == page) return name;
    }
    return {};
}

std::vector<FormKeyReference> pageSettingsKeys(FeaturePage page, const TaskbarSettings& settings) {
    std::vector<FormKeyReference> keys;
    const auto add = [&keys](const FormKeyReference& key) {
        if (key.name.empty() || key.name == kNativeDockHidden) return;
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
    };
    const FeaturePageEntry& entry = featurePageEntry(page);
    if (entry.sidebarSwitch && entry.sidebarSwitch->kind == SidebarSwitch::Kind::setting) {
        for (const FormKeyReference& key : entry.sidebarSwitch->binding.keys) add(key);
    }
    for (int tab = 0; tab < kTabs; ++tab) {
        ReadingPageHost host(settings, page, entry.subpage.value_or(Page::taskbar), tab);
        const std::shared_ptr<FormContent> form = makeFeaturePageForm(page, host);
        if (!form) continue;
        for (const FormRow* row : form->rows()) {
            for (const FormKeyReference& key : row->keys) add(key);
        }
    }
    return keys;
}

void resetPageSettings(TaskbarSettings& settings, FeaturePage page) {
    const TaskbarTheme shown = settings.theme;
    for (const FormKeyReference& key : pageSettingsKeys(page, settings)) {
        if (key.themeScoped) {
            resetThemeSettingsKey(settings, shown, key.name);
        } else {
            resetGlobalSettingsKey(settings, key.name);
        }
    }
}

}  // namespace tavrel
