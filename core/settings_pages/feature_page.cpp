#include "core/settings_pages/feature_page.h"

#include <algorithm>

#include "core/notifications/notification_names.h"

namespace tavrel {

FormColor systemColorValue(SystemColor color) {
    // Fixed values close to the platform's light-appearance system colours.
    switch (color) {
        case SystemColor::teal:
            return {0.19, 0.69, 0.78, 1};
        case SystemColor::blue:
            return {0.0, 0.48, 1.0, 1};
        case SystemColor::gray:
            return {0.56, 0.56, 0.58, 1};
        case SystemColor::purple:
            return {0.69, 0.32, 0.87, 1};
        case SystemColor::green:
            return {0.20, 0.78, 0.35, 1};
        case SystemColor::orange:
            return {1.0, 0.58, 0.0, 1};
        case SystemColor::pink:
            return {1.0, 0.18, 0.33, 1};
        case SystemColor::cyan:
            return {0.20, 0.68, 0.90, 1};
        case SystemColor::indigo:
            return {0.35, 0.34, 0.84, 1};
        case SystemColor::mint:
            return {0.0, 0.78, 0.75, 1};
        case SystemColor::brown:
            return {0.64, 0.52, 0.37, 1};
    }
    return {0.0, 0.48, 1.0, 1};
}

namespace {

constexpr std::array<FeaturePageInfo, featurePageCount> kInfo{{
    {"任务栏", "rectangle.bottomthird.inset.filled", SystemColor::teal,
     "外观、位置、入口和系统 Dock", "选择主题后调整任务栏外观、位置、图标和预览。"},
    {"多显示器配置", "display.2", SystemColor::blue, "任务栏所在显示器和窗口打开位置",
     "任务栏所在显示器和窗口打开位置"},
    {"隐藏原生 Dock", "dock.rectangle", SystemColor::gray, "隐藏系统 Dock",
     "隐藏系统 Dock，让 Tavrel 获得完整底部空间。"},
    {"时间日历", "calendar.badge.clock", SystemColor::blue, "时间日期和日历入口",
     "控制独立时间日期面板和日历入口。"},
    {"小组件", "rectangle.grid.1x2", SystemColor::purple, "任务栏小组件",
     "在任务栏中显示可交互的小组件。"},
    {"任务栏图标", "square.grid.2x2.fill", SystemColor::purple, "图标尺寸、间距和窗口标题",
     "图标尺寸、间距和窗口标题"},
    {"任务栏标识", "minus.rectangle.fill", SystemColor::green, "运行状态和激活窗口标识",
     "运行状态和激活窗口标识"},
    {"任务栏预览窗口", "rectangle.on.rectangle", SystemColor::orange, "悬停预览、分组和边框",
     "悬停预览、分组和边框"},
    {"应用启动台", "square.grid.3x3.fill", SystemColor::pink, "入口、弹窗、搜索框、应用网格和头像",
     "入口、弹窗、搜索框、应用网格和头像"},
    {"原生 Dock 增强", "dock.rectangle", SystemColor::cyan, "原生 Dock 预览、指示条与应用最小化",
     "总开关控制原生 Dock 的窗口预览、悬停条、激活条和应用最小化。"},
    {"应用启动台", "square.grid.3x3.topleft.filled", SystemColor::pink,
     "入口、弹窗、搜索框、应用网格和头像", "入口、弹窗、搜索框、应用网格和头像"},
    {"窗口切换器", "arrow.left.arrow.right.square.fill", SystemColor::indigo,
     "快捷键、标题和截图缓存", "用快捷键在窗口之间快速切换。"},
    {"高级手势", "hand.raised.circle.fill", SystemColor::blue, "四指下滑、左右滑自定义动作",
     "用四指下滑、左滑、右滑触发窗口操作。"},
    {"右下角隐藏所有窗口", "arrow.down.right.and.arrow.up.left", SystemColor::mint,
     "点击右下角快速显示桌面", "点击屏幕右下角快速隐藏当前窗口。"},
    {"双击隐藏桌面文件", "eye.slash.fill", SystemColor::brown, "双击隐藏桌面文件",
     "双击空白区域隐藏或恢复桌面文件。"},
    {"屏幕圆角", "viewfinder", SystemColor::indigo, "顶部圆角、底部圆角、刘海隐藏和圆角半径",
     "分别设置屏幕顶部和底部圆角，也可独立隐藏菜单栏刘海。"},
    {"右键新建文件", "doc.badge.plus", SystemColor::blue, "Finder 右键菜单和文件类型",
     "为 Finder 右键菜单添加新建文件类型。"},
    {"通用设置", "gearshape.fill", SystemColor::gray, "启动、菜单栏和维护操作",
     "管理启动项、菜单栏入口和维护操作。"},
}};

constexpr std::array<FeaturePage, featurePageCount> kAll{
    FeaturePage::taskbar,
    FeaturePage::multipleDisplays,
    FeaturePage::hideNativeDock,
    FeaturePage::clockCalendar,
    FeaturePage::taskbarWidgets,
    FeaturePage::taskbarIcons,
    FeaturePage::taskbarIndicators,
    FeaturePage::taskbarPreview,
    FeaturePage::startMenu,
    FeaturePage::nativeDock,
    FeaturePage::nativeDockLauncher,
    FeaturePage::switcher,
    FeaturePage::advancedGestures,
    FeaturePage::desktopCorner,
    FeaturePage::desktopIcons,
    FeaturePage::hideNotch,
    FeaturePage::newFile,
    FeaturePage::general,
};

constexpr std::array<FeaturePage, 13> kSidebar{
    FeaturePage::taskbar,          FeaturePage::hideNativeDock, FeaturePage::nativeDock,
    FeaturePage::startMenu,        FeaturePage::switcher,       FeaturePage::clockCalendar,
    FeaturePage::advancedGestures, FeaturePage::desktopCorner,  FeaturePage::desktopIcons,
    FeaturePage::hideNotch,        FeaturePage::newFile,        FeaturePage::multipleDisplays,
    FeaturePage::general,
};

constexpr std::array<std::string_view, 5> kSubpageLabels{"外观与位置", "图标", "标识", "预览窗口",
                                                         "小组件"};

}  // namespace

const FeaturePageInfo& featurePageInfo(FeaturePage page) {
    return kInfo[static_cast<std::size_t>(page)];
}

std::span<const FeaturePage> allFeaturePages() {
    return kAll;
}

std::span<const FeaturePage> sidebarFeaturePages() {
    return kSidebar;
}

void syncLegacySelection(FeaturePage feature, TopPage& top, Page& page) {
    switch (feature) {
        case FeaturePage::taskbar:
        case FeaturePage::clockCalendar:
        case FeaturePage::taskbarWidgets:
            top = TopPage::taskbar;
            return;
        case FeaturePage::taskbarIcons:
            top = TopPage::taskbar;
            page = Page::icons;
            return;
        case FeaturePage::taskbarIndicators:
            top = TopPage::taskbar;
            page = Page::indicators;
            return;
        case FeaturePage::taskbarPreview:
            top = TopPage::taskbar;
            page = Page::preview;
            return;
        case FeaturePage::startMenu:
        case FeaturePage::nativeDockLauncher:
            top = TopPage::nativeDockLauncher;
            return;
        case FeaturePage::nativeDock:
            top = TopPage::nativeDock;
            return;
        case FeaturePage::switcher:
            top = TopPage::switcher;
            return;
        case FeaturePage::newFile:
            top = TopPage::newFile;
            return;
        default:
            top = TopPage::general;
            return;
    }
}

Page pageForSubpageIndex(int index) {
    return static_cast<Page>(std::clamp(index, 0, static_cast<int>(kSubpageLabels.size()) - 1));
}

int subpageIndex(Page page) {
    return static_cast<int>(page);
}

std::span<const std::string_view> subpageLabels() {
    return kSubpageLabels;
}

std::optional<PageSelection> selectionForPageName(std::string_view pageName) {
    if (pageName == SettingsPageName::startMenu) {
        return PageSelection{FeaturePage::startMenu, TopPage::taskbar};
    }
    if (pageName == SettingsPageName::switcher) {
        return PageSelection{FeaturePage::switcher, TopPage::switcher};
    }
    return std::nullopt;
}

std::optional<std::string_view> launchPageName(std::span<const std::string_view> arguments) {
    const auto present = [&](std::string_view flag) {
        return std::find(arguments.begin(), arguments.end(), flag) != arguments.end();
    };
    if (present(SettingsLaunchSwitch::startMenu)) return SettingsPageName::startMenu;
    if (present(SettingsLaunchSwitch::switcher)) return SettingsPageName::switcher;
    return std::nullopt;
}

}  // namespace tavrel
