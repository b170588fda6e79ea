#include "ui/settings/settings_panel_controller.h"

#include <algorithm>

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
#include <QTimer>
#include <QVBoxLayout>

#include "core/form/form_layout.h"
#include "core/settings_pages/page_builders.h"
#include "ui/form/form_renderer.h"
#include "ui/form/rounded_panel_view.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_fonts.h"
#include "ui/form/settings_segmented_control.h"
#include "ui/form/settings_selectable_label.h"
#include "ui/form/settings_symbols.h"
#include "ui/form/settings_window_drag_area.h"
#include "ui/settings/feature_sidebar.h"
#include "ui/settings/mini_preview_view.h"
#include "ui/settings/native_dock_folder_row_view.h"
#include "ui/settings/new_file_template_row_view.h"
#include "ui/settings/permission_banner_view.h"
#include "ui/settings/privacy_settings_opener.h"
#include "ui/settings/taskbar_theme_hero_view.h"
#include "ui/settings/thin_overlay_scroller.h"

namespace tavrel {

namespace {

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
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

// A control centred in its container at a fraction of the container's width.
class FractionalWidthContainer final : public QWidget {
public:
    FractionalWidthContainer(QWidget* child, double fraction, int height, QWidget* parent)
        : QWidget(parent), child_(child), fraction_(fraction) {
        child_->setParent(this);
        setFixedHeight(height);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        const int w = static_cast<int>(width() * fraction_);
        child_->setGeometry((width() - w) / 2, 0, w, height());
    }

private:
    QWidget* child_;
    double fraction_;
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
                                                 Dependencies dependencies)
    : settings_(std::move(settings)),
      callbacks_(std::move(callbacks)),
      dependencies_(std::move(dependencies)),
      nativeDockPages_(dependencies_.nativeDock, dependencies_.nativeDockFolders,
                       dependencies_.notifications) {
    root_ = new SettingsRootView(*this);
    root_->setWindowTitle(QStringLiteral("Tavrel 设置"));
    root_->setMinimumSize(minimumWidth, minimumHeight);
    root_->resize(windowWidth, windowHeight);
    root_->setAttribute(Qt::WA_DeleteOnClose, false);

    // The display list and the status text of the multiple-display page follow the screens.
    const auto displaysChanged = [this] {
        if (selectedFeaturePage_ == FeaturePage::multipleDisplays) rebuildContentViewBody();
    };
    auto* app = qGuiApp;
    displayConfigurationObservers_.push_back(
        connect(app, &QGuiApplication::screenAdded, this, displaysChanged));
    displayConfigurationObservers_.push_back(
        connect(app, &QGuiApplication::screenRemoved, this, displaysChanged));

    deferNextBuild_ = dependencies_.buildBelowFirstScreenLater;
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
    if (callbacks_.onChange) callbacks_.onChange(settings_);
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
    if (dependencies_.applyAppearance) dependencies_.applyAppearance(settings_.appearanceMode);
}

void SettingsPanelController::synchronizeExternalSettings(const TaskbarSettings& fresh) {
    settings_.apply(fresh);
    applyAppearance();
    pendingScrollOrigin_ = pageScrollOffset();
    pendingSidebarScrollOrigin_ = sidebarScrollOffset();
    rebuildContentViewBody();
}

void SettingsPanelController::refreshNativeDockFolderState() {
    pendingScrollOrigin_ = pageScrollOffset();
    rebuildContentViewBody();
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
    rebuildContentViewBody();
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
        case FeatureSwitchEffect::settingsChanged:
            pendingScrollOrigin_ = pageScrollOffset();
            notifyChange();
            configureSidebarRows();
            return;
        case FeatureSwitchEffect::nativeDockHidden:
            dependencies_.nativeDock.changeNativeDockHidden(enabled);
            // The switch shows the stored state until the native Dock module reports back.
            configureSidebarRows();
            return;
        case FeatureSwitchEffect::newFileEnabled: {
            dependencies_.newFile.setEnabled(enabled);
            pendingScrollOrigin_ = pageScrollOffset();  // the page shown stays where it was
            rebuildContentViewBody();
            if (enabled) {
                platform::ModalAlert alert;
                alert.style = platform::ModalAlert::Style::informational;
                alert.message = std::string(NewFileInstructions::message);
                alert.informativeText = NewFileInstructions::informativeText();
                alert.buttons = {std::string(NewFileInstructions::button)};
                dependencies_.dialogs.runSheet(alert);
            }
            return;
        }
    }
}

FeatureEnvironment SettingsPanelController::featureEnvironment() const {
    FeatureEnvironment environment;
    environment.newFileEnabled = dependencies_.newFile.isEnabled();
    environment.connectedScreenCount = static_cast<int>(QGuiApplication::screens().size());
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

    for (QWidget* child : root_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        retire(child);
    }
    pendingPage_.reset();
    retireForms();
    screenRecordingPermissionBanners_.clear();
    accessibilityPermissionBanners_.clear();
    featureButtons_.clear();
    sidebarScrollView_ = nullptr;

    syncLegacySelection(selectedFeaturePage_, selectedTopPage_, selectedPage_);

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
    scroll->setWidget(formView_);
    formView_->setAutoFillBackground(false);

    dragArea_ = new SettingsWindowDragArea(root_);

    for (QWidget* child : {background_.data(), sidebarView_.data(), static_cast<QWidget*>(scroll),
                           dragArea_.data()}) {
        if (child) child->show();
    }
    dragArea_->raise();
    layoutRoot();
    layoutNow();
    restoreContentScrollOrigin(pageOrigin);
    restoreFeatureSidebarScrollOrigin(sidebarOrigin);
}

FormView* SettingsPanelController::buildPageForm(DeferredFormRendering* deferral) {
    auto form = makeTopForm(*this);
    forms_.push_back(form);
    FormView* view = renderForm(
        form,
        [this](const CustomViewSpec& spec, QWidget* parent) {
            return makeCustomView(spec, parent);
        },
        nullptr, deferral);
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
    // The page's banners are built again with it.
    screenRecordingPermissionBanners_.clear();
    accessibilityPermissionBanners_.clear();
    if (QWidget* old = scrollView_->takeWidget()) retire(old);
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
    if (sidebarScrollView_) {
        const int top = 44 + 62 + 6;
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
    if (dependencies_.images) {
        const QImage image = dependencies_.images(SettingsImageName::appLogo);
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

// --- Page views

QWidget* SettingsPanelController::makeCustomView(const CustomViewSpec& view, QWidget* parent) {
    QWidget* widget = nullptr;
    if (view.kind == PermissionBannerSpec::kind) {
        const auto& spec = std::any_cast<const PermissionBannerSpec&>(view.data);
        const QString message = QString::fromStdString(spec.message);
        widget = spec.permission == PermissionKind::screenRecording
                     ? makeScreenRecordingPermissionBanner(message)
                     : makeAccessibilityPermissionBanner(message);
    } else if (view.kind == FeatureHeaderCardSpec::kind) {
        widget = makeFeaturePreviewCard(std::any_cast<const FeatureHeaderCardSpec&>(view.data).page,
                                        parent);
    } else if (view.kind == TaskbarSelectorBlockSpec::kind) {
        widget = makeTaskbarSelectorBlock(std::any_cast<const TaskbarSelectorBlockSpec&>(view.data),
                                          parent);
    } else if (view.kind == NewFileTemplateRowSpec::kind) {
        widget = new NewFileTemplateRowView(std::any_cast<const NewFileTemplateRowSpec&>(view.data),
                                            parent);
    } else if (view.kind == NativeDockFolderRowSpec::kind) {
        widget = new NativeDockFolderRowView(
            std::any_cast<const NativeDockFolderRowSpec&>(view.data), parent);
    }
    if (widget && parent) widget->setParent(parent);
    return widget;
}

QWidget* SettingsPanelController::makeFeaturePreviewCard(FeaturePage page, QWidget* parent) {
    const FeaturePageInfo& info = featurePageInfo(page);
    const QColor accent = toQColor(systemColorValue(info.accentColor));

    auto* card = new RoundedPanelView(parent);
    card->setObjectName(QStringLiteral("featureHeaderCard"));
    card->setFill([](const QPalette& pal) { return settingsControlBackgroundColor(pal, 0.66); });
    card->setBorder([](const QPalette& pal) { return settingsSeparatorColor(pal, 0.22); });
    card->setCornerRadius(14);
    auto* row = new QHBoxLayout(card);
    row->setContentsMargins(18, 16, 18, 16);
    row->setSpacing(16);

    auto* tile = new RoundedPanelView(card);
    tile->setFixedSize(46, 46);
    tile->setCornerRadius(12);
    tile->setFill([accent](const QPalette&) {
        QColor color = accent;
        color.setAlphaF(0.12f);
        return color;
    });
    auto* tileLayout = new QHBoxLayout(tile);
    tileLayout->setContentsMargins(8, 8, 8, 8);
    auto* symbol = new QLabel(tile);
    symbol->setFixedSize(30, 30);
    symbol->setAlignment(Qt::AlignCenter);
    symbol->setPixmap(settingsSymbolPixmap(info.symbolName, accent, 24, card->devicePixelRatioF()));
    tileLayout->addWidget(symbol);
    row->addWidget(tile, 0, Qt::AlignVCenter);

    auto* texts = new QWidget(card);
    texts->setMinimumWidth(260);
    auto* column = new QVBoxLayout(texts);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    auto* title = new SettingsSelectableLabel(qtext(info.title), texts);
    title->setObjectName(QStringLiteral("featureHeaderTitle"));
    title->setFont(settingsFont(15));
    auto* summary = new QLabel(texts);
    summary->setObjectName(QStringLiteral("featureHeaderSummary"));
    summary->setFont(settingsFont(12.5));
    summary->setText(qtext(info.previewSummary));
    summary->setToolTip(qtext(info.previewSummary));
    QPalette pal = summary->palette();
    pal.setColor(QPalette::WindowText, settingsSecondaryLabelColor(card->palette()));
    summary->setPalette(pal);
    summary->setMinimumWidth(1);
    summary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    column->addWidget(title);
    column->addWidget(summary);
    row->addWidget(texts, 1, Qt::AlignVCenter);

    auto* preview = new MiniPreviewView(card);
    preview->setFixedSize(168, 54);
    preview->setAccentColor(accent);
    preview->setKind(page);
    row->addWidget(preview, 0, Qt::AlignVCenter);
    return card;
}

QWidget* SettingsPanelController::makeTaskbarSelectorBlock(const TaskbarSelectorBlockSpec& spec,
                                                           QWidget* parent) {
    auto* block = new QWidget(parent);
    block->setObjectName(QStringLiteral("taskbarSelectorBlock"));
    auto* stack = new QVBoxLayout(block);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(8);

    auto* appearance = new QWidget(block);
    auto* appearanceRow = new QHBoxLayout(appearance);
    appearanceRow->setContentsMargins(0, 0, 0, 0);
    appearanceRow->setSpacing(10);
    auto* label =
        new SettingsSelectableLabel(qtext(TaskbarSelectorBlockSpec::appearanceTitle), appearance);
    label->setFont(settingsFont(14));
    label->setFixedWidth(42);
    appearanceRow->addWidget(label, 0, Qt::AlignVCenter);
    QStringList appearanceLabels;
    for (const std::string& text : spec.appearanceLabels)
        appearanceLabels << QString::fromStdString(text);
    auto* appearanceControl =
        new SettingsSegmentedControl(appearanceLabels, spec.appearanceSelected, appearance);
    appearanceControl->setObjectName(QStringLiteral("appearanceSelector"));
    appearanceControl->setFixedSize(174, 34);
    appearanceControl->setAccessibleName(qtext(TaskbarSelectorBlockSpec::appearanceTitle));
    const auto onAppearance = spec.onAppearanceSelected;
    connect(appearanceControl, &SettingsSegmentedControl::segmentSelected, appearanceControl,
            [onAppearance](int index) {
                if (onAppearance) onAppearance(index);
            });
    appearanceRow->addWidget(appearanceControl, 0, Qt::AlignVCenter);
    appearanceRow->addStretch(1);
    stack->addWidget(appearance);

    auto* hero = new TaskbarThemeHeroView(spec.theme, dependencies_.images, block);
    hero->setObjectName(QStringLiteral("taskbarThemeHero"));
    hero->setFixedHeight(224);
    QPointer<TaskbarThemeHeroView> heroPointer(hero);
    const auto onTheme = spec.onThemeSelected;
    hero->onThemeSelected = [heroPointer, onTheme](TaskbarTheme theme) {
        if (!onTheme) return;
        if (onTheme(theme) && heroPointer) heroPointer->setTheme(theme, false);
    };
    stack->addWidget(hero);
    stack->addStretch(1);

    QStringList subpages;
    for (const std::string& text : spec.subpageLabels) subpages << QString::fromStdString(text);
    auto* subpageControl = new SettingsSegmentedControl(subpages, spec.subpageSelected);
    subpageControl->setObjectName(QStringLiteral("subpageSelector"));
    subpageControl->setMinimumSize(0, 34);
    subpageControl->setMaximumHeight(34);
    subpageControl->setAccessibleName(QStringLiteral("任务栏设置分页"));
    const auto onSubpage = spec.onSubpageSelected;
    connect(subpageControl, &SettingsSegmentedControl::segmentSelected, subpageControl,
            [onSubpage](int index) {
                if (onSubpage) onSubpage(index);
            });
    stack->addWidget(new FractionalWidthContainer(subpageControl, 0.86, 34, block));
    return block;
}

// --- Permission banners

ScreenRecordingPermissionBannerView* SettingsPanelController::makeScreenRecordingPermissionBanner(
    const QString& message) {
    return makeBanner(Permission::screenRecording, message);
}

ScreenRecordingPermissionBannerView* SettingsPanelController::makeAccessibilityPermissionBanner(
    const QString& message) {
    return makeBanner(Permission::accessibility, message);
}

ScreenRecordingPermissionBannerView* SettingsPanelController::makeBanner(Permission permission,
                                                                         const QString& message) {
    auto* banner = new ScreenRecordingPermissionBannerView(message);
    // Shown only once the taskbar application answers that the permission is missing.
    banner->setVisible(false);
    QPointer<SettingsPanelController> self(this);
    banner->onClick = [self, permission] {
        if (self) self->openPrivacySettings(permission);
    };
    (permission == Permission::screenRecording ? screenRecordingPermissionBanners_
                                               : accessibilityPermissionBanners_)
        .emplace_back(banner);
    installPermissionRefresh(permission);
    refreshBanners(permission);
    return banner;
}

void SettingsPanelController::installPermissionRefresh(Permission permission) {
    QMetaObject::Connection& observer = permission == Permission::screenRecording
                                            ? screenRecordingPermissionObserver_
                                            : accessibilityPermissionObserver_;
    if (observer) return;
    observer = connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
                       [this, permission](Qt::ApplicationState state) {
                           if (state == Qt::ApplicationActive) refreshBanners(permission);
                       });
}

void SettingsPanelController::refreshBanners(Permission permission) {
    auto& list = permission == Permission::screenRecording ? screenRecordingPermissionBanners_
                                                           : accessibilityPermissionBanners_;
    std::erase_if(list, [](const auto& banner) { return banner.isNull(); });
    if (list.empty()) return;
    PermissionProbe& probe = permission == Permission::screenRecording
                                 ? dependencies_.screenRecordingProbe
                                 : dependencies_.accessibilityProbe;
    // The answer touches only the banners of this query; a rebuild meanwhile makes new ones.
    probe.query([snapshot = list](bool granted) {
        for (const auto& banner : snapshot) {
            if (banner) banner->setVisible(!granted);
        }
    });
}

void SettingsPanelController::refreshScreenRecordingPermissionBanner() {
    refreshBanners(Permission::screenRecording);
}

void SettingsPanelController::refreshAccessibilityPermissionBanner() {
    refreshBanners(Permission::accessibility);
}

std::vector<ScreenRecordingPermissionBannerView*>
SettingsPanelController::accessibilityPermissionBanners() const {
    std::vector<ScreenRecordingPermissionBannerView*> banners;
    for (const auto& banner : accessibilityPermissionBanners_) {
        if (banner) banners.push_back(banner);
    }
    return banners;
}

std::vector<ScreenRecordingPermissionBannerView*>
SettingsPanelController::screenRecordingPermissionBanners() const {
    std::vector<ScreenRecordingPermissionBannerView*> banners;
    for (const auto& banner : screenRecordingPermissionBanners_) {
        if (banner) banners.push_back(banner);
    }
    return banners;
}

void SettingsPanelController::openPrivacySettings(Permission permission) {
    dependencies_.privacy.open(permission == Permission::screenRecording
                                   ? PrivacyPaneAddress::screenRecording
                                   : PrivacyPaneAddress::accessibility);
}

// --- Close

void SettingsPanelController::cleanupObserversAndHandlers() {
    for (const auto& observer : displayConfigurationObservers_) disconnect(observer);
    displayConfigurationObservers_.clear();
    disconnect(accessibilityPermissionObserver_);
    disconnect(screenRecordingPermissionObserver_);
}

void SettingsPanelController::prepareForClose() {
    if (didPrepareForClose_) return;
    didPrepareForClose_ = true;
    cleanupObserversAndHandlers();
    if (root_) {
        for (QWidget* child :
             root_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            retire(child);
        }
    }
    pendingPage_.reset();
    retireForms();
    featureButtons_.clear();
    screenRecordingPermissionBanners_.clear();
    accessibilityPermissionBanners_.clear();
    sidebarView_ = nullptr;
    sidebarHeader_ = nullptr;
    sidebarScrollView_ = nullptr;
    scrollView_ = nullptr;
    formView_ = nullptr;
    background_ = nullptr;
    dragArea_ = nullptr;
    pendingScrollOrigin_.reset();
    pendingSidebarScrollOrigin_.reset();
}

}  // namespace tavrel
