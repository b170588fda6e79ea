#pragma once

// The sub-pages of the taskbar page after "外观与位置": "图标", "标识", "预览窗口" and "小组件".
// Each is also a feature page of its own (the page registry). Theme-scoped rows edit the record
// of the theme the page shows.

#include <memory>

#include "core/form/form_content.h"
#include "core/settings_pages/settings_page_host.h"

namespace tavrel {

std::shared_ptr<FormContent> makeIconSettingsView(SettingsPageHost& host);
std::shared_ptr<FormContent> makeIndicatorSettingsView(SettingsPageHost& host);
std::shared_ptr<FormContent> makePreviewSettingsView(SettingsPageHost& host);
std::shared_ptr<FormContent> makeTaskbarWidgetsSettingsView(SettingsPageHost& host);

// "预览窗口大小": the stored factor shows as percent (below 0.3 as 30, else at most 200, in
// steps of 5); a percent stores as a factor within 0.3…2.
double taskbarPreviewScalePercent(double storedScale);
double taskbarPreviewScaleFromPercent(double percent);

}  // namespace tavrel
