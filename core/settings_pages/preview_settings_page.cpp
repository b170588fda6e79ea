// "预览窗口": the window previews the taskbar shows over its icons. Window screenshots need the
// screen-recording permission, so the page starts with its banner. No row rebuilds the page;
// turning previews off does not disable the other rows.

#include "core/form/slider_rule.h"
#include "core/settings/settings_normalization.h"
#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/taskbar_subpages.h"

namespace tavrel {

double taskbarPreviewScalePercent(double storedScale) {
    const double percent = storedScale < 0.3 ? 30 : std::min(storedScale, 2.0) * 100;
    return normalizeSliderValue(percent, SliderRange{30, 200, 5});
}

double taskbarPreviewScaleFromPercent(double percent) {
    return SettingsNormalization::clamp(percent / 100, 0.3, 2.0);
}

std::shared_ptr<FormContent> makePreviewSettingsView(SettingsPageHost& host) {
    using C = TaskbarThemeConfiguration;
    auto form = std::make_shared<FormContent>();
    form->addCustomView(permissionBanner(PermissionKind::screenRecording,
                                         PermissionBannerText::screenRecordingPreview));
    PageRows rows(*form, host);
    const auto cornerRadius = [](const TaskbarSettings&, double radius) {
        return SettingsNormalization::clamp(radius, 0.0, 100.0);
    };

    rows.section("预览窗口");
    rows.toggle("显示窗口预览", "关闭后不显示窗口截图，任务栏上的所有应用改为显示轻量标题卡。",
                bindSetting(&TaskbarSettings::enableTaskbarWindowPreview));
    rows.segment(
        "预览样式",
        "标准样式显示窗口截图；简洁样式仅显示标题和关闭按钮。无录制权限时自动回退为简洁样式。",
        bindSetting(&TaskbarSettings::taskbarPreviewStyle),
        {{"标准", WindowPreviewStyle::standard}, {"简洁", WindowPreviewStyle::compact}});
    rows.toggle("仅多窗口应用显示预览",
                "开启后，只有包含两个及以上窗口的应用显示窗口预览；单窗口应用仅显示标题卡。",
                bindSetting(&TaskbarSettings::taskbarPreviewOnlyForMultiWindowApps));
    rows.toggle("悬停展示窗口", "鼠标移入预览卡片时临时展示对应窗口，移开后恢复原来的窗口状态。",
                bindSetting(&TaskbarSettings::enablePreviewHoverWindowReveal));
    rows.slider("预览窗口大小",
                "按百分比整体缩放任务栏窗口预览，截图、文字、按钮、背景与圆角同步等比缩放。",
                rows.theme(&C::previewScale)
                    .shown(taskbarPreviewScalePercent)
                    .stored([](const TaskbarSettings&, double percent) {
                        return taskbarPreviewScaleFromPercent(percent);
                    }),
                {30, 200, 5}, OnChange::live, formatPercent);
    rows.slider("触发延迟", "设置鼠标移入任务栏图标后显示预览窗口的延迟，单位毫秒。",
                bindSetting(&TaskbarSettings::taskbarPreviewHoverDelayMilliseconds), {0, 100});
    rows.slider("距任务栏", "设置鼠标悬停预览面板与任务栏之间的距离。",
                rows.theme(&C::previewTaskbarGap), {0, 200});
    rows.slider("玻璃通透度", "调整预览卡片玻璃背景的通透程度。",
                rows.theme(&C::previewGlassTransparency), {0, 1});
    rows.slider("预览窗口圆角", "调整任务栏预览卡片的圆角大小。",
                rows.theme(&C::previewCornerRadius).stored(cornerRadius), {0, 100});
    rows.slider("窗口截图圆角", "调整任务栏预览中窗口截图本身的圆角大小。",
                rows.theme(&C::previewThumbnailCornerRadius).stored(cornerRadius), {0, 100});

    rows.section("边框");
    rows.slider("边框宽度", "设置预览卡片默认边框宽度。", rows.theme(&C::previewBorderWidth),
                {0, 4});
    rows.color("边框颜色", "设置预览卡片默认边框颜色。", rows.theme(&C::previewBorderColor));
    return form;
}

}  // namespace tavrel
