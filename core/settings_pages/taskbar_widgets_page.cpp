// "小组件": the trash entry, the application storage boxes, folder behaviour, the time and memory
// widgets and the music widget block.

#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/list_rows.h"
#include "core/settings_pages/music_widget_settings.h"
#include "core/settings_pages/storage_boxes.h"
#include "core/settings_pages/taskbar_subpages.h"

namespace tavrel {

namespace {

using C = TaskbarThemeConfiguration;

// One row pair per box, in list order, each acting on its box by id; then "新增收纳箱".
void addStorageBoxes(PageRows& rows) {
    SettingsPageHost& host = rows.host();
    FormContent& form = rows.form();
    const std::vector<FormKeyReference> boxesKey{
        settingsKey(&TaskbarSettings::applicationStorageBoxes)};
    rows.section("应用收纳箱");
    for (const ApplicationStorageBoxConfiguration& box : rows.settings().applicationStorageBoxes) {
        const platform::Uuid id = box.id;
        FormRow& row = addStorageBoxRow(
            form, box.name, box.isVisible,
            [&host, id](bool on) { setStorageBoxVisible(host, id, on); },
            [&host, id] { deleteApplicationStorageBox(host, id); });
        row.keys = boxesKey;
        FormRow& size =
            form.addSegment(box.name + std::string(StorageBoxTexts::sizeTitleSuffix),
                            std::string(StorageBoxTexts::sizeDetail), storageBoxSizeLabels(),
                            storageBoxSizeIndex(box.size),
                            [&host, id](int index) { setStorageBoxSize(host, id, index); });
        size.keys = boxesKey;
    }
    FormRow& add = form.addButton("新增收纳箱", "在任务栏新增一个独立的应用收纳箱。", "plus",
                                  [&host] { addApplicationStorageBox(host); });
    add.keys = boxesKey;
}

}  // namespace

std::shared_ptr<FormContent> makeTaskbarWidgetsSettingsView(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);

    rows.section("废纸篓");
    rows.toggle("显示废纸篓", "在任务栏显示废纸篓入口，可打开废纸篓，右键可清空。",
                rows.theme(&C::showTrashInTaskbar));

    addStorageBoxes(rows);

    rows.section("文件夹");
    rows.toggle("文件夹中运行的应用仅在文件夹中显示",
                "开启后，文件夹成员运行时不再单独显示在任务栏，并显示文件夹运行状态。",
                bindSetting(&TaskbarSettings::taskbarFolderRunningApplicationsOnlyInFolder));

    rows.section("其他小组件");
    rows.toggle("时间组件", "在任务栏显示宽时间组件，显示今天日期和当前时分秒；点击后打开日历。",
                rows.theme(&C::showTimeWidgetInTaskbar));
    rows.toggle("内存组件", "在任务栏显示常规大小 RAM 小组件，展示当前内存占用情况。",
                rows.theme(&C::showSystemMonitorWidgetInTaskbar));

    addMusicWidgetSettings(*form, host);
    return form;
}

}  // namespace tavrel
