// "屏幕圆角": black rounded screen corners, the hidden notch and their radius, under a live
// picture of a screen with them. The radius slider redraws the pictures as it moves; the page
// is not rebuilt for it.

#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/feature_pages.h"

namespace tavrel {

std::shared_ptr<FormContent> makeScreenCornersSettingsView(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);
    form->addCustomView(screenCornersPreview(/*compact=*/false));

    rows.section("屏幕圆角");
    rows.toggle("顶部屏幕圆角", "在屏幕顶边、菜单栏左右两端显示黑色连续圆角，多块屏幕同时生效。",
                bindSetting(&TaskbarSettings::screenTopCornersEnabled), OnChange::rebuild);
    rows.toggle("底部屏幕圆角", "在屏幕底边左右两端显示黑色连续圆角，多块屏幕同时生效。",
                bindSetting(&TaskbarSettings::screenBottomCornersEnabled), OnChange::rebuild);
    rows.toggle("隐藏屏幕刘海", "独立将菜单栏背景变为黑色，并在黑色区域下沿两端添加圆角。",
                bindSetting(&TaskbarSettings::hideMenuBarNotch), OnChange::rebuild);
    // A live change: the window shows every preview of the page the new value as it is stored.
    rows.slider("圆角半径", "同时调整屏幕四角和刘海遮罩的圆角半径，默认 19。",
                bindSetting(&TaskbarSettings::hideNotchCornerRadius), {0, 80, 1});
    return form;
}

}  // namespace tavrel
