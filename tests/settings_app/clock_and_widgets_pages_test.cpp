// "时间日历" and "小组件" on their form models: the clock rows follow the panel's position, and
// the storage boxes are named, resized, hidden and deleted by their id.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings_pages/feature_pages.h"
#include "core/settings_pages/storage_boxes.h"
#include "core/settings_pages/taskbar_subpages.h"
#include "tests/settings_app/form_model_support.h"
#include "tests/settings_app/recording_page_host.h"

namespace tavrel {
namespace {

using test::control;
using test::layout;
using test::RecordingPageHost;
using C = TaskbarThemeConfiguration;

// --- "时间日历"

TEST(ClockCalendarPageTest, RowsEditTheMemberOfTheShownPosition) {
    struct Case {
        std::int64_t position;
        const char* distanceTitle;
        bool top;
    };
    for (TaskbarTheme theme : {TaskbarTheme::windows, TaskbarTheme::liquidGlass}) {
        for (const Case& c : {Case{0, "时间距屏幕底部", false}, Case{1, "时间距屏幕顶部", true},
                              Case{5, "时间距屏幕底部", false}}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(theme)) + " " +
                         std::to_string(c.position));
            RecordingPageHost host;
            host.settings().theme = theme;
            C& record = host.settings().profile(theme);
            record.clockScreenPosition = c.position;
            record.detachedClockBottomGap = 11;
            record.topDetachedClockBottomGap = 22;
            const TaskbarSettings before = host.settings();
            const auto form = makeClockCalendarSettingsView(host);
            EXPECT_EQ(layout(*form),
                      (std::vector<std::string>{
                          "时间日历 / 显示时间日期", "时间日历 / 显示内容", "时间日历 / 排列方式",
                          "时间日历 / 显示位置", "时间日历 / 时间颜色", "时间日历 / 日期颜色",
                          std::string("时间日历 / ") + c.distanceTitle, "时间日历 / 时间距屏幕右侧",
                          "时间日历 / 主题独立"}));
            EXPECT_EQ(control<SegmentControl>(*form, "显示位置").selected, c.top ? 1 : 0);
            EXPECT_EQ(control<SliderControl>(*form, c.distanceTitle).value, c.top ? 22 : 11);

            control<ColorControl>(*form, "时间颜色").action(FormColor{0.1, 0.2, 0.3, 1});
            control<ColorControl>(*form, "日期颜色").action(FormColor{0.4, 0.5, 0.6, 1});
            control<SliderControl>(*form, c.distanceTitle).action(120);
            control<SliderControl>(*form, "时间距屏幕右侧").action(130);
            const CodableColor time{0.1, 0.2, 0.3, 1};
            const CodableColor date{0.4, 0.5, 0.6, 1};
            const C& old = before.profile(theme);
            EXPECT_EQ(record.topClockTimeColor, c.top ? time : old.topClockTimeColor);
            EXPECT_EQ(record.clockTimeColor, c.top ? old.clockTimeColor : time);
            EXPECT_EQ(record.topClockDateColor, c.top ? date : old.topClockDateColor);
            EXPECT_EQ(record.clockDateColor, c.top ? old.clockDateColor : date);
            EXPECT_EQ(record.topDetachedClockBottomGap, c.top ? 120 : 22);
            EXPECT_EQ(record.detachedClockBottomGap, c.top ? 11 : 120);
            EXPECT_EQ(record.topDetachedClockRightGap, c.top ? 130 : old.topDetachedClockRightGap);
            EXPECT_EQ(record.detachedClockRightGap, c.top ? old.detachedClockRightGap : 130);
            // The other theme is untouched.
            const TaskbarTheme other =
                theme == TaskbarTheme::windows ? TaskbarTheme::liquidGlass : TaskbarTheme::windows;
            EXPECT_EQ(host.settings().profile(other), before.profile(other));
            EXPECT_EQ(host.rebuilds, 0);
        }
    }
}

TEST(ClockCalendarPageTest, PositionRebuildsAndTheRowsFollow) {
    RecordingPageHost host;
    host.settings().theme = TaskbarTheme::windows;
    host.settings().windowsProfile.topDetachedClockBottomGap = 40;
    control<SegmentControl>(*makeClockCalendarSettingsView(host), "显示位置").action(1);
    EXPECT_EQ(host.settings().windowsProfile.clockScreenPosition, 1);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"storePageScrollOrigin", "notifyChange", "rebuild"}));
    const auto rebuilt = makeClockCalendarSettingsView(host);
    EXPECT_EQ(rebuilt->row("时间距屏幕底部"), nullptr);
    EXPECT_EQ(control<SliderControl>(*rebuilt, "时间距屏幕顶部").value, 40);
}

TEST(ClockCalendarPageTest, SegmentsShowAndWriteTheirCodes) {
    struct Case {
        const char* title;
        std::int64_t C::*key;
        std::int64_t stored;
        int shown;
        int chosen;
        std::int64_t written;
    };
    for (const Case& c : {Case{"显示内容", &C::clockDisplayMode, 2, 2, 1, 1},
                          Case{"显示内容", &C::clockDisplayMode, 9, 0, 2, 2},
                          Case{"显示内容", &C::clockDisplayMode, 1, 1, 4, 0},
                          Case{"排列方式", &C::clockLineLayout, 1, 1, 0, 0},
                          Case{"排列方式", &C::clockLineLayout, 3, 0, 1, 1},
                          Case{"排列方式", &C::clockLineLayout, 1, 1, 2, 0}}) {
        SCOPED_TRACE(std::string(c.title) + " " + std::to_string(c.stored));
        RecordingPageHost host;
        host.settings().activeProfile().*c.key = c.stored;
        const auto form = makeClockCalendarSettingsView(host);
        const SegmentControl& segment = control<SegmentControl>(*form, c.title);
        EXPECT_EQ(segment.selected, c.shown);
        segment.action(c.chosen);
        EXPECT_EQ(host.settings().activeProfile().*c.key, c.written);
    }
}

// --- "小组件"

ApplicationStorageBoxConfiguration box(std::string name,
                                       std::optional<ApplicationStorageBoxSize> size = {}) {
    ApplicationStorageBoxConfiguration b;
    b.id = platform::Uuid::random();
    b.name = std::move(name);
    b.size = size;
    return b;
}

TEST(TaskbarWidgetsPageTest, RowsInOrderWithAPairPerBox) {
    RecordingPageHost host;
    host.settings().applicationStorageBoxes = {box("书房"), box("工具")};
    const auto form = makeTaskbarWidgetsSettingsView(host);
    EXPECT_EQ(layout(*form),
              (std::vector<std::string>{
                  "废纸篓 / 显示废纸篓", "应用收纳箱 / 书房", "应用收纳箱 / 书房大小",
                  "应用收纳箱 / 工具", "应用收纳箱 / 工具大小", "应用收纳箱 / 新增收纳箱",
                  "文件夹 / 文件夹中运行的应用仅在文件夹中显示", "其他小组件 / 时间组件",
                  "其他小组件 / 内存组件", "音乐组件 / 启用音乐组件", "音乐组件 / 位置"}));
    const FormRow& row = *form->row("书房");
    EXPECT_EQ(row.detail, "关闭后仅隐藏；删除会移除收纳箱并恢复箱内应用。");
    const auto& parts = std::get<CompoundControl>(row.control).parts;
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_TRUE(std::get<CompoundSwitch>(parts[0]).isOn);
    const auto& trash = std::get<CompoundButton>(parts[1]);
    EXPECT_EQ(trash.symbolName, "trash");
    EXPECT_EQ(trash.toolTip, "删除收纳箱");
    EXPECT_EQ(trash.width, 34);
    EXPECT_EQ(control<SegmentControl>(*form, "书房大小").labels,
              (std::vector<std::string>{"小", "中", "大", "加大", "特大"}));
    EXPECT_EQ(control<ButtonControl>(*form, "新增收纳箱").symbolName, "plus");
}

TEST(TaskbarWidgetsPageTest, NewBoxNames) {
    struct Case {
        std::vector<std::string> names;
        std::string expected;
    };
    for (const Case& c :
         {Case{{}, "收纳箱 1"}, Case{{"应用收纳箱"}, "收纳箱 2"},
          Case{{"收纳箱 1", "收纳箱 2", "收纳箱 4"}, "收纳箱 5"}, Case{{"收纳箱 2"}, "收纳箱 3"},
          Case{{"收纳箱 3", "收纳箱 4", "收纳箱 1"}, "收纳箱 5"},
          Case{{"收纳箱 9", "收纳箱 9"}, "收纳箱 3"}}) {
        StorageBoxList boxes;
        for (const std::string& name : c.names) boxes.push_back(box(name));
        EXPECT_EQ(nextStorageBoxName(boxes), c.expected) << testing::PrintToString(c.names);
    }
}

TEST(TaskbarWidgetsPageTest, AddingAppendsAVisibleBoxAndRebuilds) {
    RecordingPageHost host;
    host.settings().applicationStorageBoxes = {box("收纳箱 1"), box("收纳箱 2"), box("收纳箱 4")};
    const auto before = host.settings().applicationStorageBoxes;
    control<ButtonControl>(*makeTaskbarWidgetsSettingsView(host), "新增收纳箱").action();
    const auto& boxes = host.settings().applicationStorageBoxes;
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(std::vector(boxes.begin(), boxes.begin() + 3), before);
    const ApplicationStorageBoxConfiguration& added = boxes.back();
    EXPECT_EQ(added.name, "收纳箱 5");
    EXPECT_TRUE(added.isVisible);
    EXPECT_FALSE(added.sortMode);
    EXPECT_FALSE(added.manualAppOrder);
    EXPECT_FALSE(added.size);
    for (const auto& old : before) EXPECT_NE(added.id, old.id);
    EXPECT_EQ(host.rebuilds, 1);
    EXPECT_EQ(host.changes, 1);
}

TEST(TaskbarWidgetsPageTest, SizeSegmentShowsLargeForNoneAndStoresExplicitly) {
    using Size = ApplicationStorageBoxSize;
    struct Case {
        std::optional<Size> stored;
        int shown;
        int chosen;
        std::optional<Size> after;
        bool saved;
    };
    for (const Case& c :
         {Case{std::nullopt, 2, 2, Size::large, true}, Case{Size::small, 0, 4, Size::largest, true},
          Case{Size::extraLarge, 3, 1, Size::medium, true},
          Case{Size::medium, 1, 5, Size::medium, false},
          Case{std::nullopt, 2, -1, std::nullopt, false}}) {
        SCOPED_TRACE(c.chosen);
        RecordingPageHost host;
        host.settings().applicationStorageBoxes = {box("甲", c.stored)};
        const auto form = makeTaskbarWidgetsSettingsView(host);
        const SegmentControl& size = control<SegmentControl>(*form, "甲大小");
        EXPECT_EQ(size.selected, c.shown);
        size.action(c.chosen);
        EXPECT_EQ(host.settings().applicationStorageBoxes.at(0).size, c.after);
        EXPECT_EQ(host.changes, c.saved ? 1 : 0);
        EXPECT_EQ(host.rebuilds, 0);
    }
}

TEST(TaskbarWidgetsPageTest, RowsFindTheirBoxByIdNotByPlace) {
    RecordingPageHost host;
    host.settings().applicationStorageBoxes = {box("甲"), box("乙")};
    const auto form = makeTaskbarWidgetsSettingsView(host);
    // "甲" goes before any of its rows is used; "乙" moves to the first place.
    host.settings().applicationStorageBoxes.erase(host.settings().applicationStorageBoxes.begin());
    const auto kept = host.settings().applicationStorageBoxes;

    const auto& gone = std::get<CompoundControl>(form->row("甲")->control).parts;
    std::get<CompoundSwitch>(gone[0]).action(false);
    control<SegmentControl>(*form, "甲大小").action(0);
    std::get<CompoundButton>(gone[1]).action();
    EXPECT_EQ(host.settings().applicationStorageBoxes, kept);
    EXPECT_EQ(host.changes, 0);
    EXPECT_TRUE(host.scriptedDialogs().asked.empty()) << "no question for a box that has gone";

    const auto& second = std::get<CompoundControl>(form->row("乙")->control).parts;
    std::get<CompoundSwitch>(second[0]).action(false);
    control<SegmentControl>(*form, "乙大小").action(4);
    const auto& boxes = host.settings().applicationStorageBoxes;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(boxes[0].isVisible);
    EXPECT_EQ(boxes[0].size, ApplicationStorageBoxSize::largest);
    EXPECT_EQ(host.changes, 2);
}

TEST(TaskbarWidgetsPageTest, DeletingOnlyAfterConfirmation) {
    struct Case {
        const char* answer;
        bool removed;
    };
    for (const Case& c : {Case{"取消", false}, Case{"删除", true}}) {
        SCOPED_TRACE(c.answer);
        RecordingPageHost host;
        host.settings().applicationStorageBoxes = {box("甲"), box("乙")};
        const auto before = host.settings().applicationStorageBoxes;
        const auto form = makeTaskbarWidgetsSettingsView(host);
        host.scriptedDialogs().answer(c.answer);
        std::get<CompoundButton>(std::get<CompoundControl>(form->row("甲")->control).parts[1])
            .action();
        ASSERT_EQ(host.scriptedDialogs().asked.size(), 1u);
        const platform::ModalAlert& asked = host.scriptedDialogs().asked[0];
        EXPECT_EQ(asked.message, "删除收纳箱？");
        EXPECT_EQ(asked.informativeText, "箱内应用会恢复到任务栏，不会卸载应用。");
        EXPECT_EQ(asked.buttons, (std::vector<std::string>{"删除", "取消"}));
        EXPECT_EQ(asked.style, platform::ModalAlert::Style::warning);
        const auto& boxes = host.settings().applicationStorageBoxes;
        if (c.removed) {
            EXPECT_EQ(boxes, std::vector{before[1]});
        } else {
            EXPECT_EQ(boxes, before);
        }
        EXPECT_EQ(host.changes, c.removed ? 1 : 0);
        EXPECT_EQ(host.rebuilds, c.removed ? 1 : 0);
    }
}

TEST(TaskbarWidgetsPageTest, ThemeRowsEditTheShownTheme) {
    RecordingPageHost host;
    host.settings().theme = TaskbarTheme::windows;
    const TaskbarSettings before = host.settings();
    const auto form = makeTaskbarWidgetsSettingsView(host);
    host.settings().theme = TaskbarTheme::liquidGlass;
    control<SwitchControl>(*form, "显示废纸篓").action(!before.windowsProfile.showTrashInTaskbar);
    control<SwitchControl>(*form, "时间组件")
        .action(!before.windowsProfile.showTimeWidgetInTaskbar);
    control<SwitchControl>(*form, "内存组件")
        .action(!before.windowsProfile.showSystemMonitorWidgetInTaskbar);
    const C& windows = host.settings().windowsProfile;
    EXPECT_NE(windows.showTrashInTaskbar, before.windowsProfile.showTrashInTaskbar);
    EXPECT_NE(windows.showTimeWidgetInTaskbar, before.windowsProfile.showTimeWidgetInTaskbar);
    EXPECT_NE(windows.showSystemMonitorWidgetInTaskbar,
              before.windowsProfile.showSystemMonitorWidgetInTaskbar);
    EXPECT_EQ(host.settings().liquidGlassProfile, before.liquidGlassProfile);
}

}  // namespace
}  // namespace tavrel
