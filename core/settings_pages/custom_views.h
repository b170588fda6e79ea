#pragma once

// The views a page asks the window to build (FormContent custom views), by kind.

#include <any>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/form/form_content.h"
#include "core/settings/settings_enumerations.h"
#include "core/settings_pages/feature_page.h"

namespace tavrel {

enum class PermissionKind { screenRecording, accessibility };

// An orange banner shown while the taskbar application answers that a permission is missing.
struct PermissionBannerSpec {
    static constexpr std::string_view kind = "permissionBanner";
    PermissionKind permission = PermissionKind::accessibility;
    std::string message;
};

inline CustomViewSpec permissionBanner(PermissionKind permission, std::string_view message) {
    return CustomViewSpec{std::string(PermissionBannerSpec::kind),
                          PermissionBannerSpec{permission, std::string(message)}};
}

// The card above every page but the taskbar page: symbol, title, summary and mini preview.
struct FeatureHeaderCardSpec {
    static constexpr std::string_view kind = "featureHeaderCard";
    FeaturePage page = FeaturePage::taskbar;
};

// The top of the taskbar page: the appearance row, the theme picker and the sub-page control.
struct TaskbarSelectorBlockSpec {
    static constexpr std::string_view kind = "taskbarSelectorBlock";

    static constexpr std::string_view appearanceTitle = "外观";
    std::vector<std::string> appearanceLabels;
    int appearanceSelected = 0;
    std::function<void(int)> onAppearanceSelected;

    TaskbarTheme theme = TaskbarTheme::windows;
    // True when the choice was taken (a different theme); the picker then shows it.
    std::function<bool(TaskbarTheme)> onThemeSelected;

    std::vector<std::string> subpageLabels;
    int subpageSelected = 0;
    std::function<void(int)> onSubpageSelected;
};

// Where a permission's privacy settings are opened on macOS; the Linux layer maps each to the
// desktop's own settings where it has them.
struct PrivacyPaneAddress {
    static constexpr std::string_view screenRecording =
        "x-apple.systempreferences:com.apple.preference.security?Privacy_ScreenCapture";
    static constexpr std::string_view accessibility =
        "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
};

struct PermissionBannerText {
    static constexpr std::string_view accessibility =
        "未开启辅助功能权限，Tavrel "
        "的窗口管理、任务栏交互等功能可能无法正常工作。点击此处可直接打开系统权限设置。";
    static constexpr std::string_view screenRecordingPreview =
        "未开启屏幕录制权限时自动使用简洁预览；开启权限后可显示窗口截图。";
    static constexpr std::string_view screenRecordingSwitcher =
        "若要使用窗口快照样式的窗口切换器，请点击此处开启屏幕录制权限";
    static constexpr std::string_view openButton = "打开权限设置";
};

}  // namespace tavrel

namespace tavrel {

// The drawn screen of the screen-corner page, showing the panel copy's corner settings: compact
// in the page's header card, detailed (with its caption and status line) at the top of the page.
struct ScreenCornersPreviewSpec {
    static constexpr std::string_view kind = "screenCornersPreview";
    static constexpr double detailedHeight = 210;
    bool compact = false;
};

inline CustomViewSpec screenCornersPreview(bool compact) {
    return CustomViewSpec{std::string(ScreenCornersPreviewSpec::kind),
                          ScreenCornersPreviewSpec{compact}};
}

}  // namespace tavrel
