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

constexpr std::array<std::string_view, 5> kSubpageLabels{"外观与位置", "图标", "标识", "预览窗口",
                                                         "小组件"};

}  // namespace

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
