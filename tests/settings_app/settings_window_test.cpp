// The settings window with Qt offscreen: navigation and scroll restoration, the taskbar page's
// rows as rendered, the sidebar switches, permission banners, previews and the theme picker.

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include "core/notifications/notification_names.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_main_queue.h"
#include "tests/settings_app/fake_window_services.h"
#include "tests/settings_app/scripted_settings_dialogs.h"
#include "tests/settings_app/widget_test_support.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_segmented_control.h"
#include "ui/form/settings_selectable_label.h"
#include "ui/form/settings_switch.h"
#include "ui/form/slider_row_control.h"
#include "ui/settings/feature_sidebar.h"
#include "ui/settings/mini_preview_view.h"
#include "ui/settings/privacy_settings_opener.h"
#include "ui/settings/settings_panel_controller.h"
#include "ui/settings/taskbar_theme_hero_view.h"

namespace tavrel {
namespace {

class RecordingPrivacyOpener final : public PrivacySettingsOpener {
public:
    void open(std::string_view address) override { opened.emplace_back(address); }
    std::vector<std::string> opened;
};

using test::RecordingNewFileSwitch;
using RecordingNativeDockSwitch = test::RecordingNativeDockVisibility;

QImage solidImage(std::string_view name) {
    QImage image(60, 36, QImage::Format_ARGB32);
    image.fill(name == "TaskbarThemeWindowsPreview" ? Qt::blue : Qt::magenta);
    return image;
}

class SettingsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::widgetApplication();
        QApplication::setPalette(QPalette());
    }

    void open(TaskbarSettings settings = defaults()) {
        build(std::move(settings));
        test::settle();
    }

    // Builds and shows the window without letting the event loop run.
    void build(TaskbarSettings settings = defaults(), bool buildBelowFirstScreenLater = false) {
        SettingsWindowCallbacks callbacks;
        callbacks.onChange = [this](const TaskbarSettings& edited) { changes.push_back(edited); };
        callbacks.onWindowWillClose = [this] { ++willClose; };
        controller = std::make_unique<SettingsPanelController>(
            std::move(settings), std::move(callbacks), services, views,
            SettingsWindowOptions{buildBelowFirstScreenLater});
        controller->showWindow();
    }

    static TaskbarSettings defaults() {
        TaskbarSettings settings;
        settings.theme = TaskbarTheme::windows;
        return settings;
    }

    QWidget* row(const char* title) const {
        return findFormRow(controller->pageFormView(), QString::fromUtf8(title));
    }
    template <class W>
    W* control(const char* title) const {
        QWidget* found = row(title);
        EXPECT_NE(found, nullptr) << title;
        return found ? found->findChild<W*>() : nullptr;
    }
    void commitField(const char* title, const char* text) {
        auto* slider = control<SliderRowControl>(title);
        ASSERT_TRUE(slider);
        slider->field()->setText(QString::fromUtf8(text));
        emit slider->field()->editingFinished();
        test::settle();
    }
    int pageMaximum() const { return controller->pageScrollView()->verticalScrollBar()->maximum(); }
    void scrollPage(int y) {
        controller->pageScrollView()->verticalScrollBar()->setValue(y);
        test::settle();
    }
    void scrollSidebar(int y) {
        controller->featureSidebarScrollView()->verticalScrollBar()->setValue(y);
        test::settle();
    }

    // Answers the outstanding permission query of the fake bus with `granted`.
    void answerPermission(const char* key, bool granted) {
        queue.runReady();
        std::string token;
        for (const Notification& n : center.posted()) {
            if (n.name == TavrelDistributedNotification::permissionQuery) {
                token = *userInfoString(n.userInfo, "token");
            }
        }
        ASSERT_FALSE(token.empty());
        center.receive(Notification{std::string(TavrelDistributedNotification::permissionReply),
                                    std::nullopt,
                                    {{"token", token}, {key, granted}}});
        queue.runReady();
    }

    SettingsImageLookup images = solidImage;
    platform::ManualMainQueue queue;
    platform::FakeNotificationCenter center{queue};
    int tokenCounter = 0;
    PermissionProbe screenRecordingProbe{center, PermissionKind::screenRecording,
                                         [this] { return "S" + std::to_string(++tokenCounter); }};
    PermissionProbe accessibilityProbe{center, PermissionKind::accessibility,
                                       [this] { return "A" + std::to_string(++tokenCounter); }};
    test::ScriptedSettingsDialogs dialogs;
    RecordingPrivacyOpener privacy;
    RecordingNewFileSwitch newFile;
    RecordingNativeDockSwitch nativeDock;
    std::vector<TaskbarSettings> changes;
    std::vector<TavrelAppearanceMode> appearances;
    int willClose = 0;
    test::FakeWindowServices services{
        {dialogs, center, screenRecordingProbe, accessibilityProbe, privacy, newFile, nativeDock,
         images, [this](TavrelAppearanceMode mode) { appearances.push_back(mode); }}};
    CustomViewRegistry views = [] {
        CustomViewRegistry registry;
        addStandardSettingsViews(registry);
        return registry;
    }();
    std::unique_ptr<SettingsPanelController> controller;
};

TEST_F(SettingsWindowTest, WindowHasItsSizeSidebarAndTaskbarPage) {
    open();
    QWidget* window = controller->window();
    EXPECT_EQ(window->size(), QSize(1040, 720));
    EXPECT_EQ(window->minimumSize(), QSize(900, 580));
    EXPECT_EQ(window->windowTitle(), "Tavrel 设置");
    std::vector<QString> titles;
    for (FeaturePage page : sidebarFeaturePages()) {
        FeatureSidebarButton* button = controller->featureButton(page);
        ASSERT_TRUE(button);
        titles.push_back(button->accessibleName());
    }
    EXPECT_EQ(titles.size(), 13u);
    EXPECT_TRUE(controller->featureButton(FeaturePage::taskbar)->isSelectedPage());
    EXPECT_EQ(controller->pageScrollView()->geometry(),
              QRect(284 + 28, 38, 1040 - 284 - 28 - 6, 720 - 38 - 10));
    EXPECT_NE(row("任务栏厚度"), nullptr);
    EXPECT_EQ(controller->pageFormView()->findChild<QWidget*>("featureHeaderCard"), nullptr);
}

TEST_F(SettingsWindowTest, SwitchingPagesStartsAtTheTopAndKeepsTheSidebarOffset) {
    open();
    controller->window()->resize(900, 580);
    test::settle();
    scrollPage(300);
    ASSERT_GT(controller->pageScrollOffset(), 0);
    const int sidebarMaximum =
        controller->featureSidebarScrollView()->verticalScrollBar()->maximum();
    ASSERT_GT(sidebarMaximum, 0) << "the sidebar must scroll at the minimum size";
    scrollSidebar(sidebarMaximum);

    QTest::mouseClick(controller->featureButton(FeaturePage::general), Qt::LeftButton);
    test::settle();
    EXPECT_EQ(controller->selectedFeaturePage(), FeaturePage::general);
    EXPECT_EQ(controller->selectedTopPage(), TopPage::general);
    EXPECT_EQ(controller->pageScrollOffset(), 0);
    EXPECT_EQ(controller->sidebarScrollOffset(), sidebarMaximum);
    EXPECT_TRUE(controller->featureButton(FeaturePage::general)->isSelectedPage());
    auto* card = controller->pageFormView()->findChild<QWidget*>("featureHeaderCard");
    ASSERT_TRUE(card);
    EXPECT_EQ(card->findChild<QLabel*>("featureHeaderTitle")->text(), "通用设置");
    EXPECT_EQ(card->findChild<QLabel*>("featureHeaderSummary")->text(),
              "管理启动项、菜单栏入口和维护操作。");
}

TEST_F(SettingsWindowTest, RebuildKeepsThePageOffsetClampedWhenThePageGetsShorter) {
    TaskbarSettings settings = defaults();
    settings.theme = TaskbarTheme::liquidGlass;
    open(settings);
    controller->window()->resize(900, 580);
    test::settle();

    scrollPage(120);
    control<SettingsSegmentedControl>("图标对齐")->clickSegment(1);  // "居中": one row fewer
    test::settle();
    EXPECT_EQ(row("距离左侧边缘距离"), nullptr);
    EXPECT_EQ(controller->pageScrollOffset(), 120);

    scrollPage(pageMaximum());
    const int before = controller->pageScrollOffset();
    control<SettingsSegmentedControl>("背景样式")->clickSegment(1);  // "无背景": four rows fewer
    test::settle();
    EXPECT_EQ(row("背景圆角"), nullptr);
    EXPECT_LT(pageMaximum(), before);
    EXPECT_EQ(controller->pageScrollOffset(), pageMaximum());
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back().liquidGlassBackgroundStyle, TaskbarBackgroundStyle::noBackground);
}

TEST_F(SettingsWindowTest, SidebarSwitchKeepsThePageOffsetAndReportsTheEdit) {
    open();
    controller->window()->resize(900, 580);
    test::settle();
    scrollPage(150);
    SettingsSwitch* toggle = controller->featureButton(FeaturePage::switcher)->featureSwitch();
    ASSERT_TRUE(toggle->isVisible());
    toggle->click();
    test::settle();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_TRUE(changes.back().enableWindowSwitcher);
    EXPECT_EQ(controller->pageScrollOffset(), 150);
    EXPECT_EQ(controller->pendingScrollOrigin(), std::optional<int>(150));

    // Hiding the native Dock is handed over; nothing is written here.
    controller->featureButton(FeaturePage::hideNativeDock)->featureSwitch()->click();
    EXPECT_EQ(nativeDock.requests, std::vector<bool>{true});
    EXPECT_EQ(changes.size(), 1u);
    EXPECT_FALSE(
        controller->featureButton(FeaturePage::hideNativeDock)->featureSwitch()->isChecked());
}

TEST_F(SettingsWindowTest, APageRowAndItsSidebarSwitchShowTheSameValueAtOnce) {
    TaskbarSettings settings = defaults();
    settings.nativeDockEnhancementsEnabled = false;
    open(settings);
    controller->window()->resize(900, 580);
    controller->selectFeaturePage(FeaturePage::nativeDock);
    test::settle();
    SettingsSwitch* sidebar = controller->featureButton(FeaturePage::nativeDock)->featureSwitch();
    ASSERT_FALSE(sidebar->isChecked());

    // The page's master switch: the sidebar row follows in place.
    control<SettingsSwitch>("启用原生 Dock 增强")->click();
    test::settle();
    EXPECT_TRUE(controller->settings().nativeDockEnhancementsEnabled);
    EXPECT_TRUE(controller->featureButton(FeaturePage::nativeDock)->featureSwitch()->isChecked());
    EXPECT_EQ(controller->featureButton(FeaturePage::nativeDock)->statusText(), "已开启");

    // The sidebar switch of the page shown: the page is built again where it was scrolled.
    scrollPage(120);
    const FormView* before = controller->pageFormView();
    controller->featureButton(FeaturePage::nativeDock)->featureSwitch()->click();
    test::settle();
    EXPECT_FALSE(controller->settings().nativeDockEnhancementsEnabled);
    EXPECT_NE(controller->pageFormView(), before);
    EXPECT_FALSE(control<SettingsSwitch>("启用原生 Dock 增强")->isChecked());
    EXPECT_EQ(controller->pageScrollOffset(), 120);
    EXPECT_EQ(changes.size(), 2u);

    // A switch whose key the page shown does not edit leaves the page alone.
    const FormView* unrelated = controller->pageFormView();
    controller->featureButton(FeaturePage::switcher)->featureSwitch()->click();
    test::settle();
    EXPECT_EQ(controller->pageFormView(), unrelated);
}

TEST_F(SettingsWindowTest, ARefreshingViewFollowsEveryEditUntilItsPageGoes) {
    open();
    auto* view = new QWidget(controller->pageFormView());
    std::vector<double> heights;
    controller->addRefreshingView(view, [&](const TaskbarSettings& shown) {
        heights.push_back(shown.windowsProfile.taskbarHeight);
    });
    commitField("任务栏厚度", "60");
    commitField("任务栏厚度", "70");
    EXPECT_EQ(heights, (std::vector<double>{60, 70}));
    // A rebuild makes the page again; the old view is not shown anything more.
    controller->rebuildContentViewBody();
    test::settle();
    commitField("任务栏厚度", "80");
    EXPECT_EQ(heights, (std::vector<double>{60, 70}));
}

TEST_F(SettingsWindowTest, ExternalSettingsKeepBothScrollPositions) {
    open();
    controller->window()->resize(900, 580);
    test::settle();
    scrollPage(200);
    const int sidebarMaximum =
        controller->featureSidebarScrollView()->verticalScrollBar()->maximum();
    scrollSidebar(sidebarMaximum);
    TaskbarSettings fresh = controller->settings();
    fresh.appearanceMode = TavrelAppearanceMode::light;
    fresh.windowsProfile.alignment = 1;
    controller->synchronizeExternalSettings(fresh);
    test::settle();
    EXPECT_EQ(controller->settings().windowsProfile.alignment, 1);
    EXPECT_EQ(row("距离左侧边缘距离"), nullptr);  // rebuilt with the new values
    EXPECT_EQ(controller->pageScrollOffset(), 200);
    EXPECT_EQ(controller->sidebarScrollOffset(), sidebarMaximum);
    EXPECT_EQ(appearances, std::vector<TavrelAppearanceMode>{TavrelAppearanceMode::light});
    EXPECT_TRUE(changes.empty());  // taking the file's values is not an edit
}

TEST_F(SettingsWindowTest, ScreenChangesRebuildOnlyTheMultipleDisplayPage) {
    open();
    const platform::ScreenInfo builtIn{"display-1", "Built-in", true};
    const platform::ScreenInfo external{"display-2", "External", false};
    const FormView* taskbarPage = controller->pageFormView();
    services.screensStub.setScreens({builtIn, external});
    services.screensStub.fireChange();
    test::settle();
    EXPECT_EQ(controller->pageFormView(), taskbarPage);  // nothing rebuilt

    controller->selectFeaturePage(FeaturePage::multipleDisplays);
    test::settle();
    const FormView* displaysPage = controller->pageFormView();
    EXPECT_EQ(controller->featureButton(FeaturePage::multipleDisplays)->statusText(),
              "已连接 2 台显示器");
    services.screensStub.setScreens({builtIn});
    services.screensStub.fireChange();
    test::settle();
    EXPECT_NE(controller->pageFormView(), displaysPage);
    EXPECT_EQ(controller->featureButton(FeaturePage::multipleDisplays)->statusText(),
              "已连接 1 台显示器");
}

TEST_F(SettingsWindowTest, NewFileSwitchSavesItsOwnSettingsAndExplains) {
    open();
    dialogs.answer("知道了");
    controller->featureButton(FeaturePage::newFile)->featureSwitch()->click();
    test::settle();
    EXPECT_EQ(newFile.state, std::optional<bool>(true));
    EXPECT_TRUE(changes.empty());
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].message, "请开启文件提供程序扩展");
    EXPECT_TRUE(dialogs.askedAsSheet[0]);
    EXPECT_TRUE(controller->featureButton(FeaturePage::newFile)->featureSwitch()->isChecked());
}

TEST_F(SettingsWindowTest, SubpageIndexIsClampedAndShowsThatSubpage) {
    open();
    controller->selectSubpage(7);
    test::settle();
    EXPECT_EQ(controller->selectedPage(), Page::widgets);
    EXPECT_EQ(row("任务栏厚度"), nullptr);
    auto* selector =
        controller->pageFormView()->findChild<SettingsSegmentedControl*>("subpageSelector");
    ASSERT_TRUE(selector);
    EXPECT_EQ(selector->selectedSegment(), 4);

    selector->clickSegment(0);
    test::settle();
    controller->selectSubpage(-1);
    test::settle();
    EXPECT_EQ(controller->selectedPage(), Page::taskbar);
    EXPECT_NE(row("任务栏厚度"), nullptr);
}

TEST_F(SettingsWindowTest, ThicknessFieldLowersIconAndButtonInTheShownTheme) {
    TaskbarSettings settings = defaults();
    for (TaskbarThemeConfiguration* record :
         {&settings.windowsProfile, &settings.liquidGlassProfile}) {
        record->taskbarHeight = 60;
        record->iconSize = 48;
        record->buttonSize = 44;
    }
    open(settings);
    commitField("任务栏厚度", "40");
    ASSERT_EQ(changes.size(), 1u);
    const TaskbarSettings& saved = changes.back();
    EXPECT_EQ(saved.windowsProfile.taskbarHeight, 40);
    EXPECT_EQ(saved.windowsProfile.iconSize, 32);
    EXPECT_EQ(saved.windowsProfile.buttonSize, 34);
    EXPECT_EQ(saved.liquidGlassProfile.iconSize, 48);
    EXPECT_EQ(saved.liquidGlassProfile.buttonSize, 44);
}

TEST_F(SettingsWindowTest, EdgeDistanceAsksBeforeGoingAboveTen) {
    TaskbarSettings settings = defaults();
    settings.windowsProfile.taskbarBottomGap = 4;
    open(settings);

    dialogs.answer("取消");
    commitField("距屏幕边缘", "12");
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(control<SliderRowControl>("距屏幕边缘")->field()->text(), "4.0");
    EXPECT_EQ(controller->settings().windowsProfile.taskbarBottomGap, 4);

    dialogs.answer("确认");
    commitField("距屏幕边缘", "12");
    commitField("距屏幕边缘", "20");  // no second question
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].windowsProfile.taskbarBottomGap, 12);
    EXPECT_EQ(changes[1].windowsProfile.taskbarBottomGap, 20);
    EXPECT_EQ(dialogs.asked.size(), 2u);
    EXPECT_TRUE(dialogs.allAnswersUsed());
    EXPECT_EQ(dialogs.asked[0].informativeText,
              "不建议超过10像素，在开启自动隐藏任务栏时会轻微影响任务栏的放大动画，若不使用放大动画"
              "，则可忽略");
}

TEST_F(SettingsWindowTest, ThemePictureAtOneToOneNeverReadsTheSharperOne) {
    // The picture with twice the pixels is the larger one to decode while the window opens; a
    // screen at 1:1 draws the one made for it.
    std::vector<std::string> asked;
    images = [&asked](std::string_view name) {
        asked.emplace_back(name);
        return solidImage(name);
    };
    open();
    ASSERT_EQ(controller->window()->devicePixelRatioF(), 1.0);
    auto* hero = controller->pageFormView()->findChild<TaskbarThemeHeroView*>();
    ASSERT_TRUE(hero);
    const QImage drawn = hero->imageView()->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(drawn.rect().center()), QColor(Qt::blue));
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "TaskbarThemeWindowsPreview"), 1);
    for (const std::string& name : asked) EXPECT_EQ(name.find("@2x"), std::string::npos) << name;
}

TEST_F(SettingsWindowTest, PageBelowTheFirstScreenMayFollowTheFirstFrameUnseen) {
    const auto rows = [this] {
        return controller->window()->findChildren<QWidget*>(FormWidgetNames::row).size();
    };
    TaskbarSettings settings = defaults();
    settings.theme = TaskbarTheme::liquidGlass;

    build(settings);
    const QImage whole = controller->window()->grab().toImage();
    const auto allRows = rows();
    test::settle();
    const QImage wholePage = controller->pageFormView()->grab().toImage();

    build(settings, true);
    ASSERT_LT(rows(), allRows);  // part of the page waits
    EXPECT_EQ(controller->window()->grab().toImage(), whole);
    // The rest comes once the window has been drawn, as if it had been built at once.
    ASSERT_TRUE(test::runUntil([&] { return rows() == allRows; }));
    test::settle();
    EXPECT_EQ(controller->pageFormView()->grab().toImage(), wholePage);
    EXPECT_NE(row("右下角显示桌面"), nullptr);
}

TEST_F(SettingsWindowTest, AppearanceSelectorSavesOnlyAChange) {
    open();
    auto* selector =
        controller->pageFormView()->findChild<SettingsSegmentedControl*>("appearanceSelector");
    ASSERT_TRUE(selector);
    EXPECT_EQ(selector->size(), QSize(174, 34));
    selector->clickSegment(0);  // "自动" while automatic
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(appearances.empty());
    selector->clickSegment(2);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].appearanceMode, TavrelAppearanceMode::dark);
    EXPECT_EQ(appearances, std::vector<TavrelAppearanceMode>{TavrelAppearanceMode::dark});
}

TEST_F(SettingsWindowTest, ThemePickerSwitchesTheThemeAndItsRows) {
    open();
    auto* hero = controller->pageFormView()->findChild<TaskbarThemeHeroView*>();
    ASSERT_TRUE(hero);
    EXPECT_EQ(hero->height(), 224);
    EXPECT_TRUE(hero->windowsButton()->isChosen());
    EXPECT_EQ(hero->imageView()->image().pixelColor(0, 0), QColor(Qt::blue));

    hero->windowsButton()->click();  // already chosen: reported, ignored
    EXPECT_TRUE(changes.empty());

    EXPECT_NE(row("任务栏透明度"), nullptr);
    hero->liquidButton()->click();
    test::settle();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].theme, TaskbarTheme::liquidGlass);
    EXPECT_EQ(row("任务栏透明度"), nullptr);
    EXPECT_NE(row("背景样式"), nullptr);
    auto* rebuilt = controller->pageFormView()->findChild<TaskbarThemeHeroView*>();
    ASSERT_TRUE(rebuilt);
    EXPECT_TRUE(rebuilt->liquidButton()->isChosen());
    EXPECT_EQ(rebuilt->imageView()->image().pixelColor(0, 0), QColor(Qt::magenta));
}

TEST_F(SettingsWindowTest, AccessibilityBannerFollowsTheAnswers) {
    open();
    auto banners = controller->accessibilityPermissionBanners();
    ASSERT_EQ(banners.size(), 1u);
    EXPECT_FALSE(banners[0]->isVisible());  // hidden until an answer

    answerPermission("accessibility", false);
    EXPECT_TRUE(banners[0]->isVisible());

    controller->refreshAccessibilityPermissionBanner();
    answerPermission("accessibility", true);
    EXPECT_FALSE(banners[0]->isVisible());
}

TEST_F(SettingsWindowTest, ASecondQueryDropsTheFirstAnswer) {
    open();
    queue.runReady();
    const std::string first = *userInfoString(center.posted().back().userInfo, "token");
    controller->refreshAccessibilityPermissionBanner();
    auto banner = controller->accessibilityPermissionBanners().at(0);
    center.receive(Notification{std::string(TavrelDistributedNotification::permissionReply),
                                std::nullopt,
                                {{"token", first}, {"accessibility", false}}});
    queue.runReady();
    EXPECT_FALSE(banner->isVisible());
    answerPermission("accessibility", false);
    EXPECT_TRUE(banner->isVisible());
}

TEST_F(SettingsWindowTest, BannerClickOpensThePrivacySettingsSelectingTextDoesNot) {
    open();
    answerPermission("accessibility", false);
    auto* banner = controller->accessibilityPermissionBanners().at(0);
    banner->openButton()->click();
    QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(4, 4));
    QTest::mousePress(banner->messageLabel(), Qt::LeftButton, {}, QPoint(2, 5));
    QTest::mouseMove(banner->messageLabel(), QPoint(60, 5));
    QTest::mouseRelease(banner->messageLabel(), Qt::LeftButton, {}, QPoint(60, 5));
    const std::string address =
        "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
    EXPECT_EQ(privacy.opened, (std::vector<std::string>{address, address}));
}

TEST_F(SettingsWindowTest, BannersAreRefreshedWhenTheApplicationBecomesActive) {
    open();
    answerPermission("accessibility", false);
    auto* banner = controller->accessibilityPermissionBanners().at(0);
    ASSERT_TRUE(banner->isVisible());
    const std::size_t queries = center.posted().size();

    // The offscreen platform reports no activation of its own; the signal is what the desktop's
    // activation arrives as.
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    queue.runReady();
    EXPECT_EQ(center.posted().size(), queries);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    queue.runReady();
    EXPECT_EQ(center.posted().size(), queries + 1);
    answerPermission("accessibility", true);
    EXPECT_FALSE(banner->isVisible());
}

TEST_F(SettingsWindowTest, HeaderCardsCarryTheirPagesPreview) {
    open();
    struct Case {
        FeaturePage page;
        MiniPreviewView::Drawing drawing;
        std::size_t layers;
    };
    for (const Case& c :
         {Case{FeaturePage::general, MiniPreviewView::Drawing::general, 3},
          Case{FeaturePage::switcher, MiniPreviewView::Drawing::switcher, 3},
          Case{FeaturePage::nativeDock, MiniPreviewView::Drawing::nativeDock, 7},
          Case{FeaturePage::desktopCorner, MiniPreviewView::Drawing::desktopCorner, 5},
          Case{FeaturePage::desktopIcons, MiniPreviewView::Drawing::desktopIcons, 7},
          Case{FeaturePage::newFile, MiniPreviewView::Drawing::newFile, 3},
          Case{FeaturePage::multipleDisplays, MiniPreviewView::Drawing::taskbar, 6}}) {
        controller->selectFeaturePage(c.page);
        test::settle();
        auto* preview = controller->pageFormView()->findChild<MiniPreviewView*>();
        ASSERT_TRUE(preview) << featurePageInfo(c.page).title;
        EXPECT_EQ(MiniPreviewView::drawingFor(preview->kind()), c.drawing);
        EXPECT_EQ(preview->size(), QSize(168, 54));
        EXPECT_EQ(preview->layers().size(), c.layers) << featurePageInfo(c.page).title;
        EXPECT_GT(preview->runningAnimationCount(), 0);
        EXPECT_EQ(preview->accentColor(),
                  toQColor(systemColorValue(featurePageInfo(c.page).accentColor)));
    }
}

TEST(MiniPreviewTest, BuildsNothingUntilItHasASizeAndPausesWhenHidden) {
    test::widgetApplication();
    MiniPreviewView preview;
    preview.setKind(FeaturePage::switcher);
    preview.resize(0, 54);
    preview.show();
    test::settle();
    EXPECT_TRUE(preview.layers().empty());
    preview.resize(168, 54);
    test::settle();
    EXPECT_EQ(preview.contentRect().size(), QSizeF(140, 36));
    EXPECT_EQ(preview.layers().size(), 3u);
    EXPECT_EQ(preview.runningAnimationCount(), 3);
    // The right window starts after its delay; the others move at once.
    preview.hide();
    EXPECT_EQ(preview.runningAnimationCount(), 0);
    preview.show();
    EXPECT_EQ(preview.runningAnimationCount(), 3);
}

TEST_F(SettingsWindowTest, PrepareForCloseRunsOnceAndLaterActionsDoNothing) {
    open();
    auto* toggle = control<SettingsSwitch>("按内容自动收缩");
    ASSERT_TRUE(toggle);
    QPointer<SettingsSwitch> guard(toggle);
    controller->prepareForClose();
    controller->prepareForClose();
    test::settle();
    EXPECT_TRUE(controller->didPrepareForClose());
    EXPECT_TRUE(controller->forms().empty());
    EXPECT_EQ(controller->pageScrollView(), nullptr);
    EXPECT_TRUE(guard.isNull());
    controller->rebuildContentViewBody();  // nothing to rebuild any more
    EXPECT_EQ(controller->pageScrollView(), nullptr);
    EXPECT_TRUE(changes.empty());
}

TEST_F(SettingsWindowTest, ClosingTheWindowIsAnnouncedOnce) {
    open();
    controller->performClose();
    controller->performClose();
    test::settle();
    EXPECT_EQ(willClose, 1);
}

// A page replaced from outside it (the delegate, the sidebar) is freed by the rebuild itself, so
// a burst of rebuilds holds no more than the page shown. One replaced by its own control, or
// while a dialog is open over it, outlives the call and goes on the next turn.
TEST_F(SettingsWindowTest, AReplacedPageIsFreedAtOnceUnlessItsOwnControlsMayStillRun) {
    open();
    const struct {
        const char* name;
        std::function<void()> replace;
    } outside[] = {
        {"taskbar settings changed", [&] { controller->synchronizeExternalSettings(defaults()); }},
        {"native Dock folders changed", [&] { controller->refreshNativeDockFolderState(); }},
        {"page selected by the delegate", [&] { controller->showSelectedPage(); }},
        {"sidebar row", [&] { controller->selectFeaturePage(FeaturePage::taskbar); }},
    };
    for (const auto& c : outside) {
        QPointer<FormView> old = controller->pageFormView();
        c.replace();
        EXPECT_TRUE(old.isNull()) << c.name;
        EXPECT_NE(controller->pageFormView(), nullptr) << c.name;
    }

    // The segment's own click rebuilds its page: the control is still inside its mouse event.
    {
        QPointer<FormView> old = controller->pageFormView();
        auto* alignment = control<SettingsSegmentedControl>("图标对齐");
        ASSERT_TRUE(alignment);
        const QPoint centre = alignment->segmentRect(1).center().toPoint();
        QTest::mouseClick(alignment, Qt::LeftButton, Qt::NoModifier, centre);
        EXPECT_FALSE(old.isNull());
        EXPECT_NE(controller->pageFormView(), old.data());
        ASSERT_FALSE(changes.empty());
        EXPECT_EQ(changes.back().alignment(), TaskbarAlignment::center);
        test::settle();
        EXPECT_TRUE(old.isNull());
    }

    // A dialog over the window (one the page's control may be waiting on): the page stays.
    {
        QPointer<FormView> old = controller->pageFormView();
        QDialog dialog(controller->window());
        dialog.setModal(true);
        dialog.show();
        ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
        controller->refreshNativeDockFolderState();
        EXPECT_FALSE(old.isNull());
        dialog.hide();
        test::settle();
        EXPECT_TRUE(old.isNull());
    }
}

}  // namespace
}  // namespace tavrel
