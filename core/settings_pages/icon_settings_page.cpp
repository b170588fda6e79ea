// "图标": size, spacing, shape, hover effects and window titles of the taskbar icons, and the
// applications kept off the taskbar.

#include <algorithm>

#include "core/settings/settings_normalization.h"
#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/list_rows.h"
#include "core/settings_pages/taskbar_subpages.h"

namespace tavrel {

namespace {

using C = TaskbarThemeConfiguration;

// The exclusion list: one row per entry in stored order, each restoring its own entry.
void addExcludedApplications(PageRows& rows) {
    SettingsPageHost& host = rows.host();
    rows.section("不在任务栏显示的应用");
    const auto& applications = rows.settings().taskbarExcludedApplications;
    if (applications.empty()) rows.text("暂无排除的应用");
    for (const TaskbarExcludedApplication& application : applications) {
        addExcludedApplication(rows.form(), application, [&host, application] {
            // Saved and rebuilt even when the entry went away meanwhile.
            removeExcludedApplication(host.settings().taskbarExcludedApplications, application);
            host.storePageScrollOrigin();
            host.notifyChange();
            host.rebuildContentViewBody();
        });
    }
}

}  // namespace

std::shared_ptr<FormContent> makeIconSettingsView(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);
    const TaskbarTheme theme = rows.shownTheme();
    const C& record = rows.record();

    rows.section("图标");
    rows.toggle("多个窗口多个图标", "当应用存在多个窗口时在任务栏显示多个图标",
                inverted(rows.theme(&C::mergeAppWindowsInPreview)));
    rows.toggle("显示黑色分割线", "显示可调整任务栏整体大小并提供快捷菜单的分割线。",
                rows.theme(&C::showTaskbarSeparator));
    rows.slider("图标大小", "设置任务栏按钮内应用图标的尺寸，会受任务栏高度上限约束。",
                rows.theme(&C::iconSize).stored([theme](const TaskbarSettings& s, double size) {
                    return std::min(size, s.profile(theme).taskbarHeight - 8);
                }),
                {18, 82});
    rows.slider("图标间距", "调整相邻任务栏图标之间的距离。", rows.theme(&C::taskbarItemGap),
                {0, 24});
    rows.toggle("圆形图标", "按图标可见内容的 80% 直径裁成圆形，圆形以外部分裁掉。",
                bindSetting(&TaskbarSettings::taskbarCircularIcons));

    rows.section("悬停放大");
    rows.toggle("启用原生 Dock 放大", "鼠标经过任务栏时连续放大附近图标，并同步伸缩任务栏背景。",
                rows.theme(&C::enableIconMagnification)
                    .then({themeKey(&C::iconMagnificationAmount)},
                          [theme](TaskbarSettings& s, bool on) {
                              // Never set before: switching on starts at full magnification.
                              C& shown = s.profile(theme);
                              if (on && shown.iconMagnificationAmount <= 0) {
                                  shown.iconMagnificationAmount = 100;
                              }
                          }),
                OnChange::rebuild);
    if (record.enableIconMagnification) {
        rows.slider("放大幅度", "调整鼠标所在位置的最大放大比例。",
                    rows.theme(&C::iconMagnificationAmount)
                        .shown([](double amount) { return amount <= 0 ? 100 : amount; })
                        .stored([](const TaskbarSettings&, double amount) {
                            return SettingsNormalization::magnificationAmount(amount);
                        }),
                    {20, 100});
    }
    rows.segment("已启动图标点击动画", "点击已打开应用图标时的反馈动画。",
                 rows.theme(&C::runningIconClickAnimation), {{"关闭", 0}, {"点击缩放", 1}});
    rows.slider("按下变暗强度", "控制点击按钮时图标压暗反馈的强度。",
                rows.theme(&C::pressedIconDarkness), {0, 100});

    rows.section("悬停外框");
    rows.toggle("显示悬停外框", "鼠标移到任务栏图标上时，在图标周围显示外框提示。",
                rows.theme(&C::enableHoverOutline));
    rows.color("悬停外框颜色", "设置任务栏图标悬停外框的颜色和透明度。",
               rows.theme(&C::hoverOutlineColor));
    rows.slider(
        "悬停外框宽度",
        "设置图标悬停外框范围，0 表示正好和图标一样宽，负数小于图标范围，正数大于图标范围。",
        rows.theme(&C::hoverOutlineInset), {-12, 15});

    if (theme == TaskbarTheme::windows) {
        rows.section("多窗口标题");
        rows.toggle("显示窗口标题",
                    "同一应用有多个窗口且未合并展示时，在任务栏图标旁显示对应窗口标题。",
                    rows.theme(&C::enableWindowTitles), OnChange::rebuild);
        if (record.enableWindowTitles) {
            rows.slider("标题字号", "设置任务栏窗口标题文字大小。",
                        rows.theme(&C::windowTitleFontSize), {9, 18});
            rows.slider("标题背景宽度", "设置包含图标和窗口标题的背景区域宽度。",
                        rows.theme(&C::windowTitleBackgroundWidth), {64, 220});
            rows.slider("标题背景圆角", "设置窗口标题背景区域的圆角大小。",
                        rows.theme(&C::windowTitleBackgroundCornerRadius), {0, 28});
        }
    }

    addExcludedApplications(rows);
    return form;
}

}  // namespace tavrel
