#include "ui/settings/settings_panel_controller.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "core/form/form_layout.h"
#include "core/settings_pages/new_file_page.h"
#include "core/settings_transfer/page_settings_keys.h"
#include "core/settings_transfer/row_defaults.h"
#include "ui/form/form_renderer.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_fonts.h"
#include "ui/form/settings_selectable_label.h"
#include "ui/form/settings_symbols.h"
#include "ui/form/settings_window_drag_area.h"
#include "ui/settings/feature_sidebar.h"
#include "ui/settings/thin_overlay_scroller.h"
#include "ui/settings/workspace_icons.h"

namespace tavrel {

namespace {

// A row's icon: the file's own when it exists, else the application's its identifier names.
QIcon workspaceIcon(const platform::Workspace& workspace, const FormIcon& icon) {
    std::error_code error;
    if (!icon.file.empty() && std::filesystem::exists(icon.file, error)) {
        const QIcon found = iconFor(workspace.iconForFile(icon.file));
        if (!found.isNull()) return found;
    }
    if (!icon.applicationIdentifier.empty()) {
        if (const auto application =
                workspace.applicationForBundleIdentifier(icon.applicationIdentifier)) {
            return iconFor(application->icon);
        }
    }
    return {};
}

// Runs the layouts that are waiting, so sizes are final before a scroll position is restored.
void layoutNow() {
    for (int pass = 0; pass < 3; ++pass) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
}

// The content background: the window colour of the current appearance.
class SettingsContentBackgroundView final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), settingsWindowBackgroundColor(palette()));
    }
};

}  // namespace

SettingsRootView::SettingsRootView(SettingsPanelController& controller) : controller_(controller) {}

void SettingsRootView::closeEvent(QCloseEvent* event) {
    controller_.windowWillClose();
    event->accept();
}

void SettingsRootView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    controller_.layoutRoot();
}

SettingsPanelController::SettingsPanelController(TaskbarSettings settings,
                                                 SettingsWindowCallbacks callbacks,
                                                 SettingsWindowServices& services,
                                                 const CustomViewRegistry& views,
                                                 SettingsWindowOptions options)
    : settings_(std::move(settings)),
      callbacks_(std::move(callbacks)),
      services_(services),
      views_(views),
      banners_(new PermissionBanners(services, this)) {
    root_ = new SettingsRootView(*this);
    root_->setWindowTitle(QStringLiteral("Tavrel 设置"));
    root_->setMinimumSize(minimumWidth, minimumHeight);
    root_->resize(windowWidth, windowHeight);
    root_->setAttribute(Qt::WA_DeleteOnClose, false);

    // The display list and the status text of the multiple-display page follow the screens.
    screensObserver_ = services_.screens().observe([this] {
        if (selectedFeaturePage_ == FeaturePage::multipleDisplays) rebuildFromOutside();
    });

    deferNextBuild_ = options.buildBelowFirstScreenLater;
    rebuildContentViewBody();
}

SettingsPanelController::~SettingsPanelController() {
    prepareForClose();
    delete root_;
}

// --- Window

bool SettingsPanelController::hasWindow() const {
    return root_ != nullptr;
}

bool SettingsPanelController::isWindowVisible() const {
    return root_ && root_->isVisible();
}

void SettingsPanelController::showWindow() {
    if (!root_) return;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        root_->move(available.center() - QPoint(root_->width() / 2, root_->height() / 2));
    }
    root_->show();
    layoutRoot();
}

void SettingsPanelController::bringToFront() {
    if (!root_) return;
    if (root_->isMinimized()) root_->showNormal();
    root_->raise();
    root_->activateWindow();
}

void SettingsPanelController::performClose() {
    if (root_) root_->close();
}

void SettingsPanelController::windowWillClose() {
    if (closing_) return;
    closing_ = true;
    if (callbacks_.onWindowWillClose) callbacks_.onWindowWillClose();
}

void SettingsPanelController::select(PageSelection selection) {
    selectedFeaturePage_ = selection.feature;
    selectedTopPage_ = selection.top;
}

// --- Edits

void SettingsPanelController::storePageScrollOrigin() {
    pendingScrollOrigin_ = pageScrollOffset();
}

void SettingsPanelController::notifyChange() {
    if (callbacks_.onChange) {
        ++reportingEdit_;
        callbacks_.onChange(settings_);
        --reportingEdit_;
    }
    // A page row and a sidebar switch over the same key show the same value at once.
    configureSidebarRows();
    refreshViews();
    if (search_) search_->invalidate();
    refreshFormRowMarkers(formView_);
}

void SettingsPanelController::addRefreshingView(
    QWidget* view, std::function<void(const TaskbarSettings&)> refresh) {
    if (!view || !refresh) return;
    refreshingViews_.emplace_back(view, std::move(refresh));
}

void SettingsPanelController::refreshViews() {
    std::erase_if(refreshingViews_, [](const auto& entry) { return entry.first.isNull(); });
    for (const auto& [view, refresh] : refreshingViews_) {
        if (view) refresh(settings_);
    }
}

void SettingsPanelController::closeTaskbar() {
    if (callbacks_.onCloseTaskbar) callbacks_.onCloseTaskbar();
}

void SettingsPanelController::restartTaskbar() {
    if (callbacks_.onRestartTaskbar) callbacks_.onRestartTaskbar();
}

void SettingsPanelController::applyLiveChange(bool rebuild) {
    storePageScrollOrigin();
    notifyChange();
    if (rebuild) rebuildContentViewBody();
}

void SettingsPanelController::endTextEditing() {
    QWidget* focus = QApplication::focusWidget();
    if (focus && root_ && root_->isAncestorOf(focus) && qobject_cast<QLineEdit*>(focus)) {
        focus->clearFocus();  // commits the field, as ending editing does
    }
}

void SettingsPanelController::applyAppearance() {
    services_.applyAppearance(settings_.appearanceMode);
}

void SettingsPanelController::synchronizeExternalSettings(const TaskbarSettings& fresh) {
    settings_.apply(fresh);
    applyAppearance();
    if (search_) search_->invalidate();
    pendingScrollOrigin_ = pageScrollOffset();
    pendingSidebarScrollOrigin_ = sidebarScrollOffset();
    // The delegate takes the file's values during an edit too (when the taskbar application
    // rewrote the file meanwhile): that rebuild runs inside the page's own action.
    if (reportingEdit_ > 0) {
        rebuildContentViewBody();
    } else {
        rebuildFromOutside();
    }
}

void SettingsPanelController::refreshNativeDockFolderState() {
    if (search_) search_->invalidate();
    pendingScrollOrigin_ = pageScrollOffset();
    rebuildFromOutside();
}

// --- Navigation

void SettingsPanelController::selectFeaturePage(FeaturePage page) {
    if (sidebarScrollView_) {
        pendingSidebarScrollOrigin_ = sidebarScrollOffset();
    } else {
        pendingSidebarScrollOrigin_.reset();
    }
    pendingScrollOrigin_ = 0;  // a new page starts at its top
    selectedFeaturePage_ = page;
    rebuildFromOutside();
}

void SettingsPanelController::selectSubpage(int index) {
    selectedFeaturePage_ = FeaturePage::taskbar;
    selectedPage_ = pageForSubpageIndex(index);
    refreshSelectedPage();
}

void SettingsPanelController::setFeature(FeaturePage page, bool enabled) {
    switch (applyFeatureSwitch(page, enabled, settings_)) {
        case FeatureSwitchEffect::none:
            return;
        case FeatureSwitchEffect::settingsChanged: {
            pendingScrollOrigin_ = pageScrollOffset();
            notifyChange();
            // The page shown rebuilds where it shows the same value, keeping its offset.
            const auto& keys = featurePageEntry(page).sidebarSwitch->binding.keys;
            if (page == selectedFeaturePage_ ||
                std::any_of(keys.begin(), keys.end(),
                            [this](const FormKeyReference& key) { return pageShowsKey(key); })) {
                rebuildFromOutside();
            }
            return;
        }
        case FeatureSwitchEffect::nativeDockHidden:
            services_.nativeDockVisibility().changeNativeDockHidden(enabled);
            // The switch shows the stored state until the native Dock module reports back.
            configureSidebarRows();
            return;
        case FeatureSwitchEffect::newFileEnabled:
            services_.newFile().setEnabled(enabled);
            if (search_) search_->invalidate();
            pendingScrollOrigin_ = pageScrollOffset();  // the page shown stays where it was
            rebuildFromOutside();
            if (enabled) services_.dialogs().runSheet(newFileInstructionsAlert());
            return;
    }
}

bool SettingsPanelController::pageShowsKey(const FormKeyReference& key) const {
    for (const auto& form : forms_) {
        for (const FormRow* row : form->rows()) {
            if (std::find(row->keys.begin(), row->keys.end(), key) != row->keys.end()) return true;
        }
    }
    return false;
}

FeatureEnvironment SettingsPanelController::featureEnvironment() const {
    FeatureEnvironment environment;
    environment.newFileEnabled = services_.newFile().isEnabled();
    environment.connectedScreenCount = static_cast<int>(services_.screens().onlineScreens().size());
    return environment;
}

void SettingsPanelController::configureSidebarRows() {
    const FeatureEnvironment environment = featureEnvironment();
    for (auto& [page, button] : featureButtons_) {
        if (!button) continue;
        button->configure(page == selectedFeaturePage_,
                          featureEnabledState(page, settings_, environment),
                          QString::fromStdString(featureStatusText(page, settings_, environment)));
    }
}

FeatureSidebarButton* SettingsPanelController::featureButton(FeaturePage page) const {
    for (const auto& [candidate, button] : featureButtons_) {
        if (candidate == page) return button;
    }
    return nullptr;
}

// --- Rebuild

void SettingsPanelController::retire(QWidget* widget) {
    if (!widget) return;
    // The widget may be inside the action that asked for this rebuild: it goes on the next turn.
    widget->hide();
    widget->setParent(nullptr);
    widget->deleteLater();
}

void SettingsPanelController::retirePage(QWidget* page) {
    if (!page) return;
    // A control of the old page may have asked for this rebuild, or may be waiting below a
    // nested event loop (a dialog or menu it opened) in which this rebuild runs: then the page
    // must outlive the call and goes on the next turn. Otherwise it goes now, so a burst of
    // rebuilds never holds more than the page shown.
    const bool nested = QThread::currentThread()->loopLevel() > 1 ||
                        QApplication::activeModalWidget() || QApplication::activePopupWidget();
    if (replacingFromOutside_ && !nested) {
        delete page;
        return;
    }
    retire(page);
}

void SettingsPanelController::showSelectedPage() {
    rebuildFromOutside();
}

void SettingsPanelController::rebuildFromOutside() {
    const bool outer = std::exchange(replacingFromOutside_, true);
    rebuildContentViewBody();
    replacingFromOutside_ = outer;
}

void SettingsPanelController::retireForms() {
    // A rendered form keeps its own FormContent alive, so dropping the list is safe even while
    // one of its actions runs.
    forms_.clear();
}

void SettingsPanelController::rebuildContentViewBody() {
    if (didPrepareForClose_ || !root_) return;
    const int pageOrigin = pendingScrollOrigin_.value_or(0);
    std::optional<int> sidebarOrigin = pendingSidebarScrollOrigin_;
    if (!sidebarOrigin && sidebarScrollView_) sidebarOrigin = sidebarScrollOffset();
    pendingScrollOrigin_.reset();
    pendingSidebarScrollOrigin_.reset();

    pendingPage_.reset();
    retireForms();
    banners_->clear();
    refreshingViews_.clear();
    syncLegacySelection(selectedFeaturePage_, selectedTopPage_, selectedPage_);
    // The New File page saves its own document and then rebuilds, without an edit of the
    // settings: its rows in the search may have changed.
    if (search_ && selectedFeaturePage_ == FeaturePage::newFile) search_->invalidate();

    // The window's frame — background, sidebar, page scroll view, drag area — is made once; a
    // rebuild shows the sidebar rows as they are now and replaces the page. The sidebar's rows
    // are the same for every page, so rebuilding them would only cost a frame's worth of work.
    const bool firstBuild = !scrollView_;
    if (firstBuild) {
        background_ = new SettingsContentBackgroundView(root_);
        sidebarView_ = makeFeatureSidebar();
        auto* scroll = new QScrollArea(root_);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setWidgetResizable(true);
        scroll->setAutoFillBackground(false);
        scroll->viewport()->setAutoFillBackground(false);
        new ThinOverlayScroller(scroll);
        scrollView_ = scroll;
        dragArea_ = new SettingsWindowDragArea(root_);
    } else {
        configureSidebarRows();
        if (QWidget* old = scrollView_->takeWidget()) retirePage(old);
    }

    // Only a window that has not been shown yet can leave part of its page for later: a
    // rebuild keeps the scroll position, which needs the whole page.
    if (deferNextBuild_ && !root_->isVisible()) {
        pendingPage_ = std::make_unique<DeferredFormRendering>(
            std::max(0, root_->height() - dragAreaHeight - 10));
        root_->installEventFilter(this);
    }
    deferNextBuild_ = false;
    formView_ = buildPageForm(pendingPage_.get());
    if (pendingPage_ && !pendingPage_->hasPending()) pendingPage_.reset();
    scrollView_->setWidget(formView_);
    formView_->setAutoFillBackground(false);

    if (firstBuild) {
        for (QWidget* child : {background_.data(), sidebarView_.data(),
                               static_cast<QWidget*>(scrollView_.data()), dragArea_.data()}) {
            if (child) child->show();
        }
        dragArea_->raise();
    }
    layoutRoot();
    layoutNow();
    restoreContentScrollOrigin(pageOrigin);
    restoreFeatureSidebarScrollOrigin(sidebarOrigin);
}

FormView* SettingsPanelController::buildPageForm(DeferredFormRendering* deferral) {
    auto form = makeTopForm(*this);
    forms_.push_back(form);
    FormViews views{
        [this](const CustomViewSpec& spec, QWidget* parent) {
            return views_.make(spec, *this, parent);
        },
        [this](const FormIcon& icon) { return workspaceIcon(services_.workspace(), icon); }};
    views.rowDefaults = rowDefaults();
    FormView* view = renderForm(form, views, nullptr, deferral);
    view->setAutoFillBackground(false);
    return view;
}

FormView* SettingsPanelController::pageFormView() {
    finishPageRendering();
    return formView_;
}

void SettingsPanelController::finishPageRendering() {
    if (!pendingPage_) return;
    const std::unique_ptr<DeferredFormRendering> pending = std::move(pendingPage_);
    pending->finish();
}

bool SettingsPanelController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == root_ && event->type() == QEvent::Paint) {
        root_->removeEventFilter(this);
        // The first frame is on its way; the rest of the page follows on the next turn.
        QTimer::singleShot(0, this, [this] { finishPageRendering(); });
    }
    return QObject::eventFilter(watched, event);
}

void SettingsPanelController::refreshSelectedPage() {
    if (didPrepareForClose_ || !root_) return;
    configureSidebarRows();
    if (!scrollView_) return;
    pendingPage_.reset();
    retireForms();
    // The page's banners and views are built again with it.
    banners_->clear();
    refreshingViews_.clear();
    if (QWidget* old = scrollView_->takeWidget()) retirePage(old);
    formView_ = buildPageForm();
    scrollView_->setWidget(formView_);
    formView_->setAutoFillBackground(false);
    const int origin = pendingScrollOrigin_.value_or(0);
    pendingScrollOrigin_.reset();
    layoutRoot();
    layoutNow();
    restoreContentScrollOrigin(origin);
}

void SettingsPanelController::layoutRoot() {
    if (!root_) return;
    const int w = root_->width();
    const int h = root_->height();
    if (dragArea_) dragArea_->setGeometry(0, 0, w, dragAreaHeight);
    if (sidebarView_) sidebarView_->setGeometry(0, 0, sidebarWidth, h);
    if (background_) background_->setGeometry(sidebarWidth, 0, w - sidebarWidth, h);
    if (scrollView_) {
        scrollView_->setGeometry(sidebarWidth + 28, dragAreaHeight,
                                 std::max(0, w - sidebarWidth - 28 - 6),
                                 std::max(0, h - dragAreaHeight - 10));
    }
    layoutSidebar();
}

void SettingsPanelController::layoutSidebar() {
    if (!sidebarView_) return;
    const int h = sidebarView_->height();
    if (sidebarHeader_) sidebarHeader_->setGeometry(0, 44, sidebarWidth, 62);
    if (windowMenuButton_) {
        windowMenuButton_->setGeometry(sidebarWidth - 18 - 28, 44 + (62 - 28) / 2, 28, 28);
    }
    // The search field between the header and the rows; its results take the rows' place.
    int top = 44 + 62 + 6;
    if (search_) {
        search_->field()->setGeometry(18, top, sidebarWidth - 36, search_->field()->height());
        top += search_->field()->height() + 8;
        search_->resultsView()->setGeometry(0, top, sidebarWidth, std::max(0, h - top - 12));
    }
    if (sidebarScrollView_) {
        sidebarScrollView_->setGeometry(0, top, sidebarWidth, std::max(0, h - top - 12));
    }
}

int SettingsPanelController::pageScrollOffset() const {
    return scrollView_ ? scrollView_->verticalScrollBar()->value() : 0;
}

int SettingsPanelController::sidebarScrollOffset() const {
    return sidebarScrollView_ ? sidebarScrollView_->verticalScrollBar()->value() : 0;
}

void SettingsPanelController::restoreContentScrollOrigin(int offset) {
    const auto apply = [](QScrollArea* scroll, int y) {
        if (!scroll || !scroll->widget()) return;
        const int clamped = static_cast<int>(
            clampScrollOffset(y, scroll->widget()->height(), scroll->viewport()->height()));
        scroll->verticalScrollBar()->setValue(clamped);
    };
    apply(scrollView_, offset);
    // Once more on the next turn: layout may still change the page's height.
    QPointer<QScrollArea> scroll = scrollView_;
    QTimer::singleShot(0, scroll, [scroll, offset, apply] { apply(scroll, offset); });
}

void SettingsPanelController::restoreFeatureSidebarScrollOrigin(std::optional<int> offset) {
    if (!sidebarScrollView_ || !sidebarScrollView_->widget()) return;
    const int clamped = static_cast<int>(
        clampScrollOffset(offset.value_or(0), sidebarScrollView_->widget()->height(),
                          sidebarScrollView_->viewport()->height()));
    sidebarScrollView_->verticalScrollBar()->setValue(clamped);
    sidebarScrollView_->refreshHover();
}

void SettingsPanelController::scrollFeatureSidebarToTop() {
    layoutRoot();
    layoutNow();
    restoreFeatureSidebarScrollOrigin(0);
    QTimer::singleShot(0, this, [this] { restoreFeatureSidebarScrollOrigin(0); });
}

// --- Sidebar

QPixmap SettingsPanelController::sidebarLogo(const QPalette& palette, qreal ratio) const {
    const QSize pixels = QSize(42, 42) * ratio;
    if (!logo_.isNull() && logo_.size() == pixels) return logo_;
    // The logo picture, else the application icon, else the Dock symbol.
    QPixmap picture;
    if (const SettingsImageLookup& images = services_.images()) {
        const QImage image = images(SettingsImageName::appLogo);
        if (!image.isNull()) picture = QPixmap::fromImage(image);
    }
    if (picture.isNull() && !QApplication::windowIcon().isNull()) {
        picture = QApplication::windowIcon().pixmap(pixels);
    }
    if (picture.isNull()) {
        return settingsSymbolPixmap("dock.rectangle", settingsLabelColor(palette), 42, ratio);
    }
    logo_ = picture.scaled(pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    logo_.setDevicePixelRatio(ratio);
    return logo_;
}

QWidget* SettingsPanelController::makeFeatureSidebar() {
    auto* sidebar = new SettingsSidebarView(root_);

    auto* header = new QWidget(sidebar);
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    headerLayout->setSpacing(14);
    headerLayout->addStretch(1);
    auto* logo = new QLabel(header);
    logo->setFixedSize(42, 42);
    logo->setPixmap(sidebarLogo(sidebar->palette(), sidebar->devicePixelRatioF()));
    headerLayout->addWidget(logo);
    auto* name = new SettingsSelectableLabel(QStringLiteral("Tavrel"), header);
    name->setFont(settingsFont(20, QFont::DemiBold));
    headerLayout->addWidget(name);
    headerLayout->addStretch(1);
    sidebarHeader_ = header;

    // Made before the rows: Tab goes from the field (and its results) to the rows. A retired
    // sidebar may outlive the controller until its deletion.
    {
        QPointer<SettingsPanelController> self(this);
        search_ = new SettingsSearch(
            sidebar, [self] { return self ? self->buildSearchIndex() : SettingsSearchIndex{}; });
        search_->onOpen = [self](const SettingsSearchEntry& entry) {
            if (self) self->openSearchResult(entry);
        };
        search_->onSearchingChanged = [self](bool searching) {
            if (!self || !self->sidebarScrollView_) return;
            self->sidebarScrollView_->setVisible(!searching);
            self->layoutSidebar();
        };
    }

    auto* scroll = new FeatureSidebarScrollView(sidebar);
    auto* content = new QWidget();
    content->setAutoFillBackground(false);
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(18, 6, 18, 12);
    stack->setSpacing(4);
    stack->addSpacing(8);
    const int rowWidth = sidebarWidth - 36 - 18;
    for (FeaturePage page : sidebarFeaturePages()) {
        auto* button = new FeatureSidebarButton(page, content);
        button->setFixedWidth(rowWidth);
        QPointer<SettingsPanelController> self(this);
        QObject::connect(button, &QAbstractButton::clicked, this, [self, page] {
            if (self) self->selectFeaturePage(page);
        });
        button->onSwitch = [self, page](bool on) {
            if (self) self->setFeature(page, on);
        };
        stack->addWidget(button, 0, Qt::AlignHCenter);
        featureButtons_.emplace_back(page, button);
    }
    stack->addSpacing(16);
    stack->addStretch(1);
    scroll->setWidget(content);
    content->setAutoFillBackground(false);  // setWidget turns it on; the sidebar shows through
    sidebarScrollView_ = scroll;
    configureSidebarRows();
    return sidebar;
}

void SettingsPanelController::setWindowMenu(QMenu* menu) {
    if (!sidebarView_ || !menu) return;
    delete windowMenuButton_;
    auto* button = new QToolButton(sidebarView_);
    button->setAccessibleName(QStringLiteral("更多"));
    button->setToolTip(QStringLiteral("导出、导入和恢复设置"));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setIconSize(QSize(18, 18));
    button->setIcon(QIcon(settingsSymbolPixmap("ellipsis.circle",
                                               settingsSecondaryLabelColor(button->palette()), 18,
                                               button->devicePixelRatioF())));
    // The menu opens on the next turn and without a loop of its own, so that pressing the
    // button through the accessibility bus returns at once.
    QPointer<QMenu> shown(menu);
    QObject::connect(button, &QToolButton::clicked, button, [button, shown] {
        QTimer::singleShot(0, button, [button, shown] {
            if (shown) shown->popup(button->mapToGlobal(QPoint(0, button->height())));
        });
    });
    windowMenu_ = menu;
    windowMenuButton_ = button;
    button->show();
    layoutSidebar();
}

// --- Settings search

SettingsSearchIndex SettingsPanelController::buildSearchIndex() {
    SettingsSearchSources sources;
    sources.newFilePage = [this] { return services_.newFile().makeSettingsPreview(); };
    return SettingsSearchIndex::build(settings_, sources);
}

void SettingsPanelController::openSearchResult(const SettingsSearchEntry& entry) {
    if (didPrepareForClose_ || !root_) return;
    const SettingsSearchLocation& at = entry.location;
    if (at.page == FeaturePage::taskbar) selectedPage_ = at.subpage;
    if (at.page == FeaturePage::nativeDock) pageState_.nativeDockSettingsTab = at.nativeDockTab;
    selectedFeaturePage_ = at.page;
    if (sidebarScrollView_) pendingSidebarScrollOrigin_ = sidebarScrollOffset();
    pendingScrollOrigin_ = 0;
    rebuildFromOutside();

    FormView* view = pageFormView();  // the whole page, also a part left for the first frame
    if (!view || forms_.empty() || !scrollView_) return;
    QWidget* row = findSettingsSearchRow(view, *forms_.front(), entry);
    if (!row) return;  // the page's top
    layoutNow();
    // A third of the free height above the row, so what precedes it shows too.
    const int y = row->mapTo(view, QPoint(0, 0)).y();
    const int free = scrollView_->viewport()->height() - row->height();
    restoreContentScrollOrigin(y - std::max(24, free / 3));
    new SettingsSearchHighlight(row);
}

// --- Permission banners

void SettingsPanelController::refreshScreenRecordingPermissionBanner() {
    banners_->refresh(PermissionKind::screenRecording);
}

void SettingsPanelController::refreshAccessibilityPermissionBanner() {
    banners_->refresh(PermissionKind::accessibility);
}

std::vector<ScreenRecordingPermissionBannerView*>
SettingsPanelController::accessibilityPermissionBanners() const {
    return banners_->banners(PermissionKind::accessibility);
}

std::vector<ScreenRecordingPermissionBannerView*>
SettingsPanelController::screenRecordingPermissionBanners() const {
    return banners_->banners(PermissionKind::screenRecording);
}

// --- Close

void SettingsPanelController::prepareForClose() {
    if (didPrepareForClose_) return;
    didPrepareForClose_ = true;
    if (screensObserver_) services_.screens().removeObserver(*screensObserver_);
    screensObserver_.reset();
    banners_->stopObserving();
    if (root_) {
        for (QWidget* child :
             root_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            retire(child);
        }
    }
    pendingPage_.reset();
    retireForms();
    featureButtons_.clear();
    banners_->clear();
    refreshingViews_.clear();
    sidebarView_ = nullptr;
    sidebarHeader_ = nullptr;
    windowMenuButton_ = nullptr;
    search_ = nullptr;
    sidebarScrollView_ = nullptr;
    scrollView_ = nullptr;
    formView_ = nullptr;
    background_ = nullptr;
    dragArea_ = nullptr;
    pendingScrollOrigin_.reset();
    pendingSidebarScrollOrigin_.reset();
}

// --- Back to defaults

FeaturePage SettingsPanelController::shownResetPage() const {
    if (selectedFeaturePage_ != FeaturePage::taskbar) return selectedFeaturePage_;
    switch (selectedPage_) {
        case Page::taskbar:
            return FeaturePage::taskbar;
        case Page::icons:
            return FeaturePage::taskbarIcons;
        case Page::indicators:
            return FeaturePage::taskbarIndicators;
        case Page::preview:
            return FeaturePage::taskbarPreview;
        case Page::widgets:
            return FeaturePage::taskbarWidgets;
    }
    return FeaturePage::taskbar;
}

FormRowDefaults SettingsPanelController::rowDefaults() {
    FormRowDefaults defaults;
    defaults.resettable = [](const FormRow& row) { return resettableRowKey(row).has_value(); };
    defaults.isChanged = [this](const FormRow& row) {
        return tavrel::rowDiffersFromDefault(row, settings_);
    };
    defaults.reset = [this](const FormRow& row) { resetRowToDefault(row); };
    return defaults;
}

void SettingsPanelController::resetRowToDefault(const FormRow& row) {
    if (didPrepareForClose_) return;
    // A value field being edited commits now, not when the rebuild takes it away: its text
    // would otherwise be written over the default.
    const std::optional<FormKeyReference> key = resettableRowKey(row);
    endTextEditing();
    if (!key || !resetSettingsKeyToDefault(settings_, *key)) return;
    applyLiveChange(true);
}

void SettingsPanelController::resetShownPageToDefaults() {
    if (didPrepareForClose_) return;
    endTextEditing();
    const FeaturePage page = shownResetPage();
    const std::size_t count = pageResetChangeCount(page, settings_);
    const platform::ModalAlertResponse answer =
        services_.dialogs().runSheet(pageResetConfirmation(page, count));
    // The window may have closed or taken the file's values while the question was open.
    if (count == 0 || !answer.isFirstButton() || didPrepareForClose_) return;
    TaskbarSettings reset = settings_;
    resetPageSettings(reset, page);
    if (reset == settings_) return;
    settings_ = std::move(reset);
    applyLiveChange(true);
}

}  // namespace tavrel
