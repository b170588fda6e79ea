// "高级手势": four-finger pinch, tap and swipes. Two rows each stand for a pair of keys.

#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/feature_pages.h"

namespace tavrel {

namespace {

using SwipeDown = AdvancedGestureSwipeDownAction;

// One switch over two keys: shown on when `either` (one of them is on) or else only when both
// are; a change writes the new state to both.
Binding<bool> bothKeys(bool TaskbarSettings::*first, bool TaskbarSettings::*second, bool either) {
    return {{settingsKey(first), settingsKey(second)},
            [first, second, either](const TaskbarSettings& s) {
                return either ? (s.*first || s.*second) : (s.*first && s.*second);
            },
            [first, second](TaskbarSettings& s, const bool& on) {
                s.*first = on;
                s.*second = on;
            }};
}

}  // namespace

std::shared_ptr<FormContent> makeAdvancedGesturesSettingsView(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);

    rows.section("四指捏合");
    rows.toggle("四指捏合打开启动台",
                "开启后可用四指捏合打开/隐藏应用启动台；需先开启应用启动台总开关才生效。",
                bothKeys(&TaskbarSettings::startMenuGestureEnabled,
                         &TaskbarSettings::nativeDockLauncherGestureEnabled, /*either=*/true));

    rows.section("四指轻点");
    rows.toggle("四指轻点打开窗口切换器", "四指轻点时，直接打开窗口切换器。",
                bindSetting(&TaskbarSettings::advancedGestureFourFingerTapEnabled));

    rows.section("四指下滑");
    rows.toggle("启用四指下滑", "识别到四指下滑后，执行你设置的窗口最小化动作。",
                bindSetting(&TaskbarSettings::advancedGestureSwipeDownEnabled));
    rows.segment("触发动作", "选择最小化当前窗口、当前桌面可见窗口，或当前窗口外其他窗口。",
                 bindSetting(&TaskbarSettings::advancedGestureSwipeDownAction),
                 {{"最小化当前窗口", SwipeDown::minimizeCurrentWindow},
                  {"最小化所有窗口", SwipeDown::minimizeAllWindows},
                  {"最小化其他窗口", SwipeDown::minimizeOtherWindows}});

    rows.section("四指左右滑");
    rows.toggle("左右滑切换已开启应用",
                "开启后，四指左滑切到任务栏或原生 Dock "
                "视觉左侧最近的已开启应用/窗口，四指右滑切到右侧；不会循环，未启动应用会跳过。",
                bothKeys(&TaskbarSettings::advancedGestureSwipeLeftEnabled,
                         &TaskbarSettings::advancedGestureSwipeRightEnabled, /*either=*/false));
    form->addInfoBlock("使用说明",
                       "四指左右滑只会在当前电脑仅有一个桌面空间时接管，用于按 Tavrel "
                       "任务栏或原生 Dock "
                       "的视觉顺序切换已开启应用；如果存在多个桌面空间，会自动放行给 macOS "
                       "原生左右滑切换桌面逻辑。切到分组图标时会激活该应用最近使用窗口。");
    return form;
}

}  // namespace tavrel
