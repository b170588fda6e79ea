// The window switcher, gestures, desktop corner, desktop files and screen-corner pages on their
// form models: each page's rows, the rules that read or write two keys, the confirmation of
// "一直隐藏桌面文件", and the close-protection list's add, replace and remove rules.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/form/slider_rule.h"
#include "core/settings_pages/close_protection_list.h"
#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/feature_pages.h"
#include "core/settings_pages/page_registry.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_main_queue.h"
#include "tests/settings_app/recording_page_host.h"
#include "tests/settings_app/settings_delegate_fixture.h"

namespace tavrel {
namespace {

using test::RecordingPageHost;
using Titles = std::vector<std::string>;

const FormRow& rowOf(const FormContent& form, std::string_view title) {
    const FormRow* row = form.row(title);
    EXPECT_NE(row, nullptr) << title;
    static const FormRow none;
    return row ? *row : none;
}
const SwitchControl& switchOf(const FormContent& form, std::string_view title) {
    return std::get<SwitchControl>(rowOf(form, title).control);
}
const SegmentControl& segmentOf(const FormContent& form, std::string_view title) {
    return std::get<SegmentControl>(rowOf(form, title).control);
}
const SliderControl& sliderOf(const FormContent& form, std::string_view title) {
    return std::get<SliderControl>(rowOf(form, title).control);
}
// The value a slider shows for what is stored.
double shownValue(const SliderControl& slider) {
    return normalizeSliderValue(slider.value, slider.range);
}
// The slider moved to `value`, as the renderer hands it on (normalised).
void moveSlider(const SliderControl& slider, double value) {
    slider.action(normalizeSliderValue(value, slider.range));
}

const CloseProtectionListSpec& closeProtectionList(const FormContent& form) {
    const auto& block =
        std::get<CardBlockControl>(rowOf(form, CloseProtectionListTexts::listTitle).control);
    return std::any_cast<const CloseProtectionListSpec&>(block.view.data);
}

CloseProtectionApp app(std::string name, std::optional<std::string> bundle = std::nullopt,
                       std::optional<std::string> path = std::nullopt) {
    return CloseProtectionApp{std::move(name), std::move(bundle), std::move(path)};
}

// --- Each page lists the rows of its table, in order.

TEST(SwitcherDesktopPagesTest, EveryPageShowsItsRowsInOrder) {
    struct Case {
        FeaturePage page;
        Titles titles;
    };
    const std::vector<Case> cases{
        {FeaturePage::switcher,
         {"启用窗口切换器", "快捷键组合", "切换器样式", "白名单说明", "白名单应用", "截图刷新间隔",
          "截图清晰度", "缓存数量上限"}},
        {FeaturePage::advancedGestures,
         {"四指捏合打开启动台", "四指轻点打开窗口切换器", "启用四指下滑", "触发动作",
          "左右滑切换已开启应用", "使用说明"}},
        {FeaturePage::desktopCorner, {"启用右下角隐藏所有窗口", "隐藏策略"}},
        {FeaturePage::desktopIcons,
         {"一直隐藏桌面文件", "双击隐藏桌面文件", "触发区域", "系统限制"}},
        {FeaturePage::hideNotch, {"顶部屏幕圆角", "底部屏幕圆角", "隐藏屏幕刘海", "圆角半径"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(featurePageInfo(c.page).title);
        RecordingPageHost host;
        host.feature = c.page;
        EXPECT_EQ(makeFeaturePageForm(c.page, host)->rowTitles(), c.titles);
    }
}

TEST(SwitcherDesktopPagesTest, SwitcherOpensWithItsBannerAndScreenCornersWithTheirPicture) {
    RecordingPageHost host;
    const auto switcher = makeWindowSwitcherSettingsView(host);
    const auto& banner = std::get<CustomViewSpec>(switcher->items().front());
    EXPECT_EQ(std::any_cast<PermissionBannerSpec>(banner.data).message,
              "若要使用窗口快照样式的窗口切换器，请点击此处开启屏幕录制权限");

    const auto corners = makeScreenCornersSettingsView(host);
    const auto& picture = std::get<CustomViewSpec>(corners->items().front());
    EXPECT_EQ(picture.kind, ScreenCornersPreviewSpec::kind);
    EXPECT_FALSE(std::any_cast<ScreenCornersPreviewSpec>(picture.data).compact);
    // The header card of the page shows the page's own drawn screen.
    EXPECT_EQ(featurePageEntry(FeaturePage::hideNotch).preview, HeaderPreview::screenCorners);
}

// --- Window switcher

TEST(SwitcherDesktopPagesTest, SegmentsShowAndStoreTheirCodes) {
    using Style = WindowSwitcherPresentationStyle;
    struct StyleCase {
        Style stored;
        int shown;
    };
    for (const StyleCase& c : {StyleCase{Style::tiled, 0}, StyleCase{Style::advancedCards, 0},
                               StyleCase{Style::nativeIcons, 1}}) {
        RecordingPageHost host;
        host.settings().windowSwitcherPresentationStyle = c.stored;
        EXPECT_EQ(segmentOf(*makeWindowSwitcherSettingsView(host), "切换器样式").selected, c.shown)
            << static_cast<int>(c.stored);
    }
    struct ChoiceCase {
        int index;
        Style stored;
    };
    for (const ChoiceCase& c : {ChoiceCase{0, Style::tiled}, ChoiceCase{1, Style::nativeIcons},
                                ChoiceCase{5, Style::tiled}, ChoiceCase{-1, Style::tiled}}) {
        RecordingPageHost host;
        host.settings().windowSwitcherPresentationStyle = Style::advancedCards;
        segmentOf(*makeWindowSwitcherSettingsView(host), "切换器样式").action(c.index);
        EXPECT_EQ(host.settings().windowSwitcherPresentationStyle, c.stored) << c.index;
        EXPECT_EQ(host.rebuilds, 1) << "the style rebuilds the page";
    }

    for (const auto& [stored, shown] : std::vector<std::pair<std::int64_t, int>>{{0, 0}, {1, 1}}) {
        RecordingPageHost host;
        host.settings().setWindowSwitcherModifierKey(stored);
        EXPECT_EQ(segmentOf(*makeWindowSwitcherSettingsView(host), "快捷键组合").selected, shown);
    }
    for (const auto& [index, stored] :
         std::vector<std::pair<int, std::int64_t>>{{1, 1}, {0, 0}, {3, 0}}) {
        RecordingPageHost host;
        host.settings().setWindowSwitcherModifierKey(1 - stored);
        segmentOf(*makeWindowSwitcherSettingsView(host), "快捷键组合").action(index);
        EXPECT_EQ(host.settings().windowSwitcherModifierKey(), stored) << index;
        EXPECT_EQ(host.rebuilds, 0);
    }
}

TEST(SwitcherDesktopPagesTest, SnapshotSlidersClampAndTheCacheLimitStoresWholeNumbers) {
    struct Case {
        const char* title;
        std::function<void(TaskbarSettings&)> store;
        double shown;  // what the slider shows for the stored value
        double moved;
        std::function<double(const TaskbarSettings&)> read;
        double stored;
    };
    const std::vector<Case> cases{
        {"缓存数量上限", [](TaskbarSettings& s) { s.previewSnapshotCacheLimitValue = 5; }, 10, 55.4,
         [](const TaskbarSettings& s) { return double(s.previewSnapshotCacheLimit()); }, 55},
        {"缓存数量上限", [](TaskbarSettings& s) { s.previewSnapshotCacheLimitValue = 500; }, 100,
         99.5, [](const TaskbarSettings& s) { return double(s.previewSnapshotCacheLimit()); }, 100},
        {"截图刷新间隔", [](TaskbarSettings& s) { s.previewSnapshotIntervalValue = 0.1; }, 0.3,
         12.25, [](const TaskbarSettings& s) { return s.previewSnapshotInterval(); }, 12.25},
        {"截图清晰度", [](TaskbarSettings& s) { s.previewSnapshotMaxPixelWidthValue = 5000; }, 1000,
         640.5, [](const TaskbarSettings& s) { return s.previewSnapshotMaxPixelWidth(); }, 640.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.title) + " " + std::to_string(c.moved));
        RecordingPageHost host;
        c.store(host.settings());
        const auto form = makeWindowSwitcherSettingsView(host);
        const SliderControl& slider = sliderOf(*form, c.title);
        EXPECT_DOUBLE_EQ(shownValue(slider), c.shown);
        moveSlider(slider, c.moved);
        EXPECT_DOUBLE_EQ(c.read(host.settings()), c.stored);
        EXPECT_EQ(host.rebuilds, 0);
        EXPECT_EQ(host.changes, 1);
    }
}

// --- Close-protection list rules

TEST(CloseProtectionListTest, AddingReplacesOnlyTheSameApplication) {
    struct Case {
        const char* name;
        std::vector<CloseProtectionApp> before;
        CloseProtectionApp added;
        std::vector<CloseProtectionApp> after;
    };
    const std::vector<Case> cases{
        {"same bundle identifier: new name and path",
         {app("Mail", "org.mail.desktop", "/old/mail.desktop"), app("Notes", "notes.desktop")},
         app("Post", "org.mail.desktop", "/new/mail.desktop"),
         {app("Notes", "notes.desktop"), app("Post", "org.mail.desktop", "/new/mail.desktop")}},
        {"same path, another identifier",
         {app("Mail", "a.desktop", "/apps/mail.desktop")},
         app("Mail 2", "b.desktop", "/apps/mail.desktop"),
         {app("Mail 2", "b.desktop", "/apps/mail.desktop")}},
        {"same name, neither has an identity",
         {app("Mail"), app("Notes")},
         app("Mail"),
         {app("Mail"), app("Notes")}},
        {"same name, only the new one has an identity",
         {app("Mail")},
         app("Mail", "mail.desktop", "/apps/mail.desktop"),
         {app("Mail"), app("Mail", "mail.desktop", "/apps/mail.desktop")}},
        {"same name, only the old one has an identity",
         {app("Mail", "mail.desktop")},
         app("Mail"),
         {app("Mail", "mail.desktop"), app("Mail")}},
        {"two different applications of one name",
         {app("Terminal", "org.gnome.Terminal.desktop", "/usr/share/a/org.gnome.Terminal.desktop")},
         app("Terminal", "xterm.desktop", "/usr/share/a/xterm.desktop"),
         {app("Terminal", "org.gnome.Terminal.desktop", "/usr/share/a/org.gnome.Terminal.desktop"),
          app("Terminal", "xterm.desktop", "/usr/share/a/xterm.desktop")}},
        {"empty identifiers identify nothing",
         {app("Alpha", "", ""), app("Beta", "", "")},
         app("Gamma", "", ""),
         {app("Alpha", "", ""), app("Beta", "", ""), app("Gamma", "", "")}},
        {"every entry of the same application goes",
         {app("Mail", "mail.desktop"), app("Mail (old)", std::nullopt, "/apps/mail.desktop"),
          app("Zed", "mail.desktop")},
         app("Mail", "mail.desktop", "/apps/mail.desktop"),
         {app("Mail", "mail.desktop", "/apps/mail.desktop")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<CloseProtectionApp> apps = c.before;
        addOrReplaceCloseProtectionApp(apps, c.added);
        EXPECT_EQ(apps, c.after);
    }
}

TEST(CloseProtectionListTest, RemovalTakesEveryEntryEqualInAllThreeFields) {
    std::vector<CloseProtectionApp> apps{app("Mail", std::nullopt, "/apps/mail.desktop"),
                                         app("Mail", "mail.desktop", "/apps/mail.desktop"),
                                         app("Mail", std::nullopt, "/apps/mail.desktop"),
                                         app("Mail"), app("Mail", std::nullopt, "/other")};
    EXPECT_EQ(removeCloseProtectionApp(apps, app("Mail", std::nullopt, "/apps/mail.desktop")), 2u);
    EXPECT_EQ(apps,
              (std::vector<CloseProtectionApp>{app("Mail", "mail.desktop", "/apps/mail.desktop"),
                                               app("Mail"), app("Mail", std::nullopt, "/other")}));
    EXPECT_EQ(removeCloseProtectionApp(apps, app("Mail")), 1u);
    EXPECT_EQ(removeCloseProtectionApp(apps, app("Nothing")), 0u);
    EXPECT_EQ(apps.size(), 2u);
}

TEST(CloseProtectionListTest, NamesSortWithNumbersAsNumbersAndStably) {
    std::vector<CloseProtectionApp> apps;
    for (const char* name : {"Editor 10", "Editor 2", "Zoom", "Editor 1", "Browser"}) {
        addOrReplaceCloseProtectionApp(apps, app(name, std::string(name) + ".desktop"));
    }
    // Two entries of one name keep the order they were added in.
    addOrReplaceCloseProtectionApp(apps, app("Browser", "second.desktop"));
    std::vector<std::pair<std::string, std::string>> order;
    for (const CloseProtectionApp& entry : apps) {
        order.emplace_back(entry.appName, *entry.bundleIdentifier);
    }
    EXPECT_EQ(order,
              (std::vector<std::pair<std::string, std::string>>{{"Browser", "Browser.desktop"},
                                                                {"Browser", "second.desktop"},
                                                                {"Editor 1", "Editor 1.desktop"},
                                                                {"Editor 2", "Editor 2.desktop"},
                                                                {"Editor 10", "Editor 10.desktop"},
                                                                {"Zoom", "Zoom.desktop"}}));
}

// --- Close-protection list on the page

class CloseProtectionPageTest : public ::testing::Test {
protected:
    CloseProtectionPageTest() {
        host.feature = FeaturePage::switcher;
        auto& workspace = host.fakes.workspaceStub;
        workspace.addApplication({"org.gnome.TextEditor.desktop",
                                  "Text Editor",
                                  "/usr/share/applications/org.gnome.TextEditor.desktop",
                                  {"org.gnome.TextEditor", {}}});
        workspace.addApplication(
            {"app10.desktop", "App 10", "/usr/share/applications/app10.desktop", {}});
        workspace.addApplication(
            {"app2.desktop", "App 2", "/usr/share/applications/app2.desktop", {}});
        workspace.addApplication({"mail.desktop", "Mail", "/opt/mail/mail.desktop", {}});
    }
    std::shared_ptr<FormContent> page() { return makeWindowSwitcherSettingsView(host); }

    RecordingPageHost host;
};

TEST_F(CloseProtectionPageTest, AddingOffersTheInstalledApplicationsAndSelectsTheNewEntry) {
    host.settings().closeProtectionApps = {app("Zed", "zed.desktop"), app("Mail")};
    host.scriptedDialogs().answerApplicationChoice("Mail");
    const auto form = page();
    closeProtectionList(*form).onAdd();

    ASSERT_EQ(host.scriptedDialogs().applicationRequests.size(), 1u);
    const auto& request = host.scriptedDialogs().applicationRequests.front();
    EXPECT_EQ(request.title, "添加关闭保护应用");
    EXPECT_EQ(request.prompt, "添加");
    Titles offered;
    for (const auto& application : request.applications) offered.push_back(application.name);
    // By name, numbers by value.
    EXPECT_EQ(offered, (Titles{"App 2", "App 10", "Mail", "Text Editor"}));

    // The chosen entry: the desktop-file id and the entry file. The anonymous "Mail" stays: it
    // may stand for another application of that name.
    const CloseProtectionApp added = app("Mail", "mail.desktop", "/opt/mail/mail.desktop");
    EXPECT_EQ(host.settings().closeProtectionApps,
              (std::vector<CloseProtectionApp>{app("Mail"), added, app("Zed", "zed.desktop")}));
    EXPECT_EQ(host.pageState().closeProtectionSelection, added);
    EXPECT_EQ(host.changes, 1);
    EXPECT_EQ(host.rebuilds, 1);
    // The page built again shows the new entry selected.
    EXPECT_EQ(closeProtectionList(*page()).selectedRow, std::optional<std::size_t>(1));
}

TEST_F(CloseProtectionPageTest, ChoosingAnInstalledApplicationAgainReplacesItsEntry) {
    host.settings().closeProtectionApps = {
        app("Old Name", "mail.desktop", "/elsewhere/mail.desktop")};
    host.scriptedDialogs().answerApplicationChoice("Mail");
    closeProtectionList(*page()).onAdd();
    EXPECT_EQ(
        host.settings().closeProtectionApps,
        (std::vector<CloseProtectionApp>{app("Mail", "mail.desktop", "/opt/mail/mail.desktop")}));
}

TEST_F(CloseProtectionPageTest, CancellingTheChooserChangesNothing) {
    host.settings().closeProtectionApps = {app("Mail")};
    host.pageState().closeProtectionSelection = app("Mail");
    host.scriptedDialogs().answerApplicationChoice(std::nullopt);
    closeProtectionList(*page()).onAdd();
    EXPECT_EQ(host.settings().closeProtectionApps, (std::vector<CloseProtectionApp>{app("Mail")}));
    EXPECT_EQ(host.pageState().closeProtectionSelection, app("Mail"));
    EXPECT_EQ(host.changes, 0);
    EXPECT_EQ(host.rebuilds, 0);
    EXPECT_TRUE(host.scriptedDialogs().allAnswersUsed());
}

TEST_F(CloseProtectionPageTest, SelectionIsKeptAcrossRebuildsAndClearedByRemoval) {
    host.settings().closeProtectionApps = {app("A", std::nullopt, "/a"), app("B"),
                                           app("A", std::nullopt, "/a")};
    const auto form = page();
    const CloseProtectionListSpec& list = closeProtectionList(*form);
    EXPECT_FALSE(list.selectedRow);
    list.onSelect(app("A", std::nullopt, "/a"));
    EXPECT_EQ(host.pageState().closeProtectionSelection, app("A", std::nullopt, "/a"));
    EXPECT_EQ(host.changes, 0) << "selecting saves nothing";
    EXPECT_EQ(closeProtectionList(*page()).selectedRow, std::optional<std::size_t>(0));

    list.onRemove(app("A", std::nullopt, "/a"));
    EXPECT_EQ(host.settings().closeProtectionApps, (std::vector<CloseProtectionApp>{app("B")}));
    EXPECT_FALSE(host.pageState().closeProtectionSelection);
    EXPECT_EQ(host.changes, 1);
    EXPECT_EQ(host.rebuilds, 1);

    list.onSelect(std::nullopt);
    EXPECT_FALSE(host.pageState().closeProtectionSelection);
    // A selection the list no longer holds selects no row.
    host.pageState().closeProtectionSelection = app("Gone");
    EXPECT_FALSE(closeProtectionList(*page()).selectedRow);
}

// --- Gestures

TEST(SwitcherDesktopPagesTest, GestureSwitchesOverTwoKeys) {
    struct Case {
        const char* title;
        bool first;
        bool second;
        bool shown;
    };
    const std::vector<Case> cases{
        {"四指捏合打开启动台", false, false, false},   {"四指捏合打开启动台", true, false, true},
        {"四指捏合打开启动台", false, true, true},     {"四指捏合打开启动台", true, true, true},
        {"左右滑切换已开启应用", false, false, false}, {"左右滑切换已开启应用", true, false, false},
        {"左右滑切换已开启应用", false, true, false},  {"左右滑切换已开启应用", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.title) + " " + std::to_string(c.first) +
                     std::to_string(c.second));
        const bool pinch = std::string_view(c.title) == "四指捏合打开启动台";
        bool TaskbarSettings::*first = pinch ? &TaskbarSettings::startMenuGestureEnabled
                                             : &TaskbarSettings::advancedGestureSwipeLeftEnabled;
        bool TaskbarSettings::*second = pinch ? &TaskbarSettings::nativeDockLauncherGestureEnabled
                                              : &TaskbarSettings::advancedGestureSwipeRightEnabled;
        RecordingPageHost host;
        host.settings().*first = c.first;
        host.settings().*second = c.second;
        const auto form = makeAdvancedGesturesSettingsView(host);
        const SwitchControl& toggle = switchOf(*form, c.title);
        EXPECT_EQ(toggle.isOn, c.shown);
        toggle.action(!c.shown);
        EXPECT_EQ(host.settings().*first, !c.shown);
        EXPECT_EQ(host.settings().*second, !c.shown);
        EXPECT_EQ(host.changes, 1);
    }
}

TEST(SwitcherDesktopPagesTest, SwipeDownActionShowsAndStoresItsCode) {
    using Action = AdvancedGestureSwipeDownAction;
    for (const auto& [stored, shown] :
         std::vector<std::pair<std::int64_t, int>>{{0, 0}, {1, 1}, {2, 2}, {7, 0}}) {
        RecordingPageHost host;
        host.settings().advancedGestureSwipeDownAction = static_cast<Action>(stored);
        EXPECT_EQ(segmentOf(*makeAdvancedGesturesSettingsView(host), "触发动作").selected, shown)
            << stored;
    }
    for (const auto& [index, stored] :
         std::vector<std::pair<int, Action>>{{2, Action::minimizeOtherWindows},
                                             {1, Action::minimizeAllWindows},
                                             {0, Action::minimizeCurrentWindow},
                                             {9, Action::minimizeCurrentWindow}}) {
        RecordingPageHost host;
        host.settings().advancedGestureSwipeDownAction = stored == Action::minimizeAllWindows
                                                             ? Action::minimizeOtherWindows
                                                             : Action::minimizeAllWindows;
        segmentOf(*makeAdvancedGesturesSettingsView(host), "触发动作").action(index);
        EXPECT_EQ(host.settings().advancedGestureSwipeDownAction, stored) << index;
    }
}

// --- Desktop corner

TEST(SwitcherDesktopPagesTest, DesktopCornerWritesTheShownThemesRecord) {
    for (const TaskbarTheme theme : {TaskbarTheme::windows, TaskbarTheme::liquidGlass}) {
        RecordingPageHost host;
        host.settings().theme = theme;
        const bool before = host.settings().profile(theme).enableDesktopCornerShortcut;
        const TaskbarTheme other =
            theme == TaskbarTheme::windows ? TaskbarTheme::liquidGlass : TaskbarTheme::windows;
        const bool otherBefore = host.settings().profile(other).enableDesktopCornerShortcut;
        switchOf(*makeDesktopCornerSettingsView(host), "启用右下角隐藏所有窗口").action(!before);
        EXPECT_EQ(host.settings().profile(theme).enableDesktopCornerShortcut, !before);
        EXPECT_EQ(host.settings().profile(other).enableDesktopCornerShortcut, otherBefore);
    }
}

// --- Desktop files: the two switches exclude each other

TEST(SwitcherDesktopPagesTest, DesktopFileSwitchRules) {
    struct Case {
        const char* name;
        bool alwaysHide;
        bool doubleClick;
        const char* row;
        bool turnOn;
        const char* answer;  // nullptr: no question
        bool alwaysHideAfter;
        bool doubleClickAfter;
        int changes;
        int rebuilds;
    };
    const std::vector<Case> cases{
        {"always hide confirmed", false, true, "一直隐藏桌面文件", true, "确认", true, false, 1, 1},
        {"always hide cancelled", false, true, "一直隐藏桌面文件", true, "取消", false, true, 0, 1},
        {"always hide off", true, false, "一直隐藏桌面文件", false, nullptr, false, false, 1, 1},
        {"double click on while hidden", true, false, "双击隐藏桌面文件", true, nullptr, true,
         false, 0, 1},
        {"double click on", false, false, "双击隐藏桌面文件", true, nullptr, false, true, 1, 0},
        {"double click off", false, true, "双击隐藏桌面文件", false, nullptr, false, false, 1, 0},
        {"double click off while hidden", true, true, "双击隐藏桌面文件", false, nullptr, true,
         false, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPageHost host;
        host.settings().alwaysHideDesktopFiles = c.alwaysHide;
        host.settings().enableDesktopIconDoubleClickToggle = c.doubleClick;
        if (c.answer) host.scriptedDialogs().answer(c.answer);
        switchOf(*makeDesktopIconSettingsView(host), c.row).action(c.turnOn);
        EXPECT_EQ(host.settings().alwaysHideDesktopFiles, c.alwaysHideAfter);
        EXPECT_EQ(host.settings().enableDesktopIconDoubleClickToggle, c.doubleClickAfter);
        EXPECT_EQ(host.changes, c.changes);
        EXPECT_EQ(host.rebuilds, c.rebuilds);
        EXPECT_EQ(host.scriptedDialogs().asked.size(), c.answer ? 1u : 0u);
        EXPECT_TRUE(host.scriptedDialogs().allAnswersUsed());
    }
    RecordingPageHost host;
    host.scriptedDialogs().answer("取消");
    switchOf(*makeDesktopIconSettingsView(host), "一直隐藏桌面文件").action(true);
    ASSERT_EQ(host.scriptedDialogs().asked.size(), 1u);
    const platform::ModalAlert& alert = host.scriptedDialogs().asked.front();
    EXPECT_EQ(alert.message, "一直隐藏桌面文件");
    EXPECT_EQ(alert.informativeText, "开启后桌面内容将隐藏，关闭开关后可恢复显示，请确认");
    EXPECT_EQ(alert.buttons, (std::vector<std::string>{"确认", "取消"}));
}

// Declining the confirmation writes nothing: the document keeps its bytes and its file.
TEST(SwitcherDesktopPagesTest, DecliningAlwaysHideLeavesTheDocumentAsItWas) {
    platform::ManualMainQueue queue;
    platform::FakeNotificationCenter center{queue};
    test::DelegateHarness harness(test::scratchDirectory("desktop-files"), center, queue);
    TaskbarSettings start;
    start.enableDesktopIconDoubleClickToggle = true;
    ASSERT_TRUE(start.save(harness.environment).ok());
    harness.delegate->applicationDidFinishLaunching();
    queue.runReady();
    const auto bytes = test::fileBytes(harness.settingsFile());
    const auto inode = test::inodeOf(harness.settingsFile());
    ASSERT_TRUE(bytes);

    RecordingPageHost host;
    host.settings() = *harness.window->panel;
    host.onChange = [&](const TaskbarSettings& edited) {
        harness.window->callbacks.onChange(edited);
    };
    host.scriptedDialogs().answer("取消");
    switchOf(*makeDesktopIconSettingsView(host), "一直隐藏桌面文件").action(true);
    queue.runReady();
    EXPECT_EQ(test::fileBytes(harness.settingsFile()), bytes);
    EXPECT_EQ(test::inodeOf(harness.settingsFile()), inode);

    // Confirmed, both keys change in one save.
    host.scriptedDialogs().answer("确认");
    switchOf(*makeDesktopIconSettingsView(host), "一直隐藏桌面文件").action(true);
    TaskbarSettings saved;
    saved.load(harness.environment);
    EXPECT_TRUE(saved.alwaysHideDesktopFiles);
    EXPECT_FALSE(saved.enableDesktopIconDoubleClickToggle);
}

// --- Screen corners

TEST(SwitcherDesktopPagesTest, ScreenCornerSwitchesRebuildAndTheRadiusStoresWholePoints) {
    for (const char* title : {"顶部屏幕圆角", "底部屏幕圆角", "隐藏屏幕刘海"}) {
        RecordingPageHost host;
        const auto form = makeScreenCornersSettingsView(host);
        const SwitchControl& toggle = switchOf(*form, title);
        toggle.action(!toggle.isOn);
        EXPECT_EQ(host.rebuilds, 1) << title;
    }
    struct Case {
        double moved;
        double stored;
    };
    for (const Case& c : {Case{18.6, 19}, Case{18.4, 18}, Case{-3, 0}, Case{95, 80}, Case{0, 0}}) {
        RecordingPageHost host;
        const auto form = makeScreenCornersSettingsView(host);
        const SliderControl& radius = sliderOf(*form, "圆角半径");
        EXPECT_DOUBLE_EQ(shownValue(radius), 19) << "the default radius";
        moveSlider(radius, c.moved);
        EXPECT_DOUBLE_EQ(host.settings().hideNotchCornerRadius, c.stored) << c.moved;
        EXPECT_EQ(host.rebuilds, 0) << "the radius redraws the pictures, it does not rebuild";
        EXPECT_EQ(host.changes, 1);
    }
}

}  // namespace
}  // namespace tavrel
