// "标识": the running and active indicators under the taskbar icons. Every row only writes its
// key; the switches do not hide the rows below them.

#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/taskbar_subpages.h"

namespace tavrel {

std::shared_ptr<FormContent> makeIndicatorSettingsView(SettingsPageHost& host) {
    using C = TaskbarThemeConfiguration;
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);

    rows.section("运行窗口小横点");
    rows.toggle("显示运行指示条", "关闭后，不显示应用正在运行但未激活时的小横点。",
                bindSetting(&TaskbarSettings::taskbarRunningIndicatorEnabled));
    rows.slider("长度", "设置未激活但正在运行的窗口指示点长度。",
                rows.theme(&C::runningIndicatorWidth), {3, 18});
    rows.slider("高度", "设置运行状态指示点高度。", rows.theme(&C::runningIndicatorHeight), {2, 8});
    rows.slider("距外侧边框", "设置运行状态指示点距离任务栏所在屏幕边缘一侧的距离，0 表示贴边。",
                rows.theme(&C::runningIndicatorIconGap), {0, 200});
    rows.color("浅色系统下的颜色", "设置系统使用浅色外观时的运行指示条颜色。",
               rows.theme(&C::runningIndicatorColor));
    rows.color("深色系统下的颜色", "设置系统使用深色外观时的运行指示条颜色。",
               rows.theme(&C::runningIndicatorDarkColor));

    rows.section("激活窗口小横条");
    rows.toggle("显示激活指示条", "关闭后，不显示当前激活窗口对应的指示条。",
                bindSetting(&TaskbarSettings::taskbarActiveIndicatorEnabled));
    rows.slider("长度", "设置当前焦点窗口的激活指示条长度。", rows.theme(&C::activeIndicatorWidth),
                {8, 42});
    rows.slider("高度", "设置激活指示条高度。", rows.theme(&C::activeIndicatorHeight), {2, 8});
    rows.slider("距外侧边框", "设置激活指示条距离任务栏所在屏幕边缘一侧的距离，0 表示贴边。",
                rows.theme(&C::activeIndicatorIconGap), {0, 200});
    rows.color("浅色系统下的颜色", "设置系统使用浅色外观时的激活指示条颜色。",
               rows.theme(&C::activeIndicatorColor));
    rows.color("深色系统下的颜色", "设置系统使用深色外观时的激活指示条颜色。",
               rows.theme(&C::activeIndicatorDarkColor));
    return form;
}

}  // namespace tavrel
