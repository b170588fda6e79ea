// The page table, navigation rules, sidebar switches and the taskbar page's rows and actions,
// on the form model with a recording host (no window).

#include <any>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/page_registry.h"
#include "core/settings_pages/taskbar_page.h"
#include "tests/settings_app/form_model_support.h"
#include "tests/settings_app/recording_page_host.h"

namespace tavrel {
namespace {

using test::control;
using test::RecordingPageHost;

TEST(FeaturePageTest, SidebarListsThirteenPagesInOrder) {
    std::vector<std::string_view> titles;
    for (FeaturePage page : sidebarFeaturePages()) titles.push_back(featurePageInfo(page).title);
    EXPECT_EQ(titles, (std::vector<std::string_view>{
                          "任务栏", "隐藏原生 Dock", "原生 Dock 增强", "应用启动台", "窗口切换器",
                          "时间日历", "高级手势", "右下角隐藏所有窗口", "双击隐藏桌面文件",
                          "屏幕圆角", "右键新建文件", "多显示器配置", "通用设置"}));
}

TEST(FeaturePageTest, LegacySelectionFollowsTheFeaturePage) {
    struct Case {
        FeaturePage feature;
        TopPage top;
        Page page;  // starting from Page::widgets
    };
    for (const Case& c : {
             Case{FeaturePage::taskbar, TopPage::taskbar, Page::widgets},
             Case{FeaturePage::clockCalendar, TopPage::taskbar, Page::widgets},
             Case{FeaturePage::taskbarIcons, TopPage::taskbar, Page::icons},
             Case{FeaturePage::taskbarIndicators, TopPage::taskbar, Page::indicators},
             Case{FeaturePage::taskbarPreview, TopPage::taskbar, Page::preview},
             Case{FeaturePage::startMenu, TopPage::nativeDockLauncher, Page::widgets},
             Case{FeaturePage::nativeDockLauncher, TopPage::nativeDockLauncher, Page::widgets},
             Case{FeaturePage::nativeDock, TopPage::nativeDock, Page::widgets},
             Case{FeaturePage::switcher, TopPage::switcher, Page::widgets},
             Case{FeaturePage::newFile, TopPage::newFile, Page::widgets},
             Case{FeaturePage::hideNotch, TopPage::general, Page::widgets},
             Case{FeaturePage::multipleDisplays, TopPage::general, Page::widgets},
         }) {
        TopPage top = TopPage::switcher;
        Page page = Page::widgets;
        syncLegacySelection(c.feature, top, page);
        EXPECT_EQ(top, c.top) << featurePageInfo(c.feature).title;
        EXPECT_EQ(page, c.page) << featurePageInfo(c.feature).title;
    }
}

TEST(FeaturePageTest, SubpageIndexIsClamped) {
    EXPECT_EQ(pageForSubpageIndex(7), Page::widgets);
    EXPECT_EQ(pageForSubpageIndex(-1), Page::taskbar);
    EXPECT_EQ(pageForSubpageIndex(2), Page::indicators);
}

TEST(FeaturePageTest, LaunchSwitchesByPrecedence) {
    using Args = std::vector<std::string_view>;
    struct Case {
        Args arguments;
        std::optional<std::string_view> page;
    };
    for (const Case& c : {Case{{}, std::nullopt}, Case{{"--switcher"}, "switcher"},
                          Case{{"--switcher", "--start-menu"}, "startMenu"},
                          Case{{"--start-menu", "--switcher"}, "startMenu"},
                          Case{{"--switcher=1", "--start-menu-x"}, std::nullopt}}) {
        EXPECT_EQ(launchPageName(c.arguments), c.page);
    }
    EXPECT_EQ(selectionForPageName("switcher"),
              (PageSelection{FeaturePage::switcher, TopPage::switcher}));
    EXPECT_EQ(selectionForPageName("startMenu"),
              (PageSelection{FeaturePage::startMenu, TopPage::taskbar}));
    EXPECT_EQ(selectionForPageName("general"), std::nullopt);
}

TEST(FeatureSwitchesTest, StatesAndStatusTexts) {
    TaskbarSettings settings;
    settings.theme = TaskbarTheme::windows;
    settings.windowsProfile.showClock = true;
    settings.liquidGlassProfile.showClock = false;
    settings.windowsProfile.iconSize = 35.5;
    settings.launchAtLogin = false;
    settings.advancedGestureSwipeDownEnabled = false;
    settings.advancedGestureSwipeLeftEnabled = false;
    settings.advancedGestureSwipeRightEnabled = false;
    settings.screenTopCornersEnabled = false;
    settings.screenBottomCornersEnabled = false;
    settings.hideMenuBarNotch = true;
    const FeatureEnvironment environment{std::nullopt, 3};

    struct Case {
        FeaturePage page;
        std::optional<bool> state;
        const char* status;
    };
    for (const Case& c : {
             Case{FeaturePage::clockCalendar, true, "已开启"},    // the current theme's clock
             Case{FeaturePage::newFile, std::nullopt, "已关闭"},  // unknown: no switch, off
             Case{FeaturePage::advancedGestures, std::nullopt, "未配置"},
             Case{FeaturePage::hideNotch, std::nullopt, "已开启"},
             Case{FeaturePage::multipleDisplays, std::nullopt, "已连接 3 台显示器"},
             Case{FeaturePage::general, std::nullopt, "开机启动已关闭"},
             Case{FeaturePage::taskbarIcons, std::nullopt, "图标 36"},
             Case{FeaturePage::taskbarPreview, std::nullopt, "窗口截图"},
         }) {
        SCOPED_TRACE(featurePageInfo(c.page).title);
        EXPECT_EQ(featureEnabledState(c.page, settings, environment), c.state);
        EXPECT_EQ(featureStatusText(c.page, settings, environment), c.status);
    }
}

TEST(FeatureSwitchesTest, SwitchWritesTheCurrentThemesValueOrHandsOver) {
    TaskbarSettings settings;
    settings.theme = TaskbarTheme::liquidGlass;
    settings.windowsProfile.showClock = false;
    settings.liquidGlassProfile.showClock = false;
    EXPECT_EQ(applyFeatureSwitch(FeaturePage::clockCalendar, true, settings),
              FeatureSwitchEffect::settingsChanged);
    EXPECT_TRUE(settings.liquidGlassProfile.showClock);
    EXPECT_FALSE(settings.windowsProfile.showClock);

    const TaskbarSettings before = settings;
    EXPECT_EQ(applyFeatureSwitch(FeaturePage::hideNativeDock, true, settings),
              FeatureSwitchEffect::nativeDockHidden);
    EXPECT_EQ(applyFeatureSwitch(FeaturePage::newFile, true, settings),
              FeatureSwitchEffect::newFileEnabled);
    EXPECT_EQ(applyFeatureSwitch(FeaturePage::general, true, settings), FeatureSwitchEffect::none);
    EXPECT_EQ(settings, before);
}

// --- Taskbar page.

TaskbarSettings withLook(TaskbarTheme theme, TaskbarBackgroundStyle style,
                         TaskbarLiquidGlassBackgroundMaterial material) {
    TaskbarSettings settings;
    settings.theme = theme;
    settings.liquidGlassBackgroundStyle = style;
    settings.liquidGlassBackgroundMaterial = material;
    return settings;
}

TEST(TaskbarPageTest, RowVisibilityAcrossThemeStyleAndMaterial) {
    using S = TaskbarBackgroundStyle;
    using M = TaskbarLiquidGlassBackgroundMaterial;
    struct Case {
        const char* name;
        TaskbarTheme theme;
        S style;
        M material;
        std::vector<std::string> shown;  // rows of the "外观" section
    };
    const std::vector<Case> cases{
        {"WindowsIgnoresLiquidGlassKeys",
         TaskbarTheme::windows,
         S::noBackground,
         M::clear,
         {"任务栏透明度", "背景圆角"}},
        {"FlatFrosted",
         TaskbarTheme::liquidGlass,
         S::flat,
         M::frosted,
         {"背景样式", "任务栏背景材质", "磨砂液态玻璃透明度", "背景圆角"}},
        {"FlatClear",
         TaskbarTheme::liquidGlass,
         S::flat,
         M::clear,
         {"背景样式", "任务栏背景材质", "通透液态玻璃透明度", "背景圆角"}},
        {"FlatUltraTransparentHasNoOpacity",
         TaskbarTheme::liquidGlass,
         S::flat,
         M::ultraTransparentOS27,
         {"背景样式", "任务栏背景材质", "背景圆角"}},
        {"Dimensional",
         TaskbarTheme::liquidGlass,
         S::dimensional,
         M::frosted,
         {"背景样式", "背景材质"}},
        {"NoBackground", TaskbarTheme::liquidGlass, S::noBackground, M::frosted, {"背景样式"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPageHost host;
        host.settings() = withLook(c.theme, c.style, c.material);
        const auto form = makeTaskbarSettingsView(host);
        std::vector<std::string> appearance;
        for (const FormRow* row : form->rows()) {
            if (form->sectionOfRow(row->title)->title == "外观") appearance.push_back(row->title);
        }
        EXPECT_EQ(appearance, c.shown);
        // The other sections do not depend on the look.
        EXPECT_NE(form->row("距屏幕边缘"), nullptr);
        EXPECT_NE(form->row("右下角显示桌面"), nullptr);
    }
}

TEST(TaskbarPageTest, ChoosingNoBackgroundRebuildsWithRowsTwoToFiveGone) {
    RecordingPageHost host;
    host.settings() = withLook(TaskbarTheme::liquidGlass, TaskbarBackgroundStyle::flat,
                               TaskbarLiquidGlassBackgroundMaterial::frosted);
    const auto form = makeTaskbarSettingsView(host);
    control<SegmentControl>(*form, "背景样式").action(1);
    EXPECT_EQ(host.settings().liquidGlassBackgroundStyle, TaskbarBackgroundStyle::noBackground);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"endTextEditing", "applyLiveChange(rebuild)",
                                        "storePageScrollOrigin", "notifyChange", "rebuild"}));
    const auto rebuilt = makeTaskbarSettingsView(host);
    for (const char* gone : {"背景材质", "任务栏背景材质", "磨砂液态玻璃透明度", "背景圆角"}) {
        EXPECT_EQ(rebuilt->row(gone), nullptr) << gone;
    }
}

TEST(TaskbarPageTest, ThicknessLowersIconAndButtonInTheShownThemeOnly) {
    RecordingPageHost host;
    TaskbarSettings& settings = host.settings();
    settings.theme = TaskbarTheme::windows;
    for (TaskbarThemeConfiguration* record :
         {&settings.windowsProfile, &settings.liquidGlassProfile}) {
        record->taskbarHeight = 60;
        record->iconSize = 48;
        record->buttonSize = 44;
    }
    const auto form = makeTaskbarSettingsView(host);
    // The page keeps editing the theme it shows, even if the theme changed meanwhile.
    settings.theme = TaskbarTheme::liquidGlass;
    control<SliderControl>(*form, "任务栏厚度").action(40);
    EXPECT_EQ(settings.windowsProfile.taskbarHeight, 40);
    EXPECT_EQ(settings.windowsProfile.iconSize, 32);
    EXPECT_EQ(settings.windowsProfile.buttonSize, 34);
    EXPECT_EQ(settings.liquidGlassProfile.iconSize, 48);
    EXPECT_EQ(settings.liquidGlassProfile.buttonSize, 44);
    EXPECT_EQ(host.changes, 1);
}

TEST(TaskbarPageTest, StoredCodesShowAsTheirSegments) {
    struct Case {
        std::int64_t edge;
        std::int64_t alignment;
        int edgeShown;
        int alignmentShown;
        bool leftInsetRow;
    };
    for (const Case& c : {Case{0, 0, 0, 0, true}, Case{2, 1, 2, 1, false}, Case{3, 5, 0, 1, false},
                          Case{-4, 0, 0, 0, true}}) {
        RecordingPageHost host;
        host.settings().theme = TaskbarTheme::windows;
        host.settings().windowsProfile.taskbarScreenEdge = c.edge;
        host.settings().windowsProfile.alignment = c.alignment;
        const auto form = makeTaskbarSettingsView(host);
        EXPECT_EQ(control<SegmentControl>(*form, "任务栏位置").selected, c.edgeShown);
        EXPECT_EQ(control<SegmentControl>(*form, "图标对齐").selected, c.alignmentShown);
        EXPECT_EQ(form->row("距离左侧边缘距离") != nullptr, c.leftInsetRow);
    }
}

TEST(TaskbarPageTest, CentringRemovesTheLeftInsetRowKeepingTheOffset) {
    RecordingPageHost host;
    host.settings().theme = TaskbarTheme::windows;
    host.settings().windowsProfile.alignment = 0;
    control<SegmentControl>(*makeTaskbarSettingsView(host), "图标对齐").action(1);
    EXPECT_EQ(host.settings().windowsProfile.alignment, 1);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"storePageScrollOrigin", "notifyChange", "rebuild"}));
    EXPECT_EQ(makeTaskbarSettingsView(host)->row("距离左侧边缘距离"), nullptr);
}

TEST(TaskbarPageTest, WidthRatioShowsPercentOfAFraction) {
    RecordingPageHost host;
    host.settings().theme = TaskbarTheme::windows;
    host.settings().windowsProfile.taskbarWidthRatio = 1;
    const auto form = makeTaskbarSettingsView(host);
    const auto& ratio = control<SliderControl>(*form, "固定长度比例");
    EXPECT_DOUBLE_EQ(ratio.value, 100);
    ratio.action(75);
    EXPECT_DOUBLE_EQ(host.settings().windowsProfile.taskbarWidthRatio, 0.75);
}

TEST(TaskbarPageTest, EdgeDistanceAsksOncePerExcursionAboveTen) {
    RecordingPageHost host;
    host.settings().theme = TaskbarTheme::windows;
    host.settings().windowsProfile.taskbarBottomGap = 4;
    const auto form = makeTaskbarSettingsView(host);
    const auto& gap = control<SliderControl>(*form, "距屏幕边缘");
    auto& dialogs = host.scriptedDialogs();

    EXPECT_TRUE(gap.validateValue(10));  // no question at or below 10
    dialogs.answer("取消");
    EXPECT_FALSE(gap.validateValue(12));
    dialogs.answer("确认");
    EXPECT_TRUE(gap.validateValue(12));
    EXPECT_TRUE(gap.validateValue(20));  // already confirmed: no question
    EXPECT_TRUE(gap.validateValue(8));   // back at or below 10 clears the answer
    dialogs.answer("确认");
    EXPECT_TRUE(gap.validateValue(30));

    ASSERT_EQ(dialogs.asked.size(), 3u);
    EXPECT_EQ(dialogs.asked[0], edgeDistanceConfirmation());
    EXPECT_EQ(dialogs.asked[0].buttons, (std::vector<std::string>{"确认", "取消"}));
    EXPECT_TRUE(dialogs.allAnswersUsed());
    // A new form starts unconfirmed.
    const auto again = makeTaskbarSettingsView(host);
    dialogs.answer("取消");
    EXPECT_FALSE(control<SliderControl>(*again, "距屏幕边缘").validateValue(11));
}

const TaskbarSelectorBlockSpec& selectorBlock(const FormContent& composite) {
    for (const FormItem& item : composite.items()) {
        const auto* inner = std::get_if<std::shared_ptr<FormContent>>(&item);
        if (!inner) continue;
        for (const FormItem& innerItem : (*inner)->items()) {
            if (const auto* view = std::get_if<CustomViewSpec>(&innerItem)) {
                if (view->kind == TaskbarSelectorBlockSpec::kind) {
                    return std::any_cast<const TaskbarSelectorBlockSpec&>(view->data);
                }
            }
        }
    }
    ADD_FAILURE() << "no selector block";
    static const TaskbarSelectorBlockSpec none;
    return none;
}

TEST(TaskbarPageTest, AppearanceSelectorSavesOnlyRealChanges) {
    RecordingPageHost host;
    host.settings().appearanceMode = TavrelAppearanceMode::automatic;
    const auto form = makeTaskbarCompositeSettingsView(host);
    const auto& block = selectorBlock(*form);
    EXPECT_EQ(block.appearanceSelected, 0);
    block.onAppearanceSelected(0);  // "自动" while automatic
    block.onAppearanceSelected(5);  // no such segment
    EXPECT_TRUE(host.calls.empty());
    block.onAppearanceSelected(2);
    EXPECT_EQ(host.settings().appearanceMode, TavrelAppearanceMode::dark);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"applyAppearance", "storePageScrollOrigin",
                                                    "notifyChange"}));
}

TEST(TaskbarPageTest, ThemeChoiceRebuildsOnlyForAnotherTheme) {
    RecordingPageHost host;
    host.settings().theme = TaskbarTheme::windows;
    const auto composite = makeTaskbarCompositeSettingsView(host);
    const auto& block = selectorBlock(*composite);
    EXPECT_FALSE(block.onThemeSelected(TaskbarTheme::windows));
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(block.onThemeSelected(TaskbarTheme::liquidGlass));
    EXPECT_EQ(host.settings().theme, TaskbarTheme::liquidGlass);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"storePageScrollOrigin", "notifyChange", "rebuild"}));
    // The rebuilt page shows the liquid-glass rows.
    const auto rebuilt = makeTaskbarSettingsView(host);
    EXPECT_NE(rebuilt->row("背景样式"), nullptr);
    EXPECT_EQ(rebuilt->row("任务栏透明度"), nullptr);
}

TEST(TaskbarPageTest, CompositeShowsTheSelectedSubpage) {
    RecordingPageHost host;
    host.page = Page::taskbar;
    EXPECT_NE(makeTaskbarCompositeSettingsView(host)->row("任务栏厚度"), nullptr);
    selectorBlock(*makeTaskbarCompositeSettingsView(host)).onSubpageSelected(9);
    EXPECT_EQ(host.page, Page::widgets);
    EXPECT_EQ(makeTaskbarCompositeSettingsView(host)->row("任务栏厚度"), nullptr);
}

TEST(TopFormTest, BannerFirstAndHeaderCardOnEveryPageButTheTaskbar) {
    for (FeaturePage page : allFeaturePages()) {
        RecordingPageHost host;
        host.feature = page;
        const auto form = makeTopForm(host);
        std::vector<std::string> kinds;
        for (const FormItem& item : form->items()) {
            if (const auto* view = std::get_if<CustomViewSpec>(&item)) kinds.push_back(view->kind);
        }
        std::vector<std::string> expected{"permissionBanner"};
        if (page != FeaturePage::taskbar) expected.push_back("featureHeaderCard");
        EXPECT_EQ(kinds, expected) << featurePageInfo(page).title;
    }
}

}  // namespace
}  // namespace tavrel
