#pragma once

// The taskbar page: the theme, appearance and sub-page selector, and the "外观与位置" sub-page.
// Theme-scoped rows read and write the configuration of the theme the page shows (the theme
// current when it was built); writing never changes the theme itself.

#include <memory>

#include "core/form/form_content.h"
#include "core/settings/taskbar_settings.h"
#include "core/settings_pages/settings_page_host.h"

namespace tavrel {

// Which rows of "外观与位置" show for the current settings.
struct TaskbarRowVisibility {
    bool backgroundStyle = false;      // "背景样式"
    bool shelfMaterial = false;        // "背景材质"
    bool liquidGlassMaterial = false;  // "任务栏背景材质"
    bool frostedOpacity = false;       // "磨砂液态玻璃透明度"
    bool clearOpacity = false;         // "通透液态玻璃透明度"
    bool windowsOpacity = false;       // "任务栏透明度"
    bool cornerRadius = false;         // "背景圆角"
    bool leftInset = false;            // "距离左侧边缘距离"
    friend bool operator==(const TaskbarRowVisibility&, const TaskbarRowVisibility&) = default;
};

TaskbarRowVisibility taskbarRowVisibility(const TaskbarSettings& settings);

// The edge-distance question asked before "距屏幕边缘" goes above 10.
platform::ModalAlert edgeDistanceConfirmation();

// The stored length ratio is a fraction of the screen edge; the slider shows percent.
double taskbarWidthRatioPercent(double storedRatio);
double taskbarWidthRatioFromPercent(double percent);

// The selector block above the sub-page.
std::shared_ptr<FormContent> makeTaskbarThemeAndSubpageSelector(SettingsPageHost& host);

// "外观与位置".
std::shared_ptr<FormContent> makeTaskbarSettingsView(SettingsPageHost& host);

// The selector block, then the form of the selected sub-page.
std::shared_ptr<FormContent> makeTaskbarCompositeSettingsView(SettingsPageHost& host);

}  // namespace tavrel
