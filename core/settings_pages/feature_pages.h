#pragma once

// The builders of the feature pages of the page registry beyond the taskbar, native Dock and New
// File pages, one file each.

#include <memory>

#include "core/form/form_content.h"
#include "core/settings_pages/settings_page_host.h"

namespace tavrel {

// 应用启动台 and its native Dock copy (the same builder; the page shown decides).
std::shared_ptr<FormContent> makeStartMenuSettingsView(SettingsPageHost& host);
// 时间日历.
std::shared_ptr<FormContent> makeClockCalendarSettingsView(SettingsPageHost& host);
// 窗口切换器.
std::shared_ptr<FormContent> makeWindowSwitcherSettingsView(SettingsPageHost& host);
// 高级手势.
std::shared_ptr<FormContent> makeAdvancedGesturesSettingsView(SettingsPageHost& host);
// 右下角隐藏所有窗口.
std::shared_ptr<FormContent> makeDesktopCornerSettingsView(SettingsPageHost& host);
// 双击隐藏桌面文件.
std::shared_ptr<FormContent> makeDesktopIconSettingsView(SettingsPageHost& host);
// 屏幕圆角.
std::shared_ptr<FormContent> makeScreenCornersSettingsView(SettingsPageHost& host);
// 多显示器配置.
std::shared_ptr<FormContent> makeMultipleDisplaySettingsView(SettingsPageHost& host);
// 通用设置.
std::shared_ptr<FormContent> makeGeneralSettingsView(SettingsPageHost& host);

}  // namespace tavrel
