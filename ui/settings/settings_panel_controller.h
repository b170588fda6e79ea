#pragma once

// The settings window: a feature sidebar on the left and a scrolling page on the right, over the
// window's own copy of the settings (the panel copy) that every row edits. It knows the selected
// page, rebuilds sidebar and page whenever the rows change, keeps both scroll positions across
// rebuilds, and reports every edit through onChange (the application saves and notifies).
// Main thread only.

#include <memory>
#include <optional>
#include <vector>

#include <QMetaObject>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QScrollArea>
#include <QWidget>

#include "core/form/form_content.h"
#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/feature_switches.h"
#include "core/settings_pages/native_dock_pages.h"
#include "core/settings_pages/permission_probe.h"
#include "core/settings_pages/settings_page_host.h"
#include "core/settings_pages/settings_window_controller.h"
#include "ui/form/form_renderer.h"
#include "ui/settings/feature_sidebar.h"
#include "ui/settings/permission_banner_view.h"
#include "ui/settings/settings_images.h"

namespace tavrel {

class PrivacySettingsOpener;
class SettingsPanelController;

// The window itself: tells the controller when it closes and when it changes size.
class SettingsRootView : public QWidget {
    Q_OBJECT
public:
    explicit SettingsRootView(SettingsPanelController& controller);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    SettingsPanelController& controller_;
};

class SettingsPanelController final : public QObject,
                                      public SettingsWindowController,
                                      public SettingsPageHost {
    Q_OBJECT
public:
    struct Dependencies {
        platform::Dialogs& dialogs;
        PermissionProbe& screenRecordingProbe;
        PermissionProbe& accessibilityProbe;
        NewFileFeatureSwitch& newFile;
        NativeDockVisibilitySwitch& nativeDock;
        PrivacySettingsOpener& privacy;
        // The application's appearance by the appearance rule.
        std::function<void(TavrelAppearanceMode)> applyAppearance;
        SettingsImageLookup images;
        // The "应用分组" tab's folder file and the bus its changes are announced on.
        NativeDockFolderSettingsStore& nativeDockFolders;
        platform::NotificationCenter& notifications;
        // The first page is built as far as the window's first screen shows it, the rest right
        // after the window's first frame (or as soon as pageFormView() is asked for).
        bool buildBelowFirstScreenLater = false;
    };

    static constexpr int windowWidth = 1040;
    static constexpr int windowHeight = 720;
    static constexpr int minimumWidth = 900;
    static constexpr int minimumHeight = 580;
    static constexpr int sidebarWidth = 284;
    static constexpr int dragAreaHeight = 38;

    SettingsPanelController(TaskbarSettings settings, SettingsWindowCallbacks callbacks,
                            Dependencies dependencies);
    ~SettingsPanelController() override;

    QWidget* window() const { return root_; }

    // --- SettingsWindowController
    bool hasWindow() const override;
    bool isWindowVisible() const override;
    void select(PageSelection selection) override;
    void clearPendingSidebarScrollOrigin() override { pendingSidebarScrollOrigin_.reset(); }
    void rebuildContentViewBody() override;
    void scrollFeatureSidebarToTop() override;
    void synchronizeExternalSettings(const TaskbarSettings& fresh) override;
    void refreshNativeDockFolderState() override;
    void prepareForClose() override;
    void showWindow() override;
    void bringToFront() override;
    void performClose() override;

    // --- SettingsPageHost
    TaskbarSettings& settings() override { return settings_; }
    FeaturePage selectedFeaturePage() const override { return selectedFeaturePage_; }
    Page selectedPage() const override { return selectedPage_; }
    void storePageScrollOrigin() override;
    void notifyChange() override;
    void applyLiveChange(bool rebuild) override;
    void endTextEditing() override;
    void applyAppearance() override;
    void selectSubpage(int index) override;
    platform::Dialogs& dialogs() override { return dependencies_.dialogs; }
    NativeDockPageHost& nativeDockPages() override { return nativeDockPages_; }
    NewFileFeatureSwitch* newFileFeature() override { return &dependencies_.newFile; }

    // --- Navigation and the sidebar
    TopPage selectedTopPage() const { return selectedTopPage_; }
    // A sidebar row was clicked: the new page starts at its top, the sidebar stays.
    void selectFeaturePage(FeaturePage page);
    // A sidebar switch was flipped.
    void setFeature(FeaturePage page, bool enabled);
    // Re-reads sidebar rows and rebuilds only the page's form.
    void refreshSelectedPage();

    // --- Permission banners
    ScreenRecordingPermissionBannerView* makeScreenRecordingPermissionBanner(
        const QString& message);
    ScreenRecordingPermissionBannerView* makeAccessibilityPermissionBanner(const QString& message);
    void refreshScreenRecordingPermissionBanner();
    void refreshAccessibilityPermissionBanner();
    std::vector<ScreenRecordingPermissionBannerView*> accessibilityPermissionBanners() const;
    std::vector<ScreenRecordingPermissionBannerView*> screenRecordingPermissionBanners() const;

    // --- What is shown (for the application and tests)
    QScrollArea* pageScrollView() const { return scrollView_; }
    FeatureSidebarScrollView* featureSidebarScrollView() const { return sidebarScrollView_; }
    // The whole page: a part still waiting for the first frame is built first.
    FormView* pageFormView();
    FeatureSidebarButton* featureButton(FeaturePage page) const;
    int pageScrollOffset() const;
    int sidebarScrollOffset() const;
    std::optional<int> pendingScrollOrigin() const { return pendingScrollOrigin_; }
    std::optional<int> pendingSidebarScrollOrigin() const { return pendingSidebarScrollOrigin_; }
    bool didPrepareForClose() const { return didPrepareForClose_; }
    const std::vector<std::shared_ptr<FormContent>>& forms() const { return forms_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class SettingsRootView;

    enum class Permission { screenRecording, accessibility };

    void windowWillClose();
    void layoutRoot();
    void layoutSidebar();
    void retire(QWidget* widget);
    void retireForms();
    QWidget* makeFeatureSidebar();
    QPixmap sidebarLogo(const QPalette& palette, qreal ratio) const;
    FormView* buildPageForm(DeferredFormRendering* deferral = nullptr);
    void finishPageRendering();
    QWidget* makeCustomView(const CustomViewSpec& view, QWidget* parent);
    QWidget* makeFeaturePreviewCard(FeaturePage page, QWidget* parent);
    QWidget* makeTaskbarSelectorBlock(const TaskbarSelectorBlockSpec& spec, QWidget* parent);
    void configureSidebarRows();
    FeatureEnvironment featureEnvironment() const;
    void restoreContentScrollOrigin(int offset);
    void restoreFeatureSidebarScrollOrigin(std::optional<int> offset);
    ScreenRecordingPermissionBannerView* makeBanner(Permission permission, const QString& message);
    void installPermissionRefresh(Permission permission);
    void refreshBanners(Permission permission);
    void openPrivacySettings(Permission permission);
    void cleanupObserversAndHandlers();

    TaskbarSettings settings_;
    SettingsWindowCallbacks callbacks_;
    Dependencies dependencies_;
    // The native Dock page's tab (0 for every new window) and what its pages use.
    NativeDockPageState nativeDockPages_;

    SettingsRootView* root_ = nullptr;
    FeaturePage selectedFeaturePage_ = FeaturePage::taskbar;
    TopPage selectedTopPage_ = TopPage::taskbar;
    Page selectedPage_ = Page::taskbar;
    std::vector<std::shared_ptr<FormContent>> forms_;
    std::vector<std::pair<FeaturePage, QPointer<FeatureSidebarButton>>> featureButtons_;
    QPointer<QWidget> sidebarView_;
    QPointer<QWidget> sidebarHeader_;
    QPointer<FeatureSidebarScrollView> sidebarScrollView_;
    QPointer<QWidget> background_;
    QPointer<QWidget> dragArea_;
    QPointer<QScrollArea> scrollView_;
    QPointer<FormView> formView_;
    std::optional<int> pendingScrollOrigin_;
    std::optional<int> pendingSidebarScrollOrigin_;
    std::vector<QPointer<ScreenRecordingPermissionBannerView>> screenRecordingPermissionBanners_;
    std::vector<QPointer<ScreenRecordingPermissionBannerView>> accessibilityPermissionBanners_;
    QMetaObject::Connection screenRecordingPermissionObserver_;
    QMetaObject::Connection accessibilityPermissionObserver_;
    std::vector<QMetaObject::Connection> displayConfigurationObservers_;
    mutable QPixmap logo_;
    // The part of the first page below the first screen, until the window's first frame.
    std::unique_ptr<DeferredFormRendering> pendingPage_;
    bool deferNextBuild_ = false;
    bool didPrepareForClose_ = false;
    bool closing_ = false;
};

}  // namespace tavrel
