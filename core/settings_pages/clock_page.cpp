// "时间日历": the detached time and date panel. Its gaps and colours are kept twice per theme, for
// the bottom and the top of the screen; the rows edit the pair member of the position shown, and
// changing the position rebuilds the page so that they follow.

#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/feature_pages.h"

namespace tavrel {

std::shared_ptr<FormContent> makeClockCalendarSettingsView(SettingsPageHost& host) {
    using C = TaskbarThemeConfiguration;
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);
    const bool top = rows.record().clockScreenPosition == 1;

    rows.section("时间日历");
    rows.toggle("显示时间日期", "显示独立的时间日期面板，点击可打开日历。",
                rows.theme(&C::showClock));
    rows.segment("显示内容", "选择右下角独立面板显示时间、日期星期，或一起显示。",
                 rows.theme(&C::clockDisplayMode), {{"时间", 0}, {"日期星期", 1}, {"全部", 2}});
    rows.segment("排列方式", "选择时间和日期同时显示时，是一行还是两行。",
                 rows.theme(&C::clockLineLayout), {{"两行", 0}, {"一行", 1}});
    rows.segment("显示位置", "选择时间日期面板显示在屏幕底部，还是屏幕顶部右侧。",
                 rows.theme(&C::clockScreenPosition), {{"底部", 0}, {"顶部", 1}},
                 OnChange::rebuild);
    rows.color("时间颜色", "设置独立时间日期面板中的时间文字颜色。",
               rows.theme(top ? &C::topClockTimeColor : &C::clockTimeColor));
    rows.color("日期颜色", "设置独立时间日期面板中的日期文字颜色。",
               rows.theme(top ? &C::topClockDateColor : &C::clockDateColor));
    if (top) {
        rows.slider("时间距屏幕顶部", "调节独立时间日期面板距离屏幕顶部的距离。",
                    rows.theme(&C::topDetachedClockBottomGap), {0, 200});
    } else {
        rows.slider("时间距屏幕底部", "调节独立时间日期面板距离屏幕底部的距离。",
                    rows.theme(&C::detachedClockBottomGap), {0, 200});
    }
    rows.slider("时间距屏幕右侧", "调节独立时间日期面板距离屏幕右侧的距离。",
                rows.theme(top ? &C::topDetachedClockRightGap : &C::detachedClockRightGap),
                {0, 200});
    form->addInfoBlock("主题独立",
                       "这些参数继续跟随当前任务栏主题保存。切换 Windows "
                       "或液态玻璃主题后，会读取对应主题下的时间日历配置。");
    return form;
}

}  // namespace tavrel
