#include "core/settings_pages/page_registry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "core/form/slider_rule.h"
#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/feature_pages.h"
#include "core/settings_pages/native_dock_pages.h"
#include "core/settings_pages/taskbar_page.h"
#include "core/settings_pages/taskbar_subpages.h"

namespace tavrel {

namespace {

using C = TaskbarThemeConfiguration;
using S = SidebarSwitch;

std::shared_ptr<FormContent> newFilePage(SettingsPageHost& host) {
    auto form = host.services().newFile().makeSettingsView(host);
    return form ? form : std::make_shared<FormContent>();
}

S setting(Binding<bool> binding) {
    return S{S::Kind::setting, std::move(binding)};
}

std::string gesturesStatus(const TaskbarSettings& s, const FeatureEnvironment&) {
    return s.advancedGestureSwipeDownEnabled || s.advancedGestureSwipeLeftEnabled ||
                   s.advancedGestureSwipeRightEnabled
               ? "已配置"
               : "未配置";
}

std::string screenCornersStatus(const TaskbarSettings& s, const FeatureEnvironment&) {
    return s.screenTopCornersEnabled || s.screenBottomCornersEnabled || s.hideMenuBarNotch
               ? "已开启"
               : "已关闭";
}

std::string displaysStatus(const TaskbarSettings&, const FeatureEnvironment& environment) {
    return "已连接 " + std::to_string(environment.connectedScreenCount) + " 台显示器";
}

std::string generalStatus(const TaskbarSettings& s, const FeatureEnvironment&) {
    return s.launchAtLogin ? "开机启动已开启" : "开机启动已关闭";
}

std::string iconsStatus(const TaskbarSettings& s, const FeatureEnvironment&) {
    // A stored size that is not a number shows as 0 rather than failing.
    const double size = s.activeProfile().iconSize;
    return "图标 " + formatWholeNumber(std::isfinite(size) ? size : 0);
}

std::string indicatorsStatus(const TaskbarSettings&, const FeatureEnvironment&) {
    return "运行与激活状态";
}

std::string previewStatus(const TaskbarSettings& s, const FeatureEnvironment&) {
    return s.enableTaskbarWindowPreview ? "窗口截图" : "轻量标题卡";
}

// clang-format off
const std::vector<FeaturePageEntry>& registry() {
    static const std::vector<FeaturePageEntry> entries{
        {FeaturePage::taskbar,
         {"任务栏", "rectangle.bottomthird.inset.filled", SystemColor::teal,
          "外观、位置、入口和系统 Dock", "选择主题后调整任务栏外观、位置、图标和预览。"},
         1, setting(bindSetting(&TaskbarSettings::taskbarEnabled)), nullptr,
         HeaderPreview::taskbar, makeTaskbarCompositeSettingsView, TopPage::taskbar, {}},
        {FeaturePage::multipleDisplays,
         {"多显示器配置", "display.2", SystemColor::blue, "任务栏所在显示器和窗口打开位置",
          "任务栏所在显示器和窗口打开位置"},
         12, {}, displaysStatus, HeaderPreview::taskbar, makeMultipleDisplaySettingsView, TopPage::general, {}},
        {FeaturePage::hideNativeDock,
         {"隐藏原生 Dock", "dock.rectangle", SystemColor::gray, "隐藏系统 Dock",
          "隐藏系统 Dock，让 Tavrel 获得完整底部空间。"},
         2, S{S::Kind::nativeDockHidden, bindSetting(&TaskbarSettings::hideNativeDock)}, nullptr,
         HeaderPreview::general, makeNativeDockVisibilitySettingsView, TopPage::general, {}},
        {FeaturePage::clockCalendar,
         {"时间日历", "calendar.badge.clock", SystemColor::blue, "时间日期和日历入口",
          "控制独立时间日期面板和日历入口。"},
         6, setting(bindCurrentTheme(&C::showClock)), nullptr, HeaderPreview::general,
         makeClockCalendarSettingsView, TopPage::taskbar, {}},
        {FeaturePage::taskbarWidgets,
         {"小组件", "rectangle.grid.1x2", SystemColor::purple, "任务栏小组件",
          "在任务栏中显示可交互的小组件。"},
         {}, setting(bindCurrentTheme(&C::showTimeWidgetInTaskbar)), nullptr,
         HeaderPreview::taskbar, makeTaskbarWidgetsSettingsView, TopPage::taskbar, {}},
        {FeaturePage::taskbarIcons,
         {"任务栏图标", "square.grid.2x2.fill", SystemColor::purple, "图标尺寸、间距和窗口标题",
          "图标尺寸、间距和窗口标题"},
         {}, {}, iconsStatus, HeaderPreview::taskbar, makeIconSettingsView, TopPage::taskbar,
         Page::icons},
        {FeaturePage::taskbarIndicators,
         {"任务栏标识", "minus.rectangle.fill", SystemColor::green, "运行状态和激活窗口标识",
          "运行状态和激活窗口标识"},
         {}, {}, indicatorsStatus, HeaderPreview::taskbar, makeIndicatorSettingsView,
         TopPage::taskbar, Page::indicators},
        {FeaturePage::taskbarPreview,
         {"任务栏预览窗口", "rectangle.on.rectangle", SystemColor::orange, "悬停预览、分组和边框",
          "悬停预览、分组和边框"},
         {}, {}, previewStatus, HeaderPreview::taskbar, makePreviewSettingsView,
         TopPage::taskbar, Page::preview},
        {FeaturePage::startMenu,
         {"应用启动台", "square.grid.3x3.fill", SystemColor::pink,
          "入口、弹窗、搜索框、应用网格和头像", "入口、弹窗、搜索框、应用网格和头像"},
         4, setting(bindSetting(&TaskbarSettings::startMenuEnabled)), nullptr, HeaderPreview::taskbar,
         makeStartMenuSettingsView, TopPage::nativeDockLauncher, {}},
        {FeaturePage::nativeDock,
         {"原生 Dock 增强", "dock.rectangle", SystemColor::cyan,
          "原生 Dock 预览、指示条与应用最小化",
          "总开关控制原生 Dock 的窗口预览、悬停条、激活条和应用最小化。"},
         3, setting(bindSetting(&TaskbarSettings::nativeDockEnhancementsEnabled)), nullptr,
         HeaderPreview::nativeDock, makeNativeDockSettingsView, TopPage::nativeDock, {}},
        {FeaturePage::nativeDockLauncher,
         {"应用启动台", "square.grid.3x3.topleft.filled", SystemColor::pink,
          "入口、弹窗、搜索框、应用网格和头像", "入口、弹窗、搜索框、应用网格和头像"},
         {}, setting(bindSetting(&TaskbarSettings::enableNativeDockLauncher)), nullptr,
         HeaderPreview::taskbar, makeStartMenuSettingsView, TopPage::nativeDockLauncher, {}},
        {FeaturePage::switcher,
         {"窗口切换器", "arrow.left.arrow.right.square.fill", SystemColor::indigo,
          "快捷键、标题和截图缓存", "用快捷键在窗口之间快速切换。"},
         5, setting(bindSetting(&TaskbarSettings::enableWindowSwitcher)), nullptr,
         HeaderPreview::switcher, makeWindowSwitcherSettingsView, TopPage::switcher, {}},
        {FeaturePage::advancedGestures,
         {"高级手势", "hand.raised.circle.fill", SystemColor::blue, "四指下滑、左右滑自定义动作",
          "用四指下滑、左滑、右滑触发窗口操作。"},
         7, {}, gesturesStatus, HeaderPreview::taskbar, makeAdvancedGesturesSettingsView,
         TopPage::general, {}},
        {FeaturePage::desktopCorner,
         {"右下角隐藏所有窗口", "arrow.down.right.and.arrow.up.left", SystemColor::mint,
          "点击右下角快速显示桌面", "点击屏幕右下角快速隐藏当前窗口。"},
         8, setting(bindCurrentTheme(&C::enableDesktopCornerShortcut)), nullptr,
         HeaderPreview::desktopCorner, makeDesktopCornerSettingsView, TopPage::general, {}},
        {FeaturePage::desktopIcons,
         {"双击隐藏桌面文件", "eye.slash.fill", SystemColor::brown, "双击隐藏桌面文件",
          "双击空白区域隐藏或恢复桌面文件。"},
         9, setting(bindSetting(&TaskbarSettings::enableDesktopIconDoubleClickToggle)), nullptr,
         HeaderPreview::desktopIcons, makeDesktopIconSettingsView, TopPage::general, {}},
        {FeaturePage::hideNotch,
         {"屏幕圆角", "viewfinder", SystemColor::indigo, "顶部圆角、底部圆角、刘海隐藏和圆角半径",
          "分别设置屏幕顶部和底部圆角，也可独立隐藏菜单栏刘海。"},
         10, {}, screenCornersStatus, HeaderPreview::screenCorners, makeScreenCornersSettingsView,
         TopPage::general, {}},
        {FeaturePage::newFile,
         {"右键新建文件", "doc.badge.plus", SystemColor::blue, "Finder 右键菜单和文件类型",
          "为 Finder 右键菜单添加新建文件类型。"},
         11, S{S::Kind::newFileEnabled, {}}, nullptr, HeaderPreview::newFile, newFilePage,
         TopPage::newFile, {}},
        {FeaturePage::general,
         {"通用设置", "gearshape.fill", SystemColor::gray, "启动、菜单栏和维护操作",
          "管理启动项、菜单栏入口和维护操作。"},
         13, {}, generalStatus, HeaderPreview::general, makeGeneralSettingsView, TopPage::general,
         {}},
    };
    return entries;
}
// clang-format on

}  // namespace

std::span<const FeaturePageEntry> featurePageRegistry() {
    return registry();
}

const FeaturePageEntry& featurePageEntry(FeaturePage page) {
    return registry()[static_cast<std::size_t>(page)];
}

const FeaturePageInfo& featurePageInfo(FeaturePage page) {
    return featurePageEntry(page).info;
}

std::span<const FeaturePage> allFeaturePages() {
    static const std::vector<FeaturePage> pages = [] {
        std::vector<FeaturePage> all;
        for (const FeaturePageEntry& entry : registry()) all.push_back(entry.page);
        return all;
    }();
    return pages;
}

std::span<const FeaturePage> sidebarFeaturePages() {
    static const std::vector<FeaturePage> pages = [] {
        std::vector<const FeaturePageEntry*> listed;
        for (const FeaturePageEntry& entry : registry()) {
            if (entry.sidebarPosition) listed.push_back(&entry);
        }
        std::sort(listed.begin(), listed.end(), [](const auto* a, const auto* b) {
            return *a->sidebarPosition < *b->sidebarPosition;
        });
        std::vector<FeaturePage> ordered;
        for (const auto* entry : listed) ordered.push_back(entry->page);
        return ordered;
    }();
    return pages;
}

void syncLegacySelection(FeaturePage feature, TopPage& top, Page& page) {
    const FeaturePageEntry& entry = featurePageEntry(feature);
    top = entry.topPage;
    if (entry.subpage) page = *entry.subpage;
}

std::optional<bool> featureEnabledState(FeaturePage page, const TaskbarSettings& settings,
                                        const FeatureEnvironment& environment) {
    const auto& sidebarSwitch = featurePageEntry(page).sidebarSwitch;
    if (!sidebarSwitch) return std::nullopt;
    if (sidebarSwitch->kind == SidebarSwitch::Kind::newFileEnabled) {
        return environment.newFileEnabled;
    }
    return sidebarSwitch->binding.get(settings);
}

std::string featureStatusText(FeaturePage page, const TaskbarSettings& settings,
                              const FeatureEnvironment& environment) {
    const FeaturePageEntry& entry = featurePageEntry(page);
    if (entry.statusText) return entry.statusText(settings, environment);
    return featureEnabledState(page, settings, environment).value_or(false) ? "已开启" : "已关闭";
}

FeatureSwitchEffect applyFeatureSwitch(FeaturePage page, bool enabled, TaskbarSettings& settings) {
    const auto& sidebarSwitch = featurePageEntry(page).sidebarSwitch;
    if (!sidebarSwitch) return FeatureSwitchEffect::none;
    switch (sidebarSwitch->kind) {
        case SidebarSwitch::Kind::setting:
            sidebarSwitch->binding.set(settings, enabled);
            return FeatureSwitchEffect::settingsChanged;
        case SidebarSwitch::Kind::nativeDockHidden:
            return FeatureSwitchEffect::nativeDockHidden;
        case SidebarSwitch::Kind::newFileEnabled:
            return FeatureSwitchEffect::newFileEnabled;
    }
    return FeatureSwitchEffect::none;
}

std::shared_ptr<FormContent> makeFeaturePageForm(FeaturePage page, SettingsPageHost& host) {
    const FeaturePageEntry& entry = featurePageEntry(page);
    return entry.build ? entry.build(host) : std::make_shared<FormContent>();
}

std::shared_ptr<FormContent> makeTopForm(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    form->addCustomView(
        permissionBanner(PermissionKind::accessibility, PermissionBannerText::accessibility));
    const FeaturePage page = host.selectedFeaturePage();
    if (page != FeaturePage::taskbar) {
        form->addCustomView(
            CustomViewSpec{std::string(FeatureHeaderCardSpec::kind), FeatureHeaderCardSpec{page}});
    }
    form->addForm(makeFeaturePageForm(page, host));
    return form;
}

}  // namespace tavrel
