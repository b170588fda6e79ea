// "右下角隐藏所有窗口": the screen corner that hides the visible windows.

#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/feature_pages.h"

namespace tavrel {

std::shared_ptr<FormContent> makeDesktopCornerSettingsView(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);
    rows.section("右下角显示桌面");
    rows.toggle("启用右下角隐藏所有窗口", "点击屏幕右下角热区时，隐藏当前可见窗口，快速回到桌面。",
                rows.theme(&TaskbarThemeConfiguration::enableDesktopCornerShortcut));
    form->addInfoBlock("隐藏策略",
                       "普通应用会优先走应用级隐藏；特殊窗口会使用最小化方式处理，"
                       "避免破坏现有窗口恢复逻辑。");
    return form;
}

}  // namespace tavrel
