#include "core/settings_pages/feature_switches.h"

#include <cmath>

#include "core/form/slider_rule.h"

namespace tavrel {

namespace {

class NullNewFileFeatureSwitch final : public NewFileFeatureSwitch {
public:
    std::optional<bool> isEnabled() const override { return std::nullopt; }
    void setEnabled(bool) override {}
};

class NullNativeDockVisibilitySwitch final : public NativeDockVisibilitySwitch {
public:
    void changeNativeDockHidden(bool) override {}
};

std::string onOff(std::optional<bool> state) {
    return state.value_or(false) ? "已开启" : "已关闭";
}

}  // namespace

std::unique_ptr<NewFileFeatureSwitch> makeNullNewFileFeatureSwitch() {
    return std::make_unique<NullNewFileFeatureSwitch>();
}

std::unique_ptr<NativeDockVisibilitySwitch> makeNullNativeDockVisibilitySwitch() {
    return std::make_unique<NullNativeDockVisibilitySwitch>();
}

std::optional<bool> featureEnabledState(FeaturePage page, const TaskbarSettings& settings,
                                        const FeatureEnvironment& environment) {
    const TaskbarThemeConfiguration& active = settings.activeProfile();
    switch (page) {
        case FeaturePage::taskbar:
            return settings.taskbarEnabled;
        case FeaturePage::hideNativeDock:
            return settings.hideNativeDock;
        case FeaturePage::nativeDock:
            return settings.nativeDockEnhancementsEnabled;
        case FeaturePage::startMenu:
            return settings.startMenuEnabled;
        case FeaturePage::switcher:
            return settings.enableWindowSwitcher;
        case FeaturePage::clockCalendar:
            return active.showClock;
        case FeaturePage::desktopCorner:
            return active.enableDesktopCornerShortcut;
        case FeaturePage::desktopIcons:
            return settings.enableDesktopIconDoubleClickToggle;
        case FeaturePage::newFile:
            return environment.newFileEnabled;
        case FeaturePage::taskbarWidgets:
            return active.showTimeWidgetInTaskbar;
        case FeaturePage::nativeDockLauncher:
            return settings.enableNativeDockLauncher;
        default:
            return std::nullopt;
    }
}

std::string featureStatusText(FeaturePage page, const TaskbarSettings& settings,
                              const FeatureEnvironment& environment) {
    switch (page) {
        case FeaturePage::advancedGestures:
            return settings.advancedGestureSwipeDownEnabled ||
                           settings.advancedGestureSwipeLeftEnabled ||
                           settings.advancedGestureSwipeRightEnabled
                       ? "已配置"
                       : "未配置";
        case FeaturePage::hideNotch:
            return onOff(settings.screenTopCornersEnabled || settings.screenBottomCornersEnabled ||
                         settings.hideMenuBarNotch);
        case FeaturePage::multipleDisplays:
            return "已连接 " + std::to_string(environment.connectedScreenCount) + " 台显示器";
        case FeaturePage::general:
            return settings.launchAtLogin ? "开机启动已开启" : "开机启动已关闭";
        case FeaturePage::taskbarIcons: {
            // A stored size that is not a number shows as 0 rather than failing.
            const double size = settings.activeProfile().iconSize;
            return "图标 " + formatWholeNumber(std::isfinite(size) ? size : 0);
        }
        case FeaturePage::taskbarIndicators:
            return "运行与激活状态";
        case FeaturePage::taskbarPreview:
            return settings.enableTaskbarWindowPreview ? "窗口截图" : "轻量标题卡";
        default:
            return onOff(featureEnabledState(page, settings, environment));
    }
}

FeatureSwitchEffect applyFeatureSwitch(FeaturePage page, bool enabled, TaskbarSettings& settings) {
    TaskbarThemeConfiguration& active = settings.activeProfile();
    switch (page) {
        case FeaturePage::taskbar:
            settings.taskbarEnabled = enabled;
            break;
        case FeaturePage::nativeDock:
            settings.nativeDockEnhancementsEnabled = enabled;
            break;
        case FeaturePage::startMenu:
            settings.startMenuEnabled = enabled;
            break;
        case FeaturePage::switcher:
            settings.enableWindowSwitcher = enabled;
            break;
        case FeaturePage::clockCalendar:
            active.showClock = enabled;
            break;
        case FeaturePage::desktopCorner:
            active.enableDesktopCornerShortcut = enabled;
            break;
        case FeaturePage::desktopIcons:
            settings.enableDesktopIconDoubleClickToggle = enabled;
            break;
        case FeaturePage::taskbarWidgets:
            active.showTimeWidgetInTaskbar = enabled;
            break;
        case FeaturePage::nativeDockLauncher:
            settings.enableNativeDockLauncher = enabled;
            break;
        case FeaturePage::hideNativeDock:
            return FeatureSwitchEffect::nativeDockHidden;
        case FeaturePage::newFile:
            return FeatureSwitchEffect::newFileEnabled;
        default:
            return FeatureSwitchEffect::none;
    }
    return FeatureSwitchEffect::settingsChanged;
}

std::string NewFileInstructions::informativeText() {
    return "首次使用必须前往：系统设置-通用-“登录项与扩展-下方扩展”中找到 Tavrel应用，点击右侧的"
           "\"i\""
           "型图标，然后开启“文件提供程序”，开启后右键才能显示新建文件功能。";
}

}  // namespace tavrel
