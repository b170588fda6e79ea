// "通用设置" and "多显示器配置" on their form models: the general page's switches, version row and
// taskbar commands; the displays page's one switch per connected display, the rules that keep a
// display showing the taskbar, and the move away from the legacy selection keys.

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings_pages/feature_pages.h"
#include "tests/settings_app/form_model_support.h"
#include "tests/settings_app/recording_page_host.h"

namespace tavrel {
namespace {

using test::control;
using test::layout;
using test::RecordingPageHost;
using Ids = std::vector<std::string>;
using Calls = std::vector<std::string>;

// --- "通用设置"

TEST(GeneralPageTest, RowsInTableOrder) {
    RecordingPageHost host;
    host.fakes.recordedUpdateCheck.version = "2.8.0";
    const auto form = makeGeneralSettingsView(host);
    EXPECT_EQ(layout(*form), (std::vector<std::string>{
                                 "启动 / 开机自动启动",
                                 "启动 / 显示菜单栏图标",
                                 "版本说明 / 版本号：2.8.0",
                                 "任务栏 / 自动隐藏任务栏",
                                 "任务栏 / 退出应用",
                                 "任务栏 / 重启任务栏",
                             }));
    for (const char* title : {"开机自动启动", "显示菜单栏图标", "自动隐藏任务栏"}) {
        EXPECT_TRUE(control<SwitchControl>(*form, title).isEnabled) << title;
    }
    for (const char* title : {"退出应用", "重启任务栏"}) {
        EXPECT_EQ(control<ButtonControl>(*form, title).symbolName, std::nullopt) << title;
    }
}

TEST(GeneralPageTest, SwitchesShowAndWriteTheirKeysLive) {
    struct Case {
        const char* title;
        bool TaskbarSettings::*key;
    };
    for (const Case& c : {Case{"开机自动启动", &TaskbarSettings::launchAtLogin},
                          Case{"显示菜单栏图标", &TaskbarSettings::showMenuBarIcon}}) {
        for (const bool stored : {true, false}) {
            SCOPED_TRACE(std::string(c.title) + (stored ? " on" : " off"));
            RecordingPageHost host;
            host.settings().*c.key = stored;
            const auto form = makeGeneralSettingsView(host);
            const SwitchControl& toggle = control<SwitchControl>(*form, c.title);
            EXPECT_EQ(toggle.isOn, stored);
            TaskbarSettings expected = host.settings();
            expected.*c.key = !stored;
            toggle.action(!stored);
            EXPECT_EQ(host.settings(), expected);
            EXPECT_EQ(host.calls,
                      (Calls{"applyLiveChange", "storePageScrollOrigin", "notifyChange"}));
        }
    }
}

TEST(GeneralPageTest, AutoHideReadsAndWritesOnlyTheCurrentTheme) {
    for (const TaskbarTheme theme : {TaskbarTheme::windows, TaskbarTheme::liquidGlass}) {
        SCOPED_TRACE(static_cast<int>(theme));
        const TaskbarTheme other =
            theme == TaskbarTheme::windows ? TaskbarTheme::liquidGlass : TaskbarTheme::windows;
        RecordingPageHost host;
        host.settings().theme = theme;
        host.settings().profile(theme).autoHideTaskbar = false;
        host.settings().profile(other).autoHideTaskbar = true;
        const auto form = makeGeneralSettingsView(host);
        const SwitchControl& autoHide = control<SwitchControl>(*form, "自动隐藏任务栏");
        EXPECT_FALSE(autoHide.isOn);  // this theme's value, not the other's

        autoHide.action(true);
        EXPECT_TRUE(host.settings().profile(theme).autoHideTaskbar);
        EXPECT_TRUE(host.settings().profile(other).autoHideTaskbar);
        autoHide.action(false);
        EXPECT_FALSE(host.settings().profile(theme).autoHideTaskbar);
        EXPECT_TRUE(host.settings().profile(other).autoHideTaskbar);
        EXPECT_EQ(host.rebuilds, 0);
        EXPECT_EQ(host.changes, 2);
    }
}

TEST(GeneralPageTest, TaskbarCommandsChangeNoSettingAndDoNotRebuild) {
    struct Case {
        const char* title;
        const char* command;
    };
    for (const Case& c : {Case{"退出应用", "closeTaskbar"}, Case{"重启任务栏", "restartTaskbar"}}) {
        SCOPED_TRACE(c.title);
        RecordingPageHost host;
        const TaskbarSettings before = host.settings();
        const auto form = makeGeneralSettingsView(host);
        control<ButtonControl>(*form, c.title).action();
        control<ButtonControl>(*form, c.title).action();
        EXPECT_EQ(host.calls, (Calls{c.command, c.command}));
        EXPECT_EQ(host.settings(), before);
        EXPECT_EQ(host.fakes.recordedUpdateCheck.checks, 0);
    }
}

TEST(GeneralPageTest, VersionRowShowsTheVersionAndChecksOncePerPress) {
    RecordingPageHost host;
    host.fakes.recordedUpdateCheck.version = "0.0.0";
    const TaskbarSettings before = host.settings();
    const auto form = makeGeneralSettingsView(host);
    const auto& version = control<VersionCheckControl>(*form, "版本号：0.0.0");
    EXPECT_EQ(version.currentVersion, "0.0.0");
    EXPECT_EQ(form->sectionOfRow("版本号：0.0.0")->title, "版本说明");
    ASSERT_TRUE(version.action);
    version.action();
    EXPECT_EQ(host.fakes.recordedUpdateCheck.checks, 1);
    version.action();
    EXPECT_EQ(host.fakes.recordedUpdateCheck.checks, 2);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(host.settings(), before);
}

// --- "多显示器配置"

const platform::ScreenInfo builtIn{"AAAA-1", "Built-in Retina Display", true};
const platform::ScreenInfo dell{"BBBB-2", "DELL U2720Q", false};
const platform::ScreenInfo projector{"CCCC-3", "Projector", false};

std::vector<std::string> switchStates(const FormContent& form,
                                      const std::vector<platform::ScreenInfo>& screens) {
    std::vector<std::string> states;
    for (const platform::ScreenInfo& screen : screens) {
        states.push_back(screen.name +
                         (control<SwitchControl>(form, screen.name).isOn ? " on" : " off"));
    }
    return states;
}

TEST(MultipleDisplayPageTest, OneSwitchPerConnectedDisplay) {
    const struct {
        const char* name;
        std::vector<platform::ScreenInfo> screens;
        std::vector<std::string> rows;
    } cases[] = {
        {"none", {}, {"任务栏所在显示器（多选） / 选择所有显示器"}},
        {"one",
         {builtIn},
         {"任务栏所在显示器（多选） / 选择所有显示器",
          "任务栏所在显示器（多选） / Built-in Retina Display"}},
        {"two",
         {builtIn, dell},
         {"任务栏所在显示器（多选） / 选择所有显示器",
          "任务栏所在显示器（多选） / Built-in Retina Display",
          "任务栏所在显示器（多选） / DELL U2720Q"}},
        {"three, in the platform's order",
         {projector, builtIn, dell},
         {"任务栏所在显示器（多选） / 选择所有显示器", "任务栏所在显示器（多选） / Projector",
          "任务栏所在显示器（多选） / Built-in Retina Display",
          "任务栏所在显示器（多选） / DELL U2720Q"}},
        {"a display without identifier has no row",
         {builtIn, {"", "Unknown", false}},
         {"任务栏所在显示器（多选） / 选择所有显示器",
          "任务栏所在显示器（多选） / Built-in Retina Display"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPageHost host;
        host.fakes.screensStub.setScreens(c.screens);
        const auto form = makeMultipleDisplaySettingsView(host);
        std::vector<std::string> expected = c.rows;
        expected.push_back("窗口打开位置 / 窗口打开位置跟随操作屏幕");
        EXPECT_EQ(layout(*form), expected);
        for (const FormRow* row : form->rows()) {
            if (row->title == "选择所有显示器" || row->title == "窗口打开位置跟随操作屏幕")
                continue;
            EXPECT_EQ(row->detail, "在此显示器上显示任务栏");
        }
        EXPECT_EQ(control<ButtonControl>(*form, "选择所有显示器").symbolName, std::nullopt);
    }
}

TEST(MultipleDisplayPageTest, SwitchesShowTheExclusionsAfterKeepingOneDisplay) {
    const std::vector<platform::ScreenInfo> screens{builtIn, dell, projector};
    const struct {
        const char* name;
        std::optional<Ids> excluded;
        std::optional<Ids> selected;
        std::optional<std::string> single;
        std::vector<std::string> shown;
    } cases[] = {
        {"nothing stored: every display shows",
         {},
         {},
         {},
         {"Built-in Retina Display on", "DELL U2720Q on", "Projector on"}},
        {"exclusions compare without case",
         Ids{"bbbb-2"},
         {},
         {},
         {"Built-in Retina Display on", "DELL U2720Q off", "Projector on"}},
        {"exclusions win over a legacy selection",
         Ids{"CCCC-3"},
         Ids{"AAAA-1"},
         {},
         {"Built-in Retina Display on", "DELL U2720Q on", "Projector off"}},
        {"legacy list: the others are excluded",
         {},
         Ids{"BBBB-2"},
         "AAAA-1",
         {"Built-in Retina Display off", "DELL U2720Q on", "Projector off"}},
        {"legacy single display",
         {},
         {},
         "cccc-3",
         {"Built-in Retina Display off", "DELL U2720Q off", "Projector on"}},
        {"all excluded: the first display shows",
         Ids{"AAAA-1", "BBBB-2", "CCCC-3"},
         {},
         {},
         {"Built-in Retina Display on", "DELL U2720Q off", "Projector off"}},
        {"a legacy selection of a display gone: the first shows",
         {},
         Ids{"GONE"},
         {},
         {"Built-in Retina Display on", "DELL U2720Q off", "Projector off"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPageHost host;
        host.fakes.screensStub.setScreens(screens);
        host.settings().taskbarExcludedDisplayIdentifiers = c.excluded;
        host.settings().taskbarDisplayIdentifiers = c.selected;
        host.settings().taskbarDisplayIdentifier = c.single;
        const TaskbarSettings before = host.settings();
        const auto form = makeMultipleDisplaySettingsView(host);
        EXPECT_EQ(switchStates(*form, screens), c.shown);
        EXPECT_EQ(host.settings(), before);  // showing writes nothing
    }
}

TEST(MultipleDisplayPageTest, SelectAllStoresTheEmptyListAndClearsTheLegacyKeys) {
    RecordingPageHost host;
    host.fakes.screensStub.setScreens({builtIn, dell});
    host.settings().taskbarExcludedDisplayIdentifiers = Ids{"BBBB-2"};
    host.settings().taskbarDisplayIdentifiers = Ids{"AAAA-1"};
    host.settings().taskbarDisplayIdentifier = "AAAA-1";
    control<ButtonControl>(*makeMultipleDisplaySettingsView(host), "选择所有显示器").action();
    EXPECT_EQ(host.settings().taskbarExcludedDisplayIdentifiers, Ids{});
    EXPECT_EQ(host.settings().taskbarDisplayIdentifiers, std::nullopt);
    EXPECT_EQ(host.settings().taskbarDisplayIdentifier, std::nullopt);
    EXPECT_EQ(host.calls, (Calls{"applyLiveChange(rebuild)", "storePageScrollOrigin",
                                 "notifyChange", "rebuild"}));
    const auto rebuilt = makeMultipleDisplaySettingsView(host);
    EXPECT_EQ(switchStates(*rebuilt, {builtIn, dell}),
              (std::vector<std::string>{"Built-in Retina Display on", "DELL U2720Q on"}));
}

TEST(MultipleDisplayPageTest, TogglingStoresExclusionsAndKeepsOneDisplayShowing) {
    const std::vector<platform::ScreenInfo> two{builtIn, dell};
    const struct {
        const char* name;
        std::vector<platform::ScreenInfo> screens;
        std::optional<Ids> excluded;
        std::optional<Ids> selected;
        const char* display;
        bool on;
        Ids stored;
    } cases[] = {
        {"exclude one of two", two, Ids{}, {}, "DELL U2720Q", false, {"BBBB-2"}},
        {"include again", two, Ids{"bbbb-2"}, {}, "DELL U2720Q", true, {}},
        {"the only included display stays",
         two,
         Ids{"AAAA-1"},
         {},
         "DELL U2720Q",
         false,
         {"AAAA-1"}},
        {"the only display stays", {builtIn}, {}, {}, "Built-in Retina Display", false, {}},
        {"a legacy selection converts",
         {builtIn, dell, projector},
         {},
         Ids{"AAAA-1", "BBBB-2"},
         "DELL U2720Q",
         false,
         {"CCCC-3", "BBBB-2"}},
        {"a legacy selection of the only shown display stays",
         two,
         {},
         Ids{"BBBB-2"},
         "DELL U2720Q",
         false,
         {"AAAA-1"}},
        {"an offline exclusion is kept",
         two,
         Ids{"GONE"},
         {},
         "Built-in Retina Display",
         false,
         {"GONE", "AAAA-1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPageHost host;
        host.fakes.screensStub.setScreens(c.screens);
        host.settings().taskbarExcludedDisplayIdentifiers = c.excluded;
        host.settings().taskbarDisplayIdentifiers = c.selected;
        host.settings().taskbarDisplayIdentifier = "AAAA-1";
        const auto form = makeMultipleDisplaySettingsView(host);
        control<SwitchControl>(*form, c.display).action(c.on);
        EXPECT_EQ(host.settings().taskbarExcludedDisplayIdentifiers, c.stored);
        EXPECT_EQ(host.settings().taskbarDisplayIdentifiers, std::nullopt);
        EXPECT_EQ(host.settings().taskbarDisplayIdentifier, std::nullopt);
        // Rebuilt even when nothing changed, so a refused switch springs back.
        EXPECT_EQ(host.rebuilds, 1);
    }
}

TEST(MultipleDisplayPageTest, ASwitchActsOnItsDisplayAfterTheListChanged) {
    RecordingPageHost host;
    host.fakes.screensStub.setScreens({builtIn, dell, projector});
    const auto form = makeMultipleDisplaySettingsView(host);
    // The built-in display is unplugged before the click arrives: the list moved up by one.
    host.fakes.screensStub.setScreens({dell, projector});
    control<SwitchControl>(*form, "Projector").action(false);
    EXPECT_EQ(host.settings().taskbarExcludedDisplayIdentifiers, Ids{"CCCC-3"});

    // A switch that already shows what is stored (the same click again, before the page was
    // rebuilt) changes nothing.
    control<SwitchControl>(*form, "Projector").action(false);
    EXPECT_EQ(host.settings().taskbarExcludedDisplayIdentifiers, Ids{"CCCC-3"});
}

TEST(MultipleDisplayPageTest, WindowOpeningFollowsTheOperationScreen) {
    for (const bool stored : {true, false}) {
        RecordingPageHost host;
        host.settings().windowOpeningFollowsOperationScreen = stored;
        const auto form = makeMultipleDisplaySettingsView(host);
        const SwitchControl& toggle = control<SwitchControl>(*form, "窗口打开位置跟随操作屏幕");
        EXPECT_EQ(toggle.isOn, stored);
        toggle.action(!stored);
        EXPECT_EQ(host.settings().windowOpeningFollowsOperationScreen, !stored);
        EXPECT_EQ(host.rebuilds, 0);
        EXPECT_EQ(host.settings().taskbarExcludedDisplayIdentifiers, std::nullopt);
    }
}

}  // namespace
}  // namespace tavrel
