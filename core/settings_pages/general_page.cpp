// "通用设置": the application-wide switches, the running version with its update check, and two
// commands to the running taskbar application. The settings application only stores the
// start-up and menu bar switches; the taskbar application acts on them.

#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/feature_pages.h"

namespace tavrel {

std::shared_ptr<FormContent> makeGeneralSettingsView(SettingsPageHost& host) {
    using C = TaskbarThemeConfiguration;
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);

    rows.section("启动");
    rows.toggle("开机自动启动", "登录 macOS 后自动启动 Tavrel。",
                bindSetting(&TaskbarSettings::launchAtLogin));
    rows.toggle(
        "显示菜单栏图标",
        "关闭后隐藏右上角菜单栏中的 Tavrel 图标，仍可通过任务栏应用启动台或重启应用打开设置。",
        bindSetting(&TaskbarSettings::showMenuBarIcon));

    rows.section("版本说明");
    // The checker serves the whole process; a check it is already running ignores the press.
    AppUpdateCheck& updates = host.services().updateCheck();
    form->addVersionCheck(updates.currentVersion(), [&updates] { updates.check(); });

    rows.section("任务栏");
    rows.toggle("自动隐藏任务栏",
                "开启后任务栏会像系统 Dock 一样自动隐藏，鼠标移到屏幕底部时显示。",
                rows.theme(&C::autoHideTaskbar));
    // Commands, not settings: nothing is written and the page stays as it is.
    form->addButton("退出应用", "立即退出 Tavrel。", std::nullopt,
                    [&host] { host.taskbarCommands().closeTaskbar(); });
    form->addButton("重启任务栏", "重新创建任务栏和相关浮窗。", std::nullopt,
                    [&host] { host.taskbarCommands().restartTaskbar(); });
    return form;
}

}  // namespace tavrel
