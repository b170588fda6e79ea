// "窗口切换器": the shortcut, the look, the applications spared by "close all", and the window
// snapshot cache.

#include <algorithm>
#include <cmath>

#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/close_protection_list.h"
#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/feature_pages.h"

namespace tavrel {

namespace {

using Style = WindowSwitcherPresentationStyle;

// A whole-number setting shown on a slider: the slider's value is rounded, then clamped.
Binding<double> wholeNumberSlider(std::string_view key,
                                  std::int64_t (TaskbarSettings::*get)() const,
                                  void (TaskbarSettings::*set)(std::int64_t), SliderRange range) {
    return {{settingsKey(key)},
            [get](const TaskbarSettings& s) { return static_cast<double>((s.*get)()); },
            [set, range](TaskbarSettings& s, const double& value) {
                const double whole = std::clamp(roundHalfAwayFromZero(value), range.min, range.max);
                (s.*set)(static_cast<std::int64_t>(whole));
            }};
}

void addCloseProtection(PageRows& rows) {
    SettingsPageHost& host = rows.host();
    rows.section("关闭保护白名单");
    rows.form().addInfoBlock("白名单说明",
                             "添加到此处的应用，会在“关闭全部窗口”和“关闭全部应用”操作中被跳过。"
                             "单独右键关闭某个应用或窗口时不受此白名单限制。");
    addCloseProtectionList(
        rows.form(), rows.settings().closeProtectionApps, host.pageState().closeProtectionSelection,
        [&host](const std::optional<CloseProtectionApp>& app) {
            host.pageState().closeProtectionSelection = app;
        },
        [&host] { addCloseProtectionApp(host); },
        [&host](const CloseProtectionApp& app) {
            removeCloseProtectionApp(host.settings().closeProtectionApps, app);
            host.pageState().closeProtectionSelection.reset();
            host.applyLiveChange(true);
        });
}

}  // namespace

std::shared_ptr<FormContent> makeWindowSwitcherSettingsView(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);
    form->addCustomView(permissionBanner(PermissionKind::screenRecording,
                                         PermissionBannerText::screenRecordingSwitcher));

    rows.section("快捷键");
    rows.toggle("启用窗口切换器",
                "开启后可用所选修饰键加 Tab "
                "在窗口之间切换；这个功能和样式不会随任务栏主题切换而改变。",
                bindSetting(&TaskbarSettings::enableWindowSwitcher));
    rows.segment(
        "快捷键组合", "选择使用 Option+Tab 或 Command+Tab 打开窗口切换器。",
        bindSetting("windowSwitcherModifierKey", &TaskbarSettings::windowSwitcherModifierKey,
                    &TaskbarSettings::setWindowSwitcherModifierKey),
        {{"Option", 0}, {"Command", 1}});

    rows.section("样式");
    // Only two of the three looks are offered; any other stored look shows as the first.
    rows.segment("切换器样式",
                 "选择切换器的展示方式：窗口快照显示窗口缩略图与窗口名称；MAC "
                 "原生仅显示应用图标，选中时才显示窗口名称。",
                 bindSetting(&TaskbarSettings::windowSwitcherPresentationStyle),
                 {{"窗口快照", Style::tiled}, {"MAC 原生", Style::nativeIcons}}, OnChange::rebuild);

    addCloseProtection(rows);

    rows.section("截图缓存");
    rows.slider("截图刷新间隔", "设置窗口预览截图的自动刷新间隔，数值越大越省电。",
                bindSetting("previewSnapshotInterval", &TaskbarSettings::previewSnapshotInterval,
                            &TaskbarSettings::setPreviewSnapshotInterval),
                {0.3, 60});
    rows.slider(
        "截图清晰度", "设置窗口预览截图的最大像素宽度，数值越大越清晰但更耗资源。",
        bindSetting("previewSnapshotMaxPixelWidth", &TaskbarSettings::previewSnapshotMaxPixelWidth,
                    &TaskbarSettings::setPreviewSnapshotMaxPixelWidth),
        {100, 1000});
    rows.slider(
        "缓存数量上限", "设置最多保留多少张窗口预览截图缓存。",
        wholeNumberSlider("previewSnapshotCacheLimit", &TaskbarSettings::previewSnapshotCacheLimit,
                          &TaskbarSettings::setPreviewSnapshotCacheLimit, {10, 100}),
        {10, 100});
    return form;
}

}  // namespace tavrel
