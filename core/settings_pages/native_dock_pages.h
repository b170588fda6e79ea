#pragma once

// The two native Dock pages: "隐藏原生 Dock" (one switch that hides or restores the native Dock,
// and the Mission Control option) and "原生 Dock 增强" with its tab row and four tabs: window
// previews and indicator bars, the folders of the "应用分组" tab, the Dock widget tiles, and
// minimise-on-click. The pages only edit settings and the folder file; the taskbar application
// reads both and applies them.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/form/form_content.h"
#include "core/settings/settings_enumerations.h"
#include "core/settings_pages/settings_page_host.h"

namespace tavrel {

// A tab index as the page shows it: outside 0–3 means the first tab.
int normalizedNativeDockSettingsTab(int tab);

struct NativeDockPageTexts {
    static constexpr std::string_view previewTab = "窗口预览";
    static constexpr std::string_view groupingTab = "应用分组";
    static constexpr std::string_view widgetTab = "小组件";
    static constexpr std::string_view minimizeTab = "应用最小化";
    static constexpr int tabCount = 4;

    static constexpr std::string_view hideTitle = "隐藏原生dock";
    static constexpr std::string_view wallpaperMaskTitle = "调度中心隐藏原生dock";
    static constexpr std::string_view masterSwitchTitle = "启用原生 Dock 增强";
    static constexpr std::string_view previewScaleTitle = "预览窗口大小";
    static constexpr std::string_view previewStyleTitle = "预览样式";
    static constexpr std::string_view standardStyle = "标准";
    static constexpr std::string_view compactStyle = "简洁";
};

// The preview scale is stored as a factor (0.3–2.0) and edited as a percentage (30–200, step
// 5). A stored factor outside the range shows clamped.
double nativeDockPreviewScalePercent(double storedFactor);
double nativeDockPreviewScaleFromPercent(double percent);

// A folder row: the folder's name as title, the application count as help text, then the
// show-in-Dock switch (42 wide, with its tooltip), the "重命名" button (70 × 30) and the trash
// button (34 × 30, tooltip "删除文件夹").
FormRow& addNativeDockFolderRow(FormContent& form, std::string title, std::string detail,
                                bool isEnabled, std::function<void(bool)> onToggle,
                                std::function<void()> onRename, std::function<void()> onDelete);

// FeaturePage::hideNativeDock.
std::shared_ptr<FormContent> makeNativeDockVisibilitySettingsView(SettingsPageHost& host);

// FeaturePage::nativeDock: the tab row, then the selected tab's form.
std::shared_ptr<FormContent> makeNativeDockSettingsView(SettingsPageHost& host);
// Tab 0: the screen-recording banner, the master switch, indicator bars and previews.
std::shared_ptr<FormContent> makeNativeDockWindowPreviewSettingsView(SettingsPageHost& host);
// Tab 1: the folder drop area, "新建文件夹" and one row per folder of a fresh read of the file.
std::shared_ptr<FormContent> makeNativeDockApplicationGroupingView(SettingsPageHost& host);
// Tab 2: the Dock's time and memory tiles and the music widget block.
std::shared_ptr<FormContent> makeNativeDockWidgetSettingsView(SettingsPageHost& host);
// Tab 3: minimise on click.
std::shared_ptr<FormContent> makeNativeDockMinimizeSettingsView(SettingsPageHost& host);

}  // namespace tavrel
