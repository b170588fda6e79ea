// The launcher page on its form model: the shortcut editor and its row, the rows of each style,
// the whole-number and percent sliders, the style segment, and the native Dock launcher's copy
// of the size and avatar values.

#include "core/settings_pages/launcher_page.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/form/slider_model.h"
#include "core/settings/settings_differences.h"
#include "core/settings/start_menu_shortcut.h"
#include "core/settings_pages/feature_pages.h"
#include "core/settings_pages/start_menu_shortcut_editor.h"
#include "tests/settings_app/form_model_support.h"
#include "tests/settings_app/recording_page_host.h"

namespace tavrel {
namespace {

using test::control;
using test::layout;
using test::RecordingPageHost;
using C = TaskbarThemeConfiguration;
using M = StartMenuShortcutModifiers;
using Shortcut = StartMenuShortcutEdit::Shortcut;

// --- The shortcut editor

TEST(StartMenuShortcutEditorTest, UncheckingTheLastModifierBeepsAndKeepsIt) {
    for (const StartMenuShortcutModifierBox& box : StartMenuShortcutEditor::modifierBoxes()) {
        SCOPED_TRACE(std::string(box.toolTip));
        StartMenuShortcutEditor editor(12, box.bit);
        EXPECT_EQ(editor.toggle(box.bit, false), (StartMenuShortcutEdit{std::nullopt, true}));
        EXPECT_EQ(editor.modifiers(), box.bit);
        EXPECT_TRUE(editor.isChecked(box.bit));
    }
}

TEST(StartMenuShortcutEditorTest, TogglesReportTheNewSetWithTheKey) {
    struct Case {
        std::int64_t modifiers;
        std::int64_t bit;
        bool on;
        std::int64_t expected;
    };
    for (const Case& c :
         {Case{M::command, M::control, true, 9}, Case{M::command, M::option, true, 10},
          Case{M::command, M::shift, true, 12}, Case{15, M::command, false, 7},
          Case{M::control | M::shift, M::control, false, M::shift},
          // Turning on a box that is on already changes nothing in the set.
          Case{M::command, M::command, true, M::command}}) {
        SCOPED_TRACE(std::to_string(c.modifiers) + " " + std::to_string(c.bit));
        StartMenuShortcutEditor editor(0, c.modifiers);
        EXPECT_EQ(editor.toggle(c.bit, c.on),
                  (StartMenuShortcutEdit{Shortcut{0, c.expected}, false}));
        EXPECT_EQ(editor.modifiers(), c.expected);
        for (const auto& box : StartMenuShortcutEditor::modifierBoxes()) {
            EXPECT_EQ(editor.isChecked(box.bit), (c.expected & box.bit) != 0) << box.toolTip;
        }
    }
}

TEST(StartMenuShortcutEditorTest, ChoosingAKeyAndReset) {
    StartMenuShortcutEditor editor(49, M::control | M::option);
    EXPECT_EQ(editor.chooseKey(122), (StartMenuShortcutEdit{Shortcut{122, 3}, false}));
    editor.reset();
    EXPECT_EQ(editor.keyCode(), 49);
    EXPECT_EQ(editor.modifiers(), M::command);
}

// --- The shortcut row on the page

const CompoundControl& shortcutRow(const FormContent& form) {
    return control<CompoundControl>(form, "打开快捷键");
}

template <class Part>
std::vector<const Part*> partsOf(const CompoundControl& row) {
    std::vector<const Part*> found;
    for (const CompoundPart& part : row.parts) {
        if (const auto* p = std::get_if<Part>(&part)) found.push_back(p);
    }
    return found;
}

std::vector<bool> checkedBoxes(const CompoundControl& row) {
    std::vector<bool> states;
    for (const CompoundCheckBox* box : partsOf<CompoundCheckBox>(row))
        states.push_back(box->state());
    return states;
}

TEST(StartMenuShortcutRowTest, ControlsInOrderWithTheirLabels) {
    RecordingPageHost host;
    const auto form = makeStartMenuSettingsView(host);
    const CompoundControl& row = shortcutRow(*form);
    ASSERT_EQ(row.parts.size(), 6u);
    std::vector<std::string> titles;
    std::vector<std::string> tips;
    for (const CompoundCheckBox* box : partsOf<CompoundCheckBox>(row)) {
        titles.push_back(box->title);
        tips.push_back(box->toolTip);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"⌃", "⌥", "⇧", "⌘"}));
    EXPECT_EQ(tips, (std::vector<std::string>{"Control", "Option", "Shift", "Command"}));
    const CompoundPopUp& keys = *partsOf<CompoundPopUp>(row).at(0);
    ASSERT_EQ(keys.items.size(), 56u);
    EXPECT_EQ(keys.items.front(), (CompoundPopUpItem{"Space", 49}));
    EXPECT_EQ(keys.items[20], (CompoundPopUpItem{"A", 0}));
    EXPECT_EQ(keys.items.back(), (CompoundPopUpItem{"9", 25}));
    EXPECT_EQ(keys.toolTip, "按键");
    const CompoundButton& reset = *partsOf<CompoundButton>(row).at(0);
    EXPECT_EQ(reset.toolTip, "恢复默认快捷键");
    EXPECT_EQ(reset.symbolName, "arrow.counterclockwise");
    // The row names both keys it writes.
    const FormRow* shortcut = form->row("打开快捷键");
    ASSERT_EQ(shortcut->keys.size(), 2u);
    EXPECT_EQ(shortcut->keys[0].name, "startMenuShortcutKeyCode");
    EXPECT_EQ(shortcut->keys[1].name, "startMenuShortcutModifiers");
}

TEST(StartMenuShortcutRowTest, StoredModifiersShowOnlyTheFourBitsAndNeverNone) {
    struct Case {
        std::int64_t stored;
        std::vector<bool> shown;
    };
    for (const Case& c :
         {Case{8, {false, false, false, true}}, Case{3, {true, true, false, false}},
          Case{16 | 4, {false, false, true, false}}, Case{16, {false, false, false, true}},
          Case{0, {false, false, false, true}}}) {
        SCOPED_TRACE(c.stored);
        RecordingPageHost host;
        host.settings().startMenuShortcutModifiersValue = c.stored;
        EXPECT_EQ(checkedBoxes(shortcutRow(*makeStartMenuSettingsView(host))), c.shown);
    }
}

TEST(StartMenuShortcutRowTest, EditsStoreTheShortcutAndARefusalStoresNothing) {
    RecordingPageHost host;
    host.settings().startMenuShortcutKeyCode = 49;
    host.settings().setStartMenuShortcutModifiers(M::command);
    const auto form = makeStartMenuSettingsView(host);
    const CompoundControl& row = shortcutRow(*form);
    const auto boxes = partsOf<CompoundCheckBox>(row);
    const CompoundPopUp& keys = *partsOf<CompoundPopUp>(row).at(0);
    const CompoundButton& reset = *partsOf<CompoundButton>(row).at(0);

    // "⌘" is the only modifier: unchecking it beeps, stores nothing and shows it on again.
    boxes[3]->action(false);
    EXPECT_EQ(host.scriptedDialogs().beeps, 1);
    EXPECT_EQ(host.changes, 0);
    EXPECT_EQ(checkedBoxes(row), (std::vector<bool>{false, false, false, true}));

    boxes[1]->action(true);
    EXPECT_EQ(host.settings().startMenuShortcutModifiers(), M::command | M::option);
    boxes[3]->action(false);
    EXPECT_EQ(host.settings().startMenuShortcutModifiers(), M::option);
    keys.action(0);  // "A"
    EXPECT_EQ(host.settings().startMenuShortcutKeyCode, 0);
    EXPECT_EQ(host.settings().startMenuShortcutModifiers(), M::option);
    EXPECT_EQ(keys.selectedTag(), 0);
    EXPECT_EQ(host.changes, 3);
    EXPECT_EQ(host.rebuilds, 0);

    reset.action();
    EXPECT_EQ(host.settings().startMenuShortcutKeyCode, 49);
    EXPECT_EQ(host.settings().startMenuShortcutModifiers(), M::command);
    EXPECT_EQ(checkedBoxes(row), (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(keys.selectedTag(), 49);
    EXPECT_EQ(host.changes, 4);
    EXPECT_EQ(host.scriptedDialogs().beeps, 1);
}

// --- Rows per style

TEST(StartMenuPageTest, EachStyleShowsItsOwnSections) {
    const std::vector<std::string> head{"启动台样式 / 启动台样式"};
    const std::vector<std::string> classic{"经典格网 / 每页列数", "经典格网 / 每页行数",
                                           "经典格网 / 图标大小"};
    const std::vector<std::string> entries{"入口 / 启用应用启动台",
                                           "入口 / 在任务栏显示启动台按钮",
                                           "入口 / 在原生 Dock 显示启动台图标",
                                           "入口 / 触发角打开启动台",
                                           "入口 / 启动台触发角",
                                           "快捷键 / 启用启动台快捷键",
                                           "快捷键 / 打开快捷键"};
    const std::vector<std::string> mac27{"弹窗 / 弹窗宽度",         "弹窗 / 弹窗高度",
                                         "弹窗 / 弹窗圆角",         "应用网格 / 应用图标大小",
                                         "应用网格 / 应用名称字号", "应用网格 / 图标名称间距",
                                         "应用网格 / 图标左右间距", "应用网格 / 图标上下间距"};
    const std::vector<std::string> tail{
        "图标悬停 / 显示固定到任务栏按钮", "图标悬停 / 图标悬停包围圈", "图标悬停 / 包围圈颜色",
        "图标悬停 / 包围圈外扩距离",       "启动台图标 / 使用用户头像", "启动台图标 / 头像边框宽度",
        "启动台图标 / 头像边框颜色"};
    const auto join = [](std::initializer_list<std::vector<std::string>> parts) {
        std::vector<std::string> all;
        for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    struct Case {
        StartMenuStyle style;
        std::vector<std::string> expected;
    };
    for (const Case& c : {Case{StartMenuStyle::classic, join({head, classic, entries, tail})},
                          Case{StartMenuStyle::mac27, join({head, entries, mac27, tail})},
                          Case{StartMenuStyle::appLibrary, join({head, entries, tail})}}) {
        SCOPED_TRACE(static_cast<int>(c.style));
        for (FeaturePage page : {FeaturePage::startMenu, FeaturePage::nativeDockLauncher}) {
            RecordingPageHost host;
            host.feature = page;
            host.settings().startMenuStyle = c.style;
            const auto form = makeStartMenuSettingsView(host);
            EXPECT_EQ(layout(*form), c.expected);
            EXPECT_EQ(control<SegmentControl>(*form, "启动台样式").selected,
                      static_cast<int>(c.style));
            // No row is ever greyed out.
            for (const FormRow* row : form->rows()) {
                if (const auto* toggle = std::get_if<SwitchControl>(&row->control)) {
                    EXPECT_TRUE(toggle->isEnabled) << row->title;
                }
            }
        }
    }
}

TEST(StartMenuPageTest, StyleSegmentStoresOnlyAnotherStyleAndRebuilds) {
    struct Case {
        int index;
        bool stored;
    };
    for (const Case& c : {Case{0, false}, Case{1, true}, Case{2, true}, Case{3, false},
                          Case{-1, false}, Case{7, false}}) {
        SCOPED_TRACE(c.index);
        RecordingPageHost host;
        host.settings().startMenuStyle = StartMenuStyle::classic;
        control<SegmentControl>(*makeStartMenuSettingsView(host), "启动台样式").action(c.index);
        EXPECT_EQ(host.settings().startMenuStyle,
                  c.stored ? static_cast<StartMenuStyle>(c.index) : StartMenuStyle::classic);
        EXPECT_EQ(host.changes, c.stored ? 1 : 0);
        EXPECT_EQ(host.rebuilds, c.stored ? 1 : 0);
    }
}

TEST(StartMenuPageTest, ClassicGridSlidersShowAndStoreWholeNumbers) {
    struct Case {
        const char* title;
        std::int64_t TaskbarSettings::*key;
        std::int64_t stored;
        double shown;
        double moved;
        std::int64_t storedAfter;
    };
    for (const Case& c :
         {Case{"每页列数", &TaskbarSettings::startMenuClassicColumns, 20, 12, 5, 5},
          Case{"每页列数", &TaskbarSettings::startMenuClassicColumns, 0, 3, 11.6, 12},
          Case{"每页列数", &TaskbarSettings::startMenuClassicColumns, 7, 7, 40, 12},
          Case{"每页行数", &TaskbarSettings::startMenuClassicRows, 20, 8, 2, 2},
          Case{"每页行数", &TaskbarSettings::startMenuClassicRows, 0, 2, 4.4, 4}}) {
        SCOPED_TRACE(std::string(c.title) + " " + std::to_string(c.stored));
        RecordingPageHost host;
        host.settings().startMenuStyle = StartMenuStyle::classic;
        host.settings().*c.key = c.stored;
        const auto form = makeStartMenuSettingsView(host);
        const SliderControl& slider = control<SliderControl>(*form, c.title);
        EXPECT_EQ(normalizeSliderValue(slider.value, slider.range), c.shown);
        EXPECT_EQ(slider.valueFormatter(c.shown), std::to_string(static_cast<int>(c.shown)));
        // Showing a value out of range does not store it.
        EXPECT_EQ(host.settings().*c.key, c.stored);
        slider.action(c.moved);
        EXPECT_EQ(host.settings().*c.key, c.storedAfter);
    }
}

TEST(StartMenuPageTest, IconScaleIsAPercentInStepsOfFive) {
    struct Case {
        double stored;
        double shown;
        double moved;  // where the slider is dragged to
        double storedAfter;
    };
    for (const Case& c : {Case{1, 100, 97, 0.95}, Case{2, 150, 150, 1.5}, Case{0.2, 50, 40, 0.5},
                          Case{0.75, 75, 123, 1.25}}) {
        SCOPED_TRACE(c.stored);
        RecordingPageHost host;
        host.settings().startMenuStyle = StartMenuStyle::classic;
        host.settings().startMenuClassicIconScale = c.stored;
        const auto form = makeStartMenuSettingsView(host);
        const SliderControl& slider = control<SliderControl>(*form, "图标大小");
        SliderModel model(slider.range, slider.value, slider.valueFormatter);
        EXPECT_EQ(model.value(), c.shown);
        EXPECT_EQ(model.fieldText(), std::to_string(static_cast<int>(c.shown)) + "%");
        const SliderUpdate update = model.sliderMoved(c.moved);
        ASSERT_TRUE(update.actionValue);
        slider.action(*update.actionValue);
        EXPECT_DOUBLE_EQ(host.settings().startMenuClassicIconScale, c.storedAfter);
    }
}

// --- The native Dock launcher's copy

std::vector<std::string> changedKeys(const TaskbarSettings& before, const TaskbarSettings& after) {
    std::vector<std::string> names;
    for (const SettingsKeyDifference& d : settingsDifferences(before, after)) {
        names.push_back(
            std::string(d.name) +
            (d.theme ? (*d.theme == TaskbarTheme::windows ? "@windows" : "@glass") : ""));
    }
    return names;
}

bool isCopyKey(std::string_view name) {
    const auto& keys = nativeDockLauncherAppearanceKeys();
    return std::find(keys.begin(), keys.end(), name) != keys.end();
}

// Liquid glass shown, with launcher values in each theme that differ from each other and from
// the copy.
TaskbarSettings distinctLauncherValues() {
    TaskbarSettings s;
    s.theme = TaskbarTheme::liquidGlass;
    s.startMenuStyle = StartMenuStyle::mac27;
    C& glass = s.liquidGlassProfile;
    glass.startMenuWidth = 901;
    glass.startMenuHeight = 702;
    glass.startMenuCornerRadius = 13;
    glass.startMenuSearchWidth = 333;
    glass.startMenuSearchHeight = 31;
    glass.startMenuIconSize = 55;
    glass.startMenuNameFontSize = 14;
    glass.startMenuNameIconGap = 9;
    glass.useUserAvatarForStartIcon = true;
    glass.startMenuAvatarBorderWidth = 12;  // copied clamped to 8
    glass.startMenuAvatarBorderColor = CodableColor{0.25, 0.5, 0.75, 0.5};
    s.windowsProfile.startMenuWidth = 444;
    s.nativeDockLauncherUseUserAvatar = false;
    return s;
}

void expectCopyEqualsGlass(const TaskbarSettings& s) {
    const C& glass = s.liquidGlassProfile;
    EXPECT_EQ(s.nativeDockLauncherWidth, glass.startMenuWidth);
    EXPECT_EQ(s.nativeDockLauncherHeight, glass.startMenuHeight);
    EXPECT_EQ(s.nativeDockLauncherCornerRadius, glass.startMenuCornerRadius);
    EXPECT_EQ(s.nativeDockLauncherSearchWidth, glass.startMenuSearchWidth);
    EXPECT_EQ(s.nativeDockLauncherSearchHeight, glass.startMenuSearchHeight);
    EXPECT_EQ(s.nativeDockLauncherIconSize, glass.startMenuIconSize);
    EXPECT_EQ(s.nativeDockLauncherNameFontSize, glass.startMenuNameFontSize);
    EXPECT_EQ(s.nativeDockLauncherNameIconGap, glass.startMenuNameIconGap);
    EXPECT_EQ(s.nativeDockLauncherUseUserAvatar, glass.useUserAvatarForStartIcon);
    EXPECT_EQ(s.nativeDockLauncherAvatarBorderWidth, 8);
    EXPECT_EQ(s.nativeDockLauncherAvatarBorderColor, glass.startMenuAvatarBorderColor);
}

TEST(NativeDockLauncherCopyTest, EachSizeSliderCopiesTheElevenKeys) {
    struct Case {
        const char* title;
        double C::*key;
        double moved;
    };
    for (const Case& c :
         {Case{"弹窗宽度", &C::startMenuWidth, 1200}, Case{"弹窗高度", &C::startMenuHeight, 800},
          Case{"弹窗圆角", &C::startMenuCornerRadius, 20},
          Case{"应用图标大小", &C::startMenuIconSize, 80},
          Case{"应用名称字号", &C::startMenuNameFontSize, 16},
          Case{"图标名称间距", &C::startMenuNameIconGap, 30}}) {
        SCOPED_TRACE(c.title);
        RecordingPageHost host;
        host.settings() = distinctLauncherValues();
        const TaskbarSettings before = host.settings();
        const auto form = makeStartMenuSettingsView(host);
        control<SliderControl>(*form, c.title).action(c.moved);
        const TaskbarSettings& after = host.settings();
        EXPECT_EQ(after.liquidGlassProfile.*c.key, c.moved);
        EXPECT_EQ(after.windowsProfile.startMenuWidth, 444);
        expectCopyEqualsGlass(after);
        for (const std::string& name : changedKeys(before, after)) {
            EXPECT_TRUE(isCopyKey(name) || name.ends_with("@glass")) << name;
            EXPECT_FALSE(name.ends_with("@windows")) << name;
        }
        EXPECT_EQ(host.changes, 1);
        EXPECT_EQ(host.rebuilds, 0);
    }
}

TEST(NativeDockLauncherCopyTest, WidthWithLiquidGlassWritesOnlyThatThemeAndTheCopy) {
    RecordingPageHost host;
    host.settings().theme = TaskbarTheme::liquidGlass;
    host.settings().startMenuStyle = StartMenuStyle::mac27;
    const TaskbarSettings before = host.settings();
    control<SliderControl>(*makeStartMenuSettingsView(host), "弹窗宽度").action(1000);
    EXPECT_EQ(host.settings().liquidGlassProfile.startMenuWidth, 1000);
    EXPECT_EQ(host.settings().nativeDockLauncherWidth, 1000);
    EXPECT_EQ(host.settings().windowsProfile.startMenuWidth, before.windowsProfile.startMenuWidth);
}

TEST(NativeDockLauncherCopyTest, OtherRowsDoNotCopy) {
    // The avatar rows write their own counterpart directly; no other row touches the copy.
    const std::vector<std::string> sizeSliders{"弹窗宽度",     "弹窗高度",     "弹窗圆角",
                                               "应用图标大小", "应用名称字号", "图标名称间距"};
    const std::map<std::string, std::string> direct{
        {"使用用户头像", "nativeDockLauncherUseUserAvatar"},
        {"头像边框宽度", "nativeDockLauncherAvatarBorderWidth"},
        {"头像边框颜色", "nativeDockLauncherAvatarBorderColor"}};
    for (StartMenuStyle style : {StartMenuStyle::classic, StartMenuStyle::mac27}) {
        RecordingPageHost probe;
        probe.settings() = distinctLauncherValues();
        probe.settings().startMenuStyle = style;
        const auto titles = makeStartMenuSettingsView(probe)->rowTitles();
        for (const std::string& title : titles) {
            if (std::find(sizeSliders.begin(), sizeSliders.end(), title) != sizeSliders.end()) {
                continue;
            }
            SCOPED_TRACE(title);
            RecordingPageHost host;
            host.settings() = probe.settings();
            const TaskbarSettings before = host.settings();
            const auto form = makeStartMenuSettingsView(host);
            const FormRow& row = *form->row(title);
            if (const auto* toggle = std::get_if<SwitchControl>(&row.control)) {
                toggle->action(!toggle->isOn);
            } else if (const auto* slider = std::get_if<SliderControl>(&row.control)) {
                slider->action(slider->range.min);
            } else if (const auto* colour = std::get_if<ColorControl>(&row.control)) {
                colour->action(FormColor{0.9, 0.1, 0.2, 1});
            } else if (const auto* segment = std::get_if<SegmentControl>(&row.control)) {
                segment->action(segment->selected == 0 ? 1 : 0);
            } else {
                continue;
            }
            for (const std::string& name : changedKeys(before, host.settings())) {
                if (!isCopyKey(name)) continue;
                const auto found = direct.find(title);
                EXPECT_TRUE(found != direct.end() && found->second == name) << name;
            }
        }
    }
}

TEST(NativeDockLauncherCopyTest, AvatarRowsWriteBothTheShownThemeAndTheCopy) {
    RecordingPageHost host;
    host.settings().theme = TaskbarTheme::windows;
    const auto form = makeStartMenuSettingsView(host);
    // The page keeps writing the theme it was built for.
    host.settings().theme = TaskbarTheme::liquidGlass;
    const bool wasOn = host.settings().windowsProfile.useUserAvatarForStartIcon;
    control<SwitchControl>(*form, "使用用户头像").action(!wasOn);
    control<SliderControl>(*form, "头像边框宽度").action(5);
    control<ColorControl>(*form, "头像边框颜色").action(FormColor{0.1, 0.2, 0.3, 0.4});
    const TaskbarSettings& s = host.settings();
    EXPECT_EQ(s.windowsProfile.useUserAvatarForStartIcon, !wasOn);
    EXPECT_EQ(s.nativeDockLauncherUseUserAvatar, !wasOn);
    EXPECT_EQ(s.windowsProfile.startMenuAvatarBorderWidth, 5);
    EXPECT_EQ(s.nativeDockLauncherAvatarBorderWidth, 5);
    EXPECT_EQ(s.windowsProfile.startMenuAvatarBorderColor, (CodableColor{0.1, 0.2, 0.3, 0.4}));
    EXPECT_EQ(s.nativeDockLauncherAvatarBorderColor, (CodableColor{0.1, 0.2, 0.3, 0.4}));
    EXPECT_EQ(s.liquidGlassProfile.startMenuAvatarBorderWidth,
              TaskbarSettings().liquidGlassProfile.startMenuAvatarBorderWidth);
}

}  // namespace
}  // namespace tavrel
