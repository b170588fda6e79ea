// "双击隐藏桌面文件": keeping desktop files hidden, and hiding them by a double click. The two
// switches exclude each other: while the files stay hidden, a double click cannot show them.

#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/feature_pages.h"

namespace tavrel {

namespace {

platform::ModalAlert alwaysHideConfirmation() {
    platform::ModalAlert alert;
    alert.message = "一直隐藏桌面文件";
    alert.informativeText = "开启后桌面内容将隐藏，关闭开关后可恢复显示，请确认";
    alert.buttons = {"确认", "取消"};
    return alert;
}

}  // namespace

std::shared_ptr<FormContent> makeDesktopIconSettingsView(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    const TaskbarSettings& s = host.settings();

    form->addSection("桌面文件显示");
    FormRow& alwaysHide = form->addSwitch(
        "一直隐藏桌面文件", "开启后桌面文件保持隐藏，双击空白区域也不会恢复；关闭开关后恢复显示。",
        s.alwaysHideDesktopFiles, [&host](bool on) {
            if (on &&
                !host.services().dialogs().runModal(alwaysHideConfirmation()).isFirstButton()) {
                // Declined: the switch goes back to off, nothing is stored.
                host.storePageScrollOrigin();
                host.rebuildContentViewBody();
                return;
            }
            host.settings().alwaysHideDesktopFiles = on;
            if (on) host.settings().enableDesktopIconDoubleClickToggle = false;
            host.applyLiveChange(true);
        });
    alwaysHide.keys = {settingsKey(&TaskbarSettings::alwaysHideDesktopFiles),
                       settingsKey(&TaskbarSettings::enableDesktopIconDoubleClickToggle)};

    FormRow& doubleClick = form->addSwitch(
        "双击隐藏桌面文件",
        "使用任务栏时，双击任务栏的空白区或任务栏两侧的空白区；任务栏关闭、使用原生 Dock "
        "时，双击原生 Dock 两侧的空白区，即可隐藏或恢复桌面文件。",
        s.enableDesktopIconDoubleClickToggle, [&host](bool on) {
            if (on && host.settings().alwaysHideDesktopFiles) {
                // The files stay hidden: the switch goes back to off.
                host.storePageScrollOrigin();
                host.rebuildContentViewBody();
                return;
            }
            host.settings().enableDesktopIconDoubleClickToggle = on;
            host.applyLiveChange(false);
        });
    doubleClick.keys = {settingsKey(&TaskbarSettings::enableDesktopIconDoubleClickToggle)};

    form->addInfoBlock(
        "触发区域",
        "1、使用任务栏时，双击任务栏的空白区或任务栏两侧的空白区即可隐藏桌面文件。\n"
        "2、任务栏关闭、使用原生 Dock 时，双击原生 Dock 两侧的空白区即可隐藏桌面文件。\n"
        "3、开启“一直隐藏桌面文件”后，双击不再恢复显示。\n"
        "点击任务栏图标、预览窗口或其他 Tavrel 控件时不会触发。");
    form->addInfoBlock("系统限制",
                       "该能力依赖 Finder 桌面显示状态。切换后 Tavrel "
                       "会尽量保持任务栏刷新稳定，避免误把桌面窗口识别为普通应用窗口。");
    return form;
}

}  // namespace tavrel
