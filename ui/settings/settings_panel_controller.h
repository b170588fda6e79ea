#pragma once

// The settings window: a feature sidebar on the left and a scrolling page on the right, over the
// window's own copy of the settings (the panel copy) that every row edits. It knows the selected
// page, rebuilds sidebar and page whenever the rows change, keeps both scroll positions across
// rebuilds, and reports every edit through onChange (the application saves and notifies).
// Main thread only.

#include <memory>
#include <optional>
#include <vector>

#include <QMenu>
#include <QMetaObject>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QScrollArea>
#include <QToolButton>
#include <QWidget>

#include "core/form/form_content.h"
#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/page_registry.h"
#include "core/settings_pages/settings_page_host.h"
#include "core/settings_pages/settings_window_controller.h"
#include "ui/form/form_renderer.h"
#include "ui/settings/custom_view_registry.h"
#include "ui/settings/feature_sidebar.h"
#include "ui/settings/permission_banners.h"
#include "ui/settings/settings_search_view.h"
#include "ui/settings/settings_window_services.h"

namespace tavrel {

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

struct SettingsWindowOptions {
    // The first page is built as far as the window's first screen shows it, the rest right
    // after the window's first frame (or as soon as pageFormView() is asked for).
    bool buildBelowFirstScreenLater = false;
};

class SettingsPanelController final : public QObject,
                                      public SettingsWindowController,
                                      public SettingsPageHost,
                                      public TaskbarCommands {
    Q_OBJECT
public:
    static constexpr int windowWidth = 1040;
    static constexpr int windowHeight = 720;
    static constexpr int minimumWidth = 900;
    static constexpr int minimumHeight = 580;
    static constexpr int sidebarWidth = 284;
    static constexpr int dragAreaHeight = 38;

    // `services` and `views` must outlive the controller.
    SettingsPanelController(TaskbarSettings settings, SettingsWindowCallbacks callbacks,
                            SettingsWindowServices& services, const CustomViewRegistry& views,
                            SettingsWindowOptions options = {});
    ~SettingsPanelController() override;

    QWidget* window() const { return root_; }

    // --- SettingsWindowController
    bool hasWindow() const override;
    bool isWindowVisible() const override;
    void select(PageSelection selection) override;
    void clearPendingSidebarScrollOrigin() override { pendingSidebarScrollOrigin_.reset(); }
    void rebuildContentViewBody() override;
    void showSelectedPage() override;
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
    TaskbarCommands& taskbarCommands() override { return *this; }
    PageState& pageState() override { return pageState_; }
    PageServices& services() override { return services_; }

    // --- TaskbarCommands: through the callbacks the application delegate gave the window.
    void closeTaskbar() override;
    void restartTaskbar() override;

    SettingsWindowServices& windowServices() { return services_; }

    // The window's own menu (export, import, backups), behind a button at the sidebar's top
    // right, for desktops that show no menu bar. The button goes with the window.
    void setWindowMenu(QMenu* menu);
    QToolButton* windowMenuButton() const { return windowMenuButton_; }
    QMenu* windowMenu() const { return windowMenu_; }
    PermissionBanners& permissionBanners() { return *banners_; }

    // --- Navigation and the sidebar
    TopPage selectedTopPage() const { return selectedTopPage_; }
    // A sidebar row was clicked: the new page starts at its top, the sidebar stays.
    void selectFeaturePage(FeaturePage page);
    // A sidebar switch was flipped.
    void setFeature(FeaturePage page, bool enabled);
    // Re-reads sidebar rows and rebuilds only the page's form.
    void refreshSelectedPage();

    // A view of the page that shows values of the panel copy: it is shown the settings after
    // every change, without a rebuild, for as long as it lives.
    void addRefreshingView(QWidget* view, std::function<void(const TaskbarSettings&)> refresh);

    // --- Permission banners
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

    // --- Settings search: the field above the sidebar rows and its results.
    SettingsSearch* settingsSearch() const { return search_; }
    // The index as the window shows the settings now (the New File page from its document).
    SettingsSearchIndex buildSearchIndex();
    // Shows a result's page and tab, scrolls its row into view and highlights it; for a row
    // the settings hide, the row that reveals it when the page has one, else the page's top.
    void openSearchResult(const SettingsSearchEntry& entry);

    // --- Back to defaults: every reset is an edit of the panel copy, saved and announced once
    // and shown by a rebuild that keeps the page's offset.
    // The page whose rows are shown: the taskbar page stands for its sub-page shown.
    FeaturePage shownResetPage() const;
    // The row's own key back to its default (in the shown theme when theme-scoped).
    void resetRowToDefault(const FormRow& row);
    // Asks how many values change, then puts the shown page back to its defaults.
    void resetShownPageToDefaults();
    FormRowDefaults rowDefaults();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class SettingsRootView;

    void windowWillClose();
    void layoutRoot();
    void layoutSidebar();
    void retire(QWidget* widget);
    void retirePage(QWidget* page);
    void retireForms();
    // Rebuilds asked for from outside the page (the delegate, the sidebar, the screens).
    void rebuildFromOutside();
    QWidget* makeFeatureSidebar();
    QPixmap sidebarLogo(const QPalette& palette, qreal ratio) const;
    FormView* buildPageForm(DeferredFormRendering* deferral = nullptr);
    void finishPageRendering();
    void configureSidebarRows();
    FeatureEnvironment featureEnvironment() const;
    // Whether a row of the page shown edits `key`.
    bool pageShowsKey(const FormKeyReference& key) const;
    void refreshViews();
    void restoreContentScrollOrigin(int offset);
    void restoreFeatureSidebarScrollOrigin(std::optional<int> offset);

    TaskbarSettings settings_;
    SettingsWindowCallbacks callbacks_;
    SettingsWindowServices& services_;
    const CustomViewRegistry& views_;
    PageState pageState_;
    PermissionBanners* banners_ = nullptr;

    SettingsRootView* root_ = nullptr;
    FeaturePage selectedFeaturePage_ = FeaturePage::taskbar;
    TopPage selectedTopPage_ = TopPage::taskbar;
    Page selectedPage_ = Page::taskbar;
    std::vector<std::shared_ptr<FormContent>> forms_;
    std::vector<std::pair<FeaturePage, QPointer<FeatureSidebarButton>>> featureButtons_;
    std::vector<std::pair<QPointer<QWidget>, std::function<void(const TaskbarSettings&)>>>
        refreshingViews_;
    QPointer<QWidget> sidebarView_;
    QPointer<QWidget> sidebarHeader_;
    QPointer<QToolButton> windowMenuButton_;
    QPointer<QMenu> windowMenu_;
    QPointer<FeatureSidebarScrollView> sidebarScrollView_;
    QPointer<QWidget> background_;
    QPointer<QWidget> dragArea_;
    QPointer<QScrollArea> scrollView_;
    QPointer<FormView> formView_;
    std::optional<int> pendingScrollOrigin_;
    std::optional<int> pendingSidebarScrollOrigin_;
    std::optional<platform::Screens::ObserverId> screensObserver_;
    mutable QPixmap logo_;
    // The part of the first page below the first screen, until the window's first frame.
    std::unique_ptr<DeferredFormRendering> pendingPage_;
    bool deferNextBuild_ = false;
    // Set while a rebuild runs that nothing of the page being replaced is on the stack of:
    // the old page is freed at once then, instead of on the next turn.
    bool replacingFromOutside_ = false;
    // Set while the delegate is told of an edit: what it does then runs inside the page's action.
    int reportingEdit_ = 0;
    bool didPrepareForClose_ = false;
    bool closing_ = false;
    QPointer<SettingsSearch> search_;
};

}  // namespace tavrel
