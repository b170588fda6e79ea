// The taskbar sub-pages "图标", "标识" and "预览窗口" on their form models with a recording host:
// the rows each shows, the rules of their actions, and the exclusion list.

#include "core/settings_pages/taskbar_subpages.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/form/slider_rule.h"
#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/list_rows.h"
#include "tests/settings_app/form_model_support.h"
#include "tests/settings_app/recording_page_host.h"

namespace tavrel {
namespace {

using test::control;
using test::layout;
using test::RecordingPageHost;
using C = TaskbarThemeConfiguration;

TaskbarSettings withTheme(TaskbarTheme theme) {
    TaskbarSettings settings;
    settings.theme = theme;
    return settings;
}

// --- "图标"

TEST(IconSettingsPageTest, RowsBySectionForEachThemeAndTitleSwitch) {
    const std::vector<std::string> common{
        "图标 / 多个窗口多个图标", "图标 / 显示黑色分割线",
        "图标 / 图标大小",         "图标 / 图标间距",
        "图标 / 圆形图标",         "悬停放大 / 启用原生 Dock 放大",
        "悬停放大 / 放大幅度",     "悬停放大 / 已启动图标点击动画",
        "悬停放大 / 按下变暗强度", "悬停外框 / 显示悬停外框",
        "悬停外框 / 悬停外框颜色", "悬停外框 / 悬停外框宽度"};
    const std::vector<std::string> titles{"多窗口标题 / 显示窗口标题", "多窗口标题 / 标题字号",
                                          "多窗口标题 / 标题背景宽度", "多窗口标题 / 标题背景圆角"};
    const std::string empty = "不在任务栏显示的应用 / 暂无排除的应用";
    struct Case {
        const char* name;
        TaskbarTheme theme;
        bool windowTitles;
        std::vector<std::string> extra;  // between the common rows and the list
    };
    for (const Case& c :
         {Case{"WindowsWithTitles", TaskbarTheme::windows, true, titles},
          Case{"WindowsWithoutTitles", TaskbarTheme::windows, false, {"多窗口标题 / 显示窗口标题"}},
          Case{"LiquidGlassHasNoTitleSection", TaskbarTheme::liquidGlass, true, {}}}) {
        SCOPED_TRACE(c.name);
        RecordingPageHost host;
        host.settings() = withTheme(c.theme);
        host.settings().profile(c.theme).enableIconMagnification = true;
        host.settings().profile(c.theme).enableWindowTitles = c.windowTitles;
        std::vector<std::string> expected = common;
        expected.insert(expected.end(), c.extra.begin(), c.extra.end());
        expected.push_back(empty);
        EXPECT_EQ(layout(*makeIconSettingsView(host)), expected);
    }
}

TEST(IconSettingsPageTest, IconSizeStaysWithinTheShownThemesHeight) {
    struct Case {
        double height;
        double chosen;
        double stored;
    };
    for (const Case& c : {Case{48, 60, 40}, Case{48, 30, 30}, Case{120, 82, 82}}) {
        RecordingPageHost host;
        host.settings() = withTheme(TaskbarTheme::windows);
        host.settings().windowsProfile.taskbarHeight = c.height;
        host.settings().liquidGlassProfile.taskbarHeight = 30;
        const auto form = makeIconSettingsView(host);
        // The page keeps editing the theme it shows.
        host.settings().theme = TaskbarTheme::liquidGlass;
        control<SliderControl>(*form, "图标大小").action(c.chosen);
        EXPECT_EQ(host.settings().windowsProfile.iconSize, c.stored) << c.height << " " << c.chosen;
        EXPECT_EQ(host.settings().liquidGlassProfile.iconSize,
                  TaskbarSettings().liquidGlassProfile.iconSize);
    }
}

TEST(IconSettingsPageTest, MagnificationSwitchStartsAtFullAmountAndRebuilds) {
    struct Case {
        double storedAmount;
        bool on;
        double amountAfter;
    };
    for (const Case& c :
         {Case{0, true, 100}, Case{-3, true, 100}, Case{40, true, 40}, Case{0, false, 0}}) {
        SCOPED_TRACE(c.storedAmount);
        RecordingPageHost host;
        host.settings() = withTheme(TaskbarTheme::windows);
        C& record = host.settings().windowsProfile;
        record.enableIconMagnification = !c.on;
        record.iconMagnificationAmount = c.storedAmount;
        control<SwitchControl>(*makeIconSettingsView(host), "启用原生 Dock 放大").action(c.on);
        EXPECT_EQ(record.enableIconMagnification, c.on);
        EXPECT_EQ(record.iconMagnificationAmount, c.amountAfter);
        EXPECT_EQ(host.calls,
                  (std::vector<std::string>{"storePageScrollOrigin", "notifyChange", "rebuild"}));
        EXPECT_EQ(makeIconSettingsView(host)->row("放大幅度") != nullptr, c.on);
    }
}

TEST(IconSettingsPageTest, AmountShowsUnsetAsFullAndStoresWithinOneToHundred) {
    struct Case {
        double stored;
        double shown;
    };
    for (const Case& c : {Case{0, 100}, Case{-5, 100}, Case{55, 55}}) {
        RecordingPageHost host;
        host.settings() = withTheme(TaskbarTheme::windows);
        host.settings().windowsProfile.enableIconMagnification = true;
        host.settings().windowsProfile.iconMagnificationAmount = c.stored;
        EXPECT_EQ(control<SliderControl>(*makeIconSettingsView(host), "放大幅度").value, c.shown);
    }
    RecordingPageHost host;
    host.settings() = withTheme(TaskbarTheme::windows);
    host.settings().windowsProfile.enableIconMagnification = true;
    const auto form = makeIconSettingsView(host);
    const auto& amount = control<SliderControl>(*form, "放大幅度");
    EXPECT_EQ(amount.range.min, 20);
    EXPECT_EQ(amount.range.max, 100);
    for (const auto& [chosen, stored] : {std::pair{0.2, 1.0}, {150.0, 100.0}, {64.0, 64.0}}) {
        amount.action(chosen);
        EXPECT_EQ(host.settings().windowsProfile.iconMagnificationAmount, stored) << chosen;
    }
}

TEST(IconSettingsPageTest, SegmentsAndInvertedSwitchStoreTheirCodes) {
    RecordingPageHost host;
    host.settings() = withTheme(TaskbarTheme::windows);
    C& record = host.settings().windowsProfile;
    record.runningIconClickAnimation = 7;  // no such choice: shown as "关闭"
    record.mergeAppWindowsInPreview = false;
    const auto form = makeIconSettingsView(host);
    const auto& animation = control<SegmentControl>(*form, "已启动图标点击动画");
    EXPECT_EQ(animation.labels, (std::vector<std::string>{"关闭", "点击缩放"}));
    EXPECT_EQ(animation.selected, 0);
    for (const auto& [index, stored] : {std::pair{1, 1}, {0, 0}, {1, 1}}) {
        animation.action(index);
        EXPECT_EQ(record.runningIconClickAnimation, stored) << index;
    }

    const auto& separate = control<SwitchControl>(*form, "多个窗口多个图标");
    EXPECT_TRUE(separate.isOn);  // not merged
    separate.action(false);
    EXPECT_TRUE(record.mergeAppWindowsInPreview);
}

TEST(IconSettingsPageTest, WindowTitleSwitchRebuildsOnlyWithTheWindowsTheme) {
    RecordingPageHost host;
    host.settings() = withTheme(TaskbarTheme::windows);
    host.settings().windowsProfile.enableWindowTitles = false;
    control<SwitchControl>(*makeIconSettingsView(host), "显示窗口标题").action(true);
    EXPECT_TRUE(host.settings().windowsProfile.enableWindowTitles);
    EXPECT_EQ(host.rebuilds, 1);
    const auto rebuilt = makeIconSettingsView(host);
    for (const char* title : {"标题字号", "标题背景宽度", "标题背景圆角"}) {
        EXPECT_NE(rebuilt->row(title), nullptr) << title;
    }
    EXPECT_EQ(control<SliderControl>(*rebuilt, "标题背景宽度").range.min, 64);
}

TaskbarExcludedApplication excluded(std::optional<std::string> bundle,
                                    std::optional<std::string> path, std::string name) {
    return TaskbarExcludedApplication{std::move(bundle), std::move(path), std::move(name)};
}

TEST(IconSettingsPageTest, ExcludedApplicationRowsRestoreTheirOwnEntry) {
    RecordingPageHost host;
    auto& list = host.settings().taskbarExcludedApplications;
    list = {excluded("com.apple.Safari", "/Applications/Safari.app", "Safari"),
            excluded(std::nullopt, "/opt/Tool.app", "Tool"),
            excluded("org.gnome.Nautilus.desktop", std::nullopt, "文件")};
    const auto form = makeIconSettingsView(host);
    EXPECT_EQ(form->row("暂无排除的应用"), nullptr);
    const FormRow* tool = form->row("Tool");
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(form->sectionOfRow("Tool")->title, "不在任务栏显示的应用");
    EXPECT_TRUE(tool->detail.empty());
    const auto& parts = std::get<CompoundControl>(tool->control).parts;
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(std::get<CompoundIcon>(parts[0]).icon, (FormIcon{"/opt/Tool.app", "", "app"}));
    EXPECT_EQ(std::get<CompoundIcon>(parts[0]).size, 28);
    EXPECT_EQ(std::get<CompoundButton>(parts[1]).title, "恢复显示");

    std::get<CompoundButton>(parts[1]).action();
    EXPECT_EQ(list, (ExcludedApplications{
                        excluded("com.apple.Safari", "/Applications/Safari.app", "Safari"),
                        excluded("org.gnome.Nautilus.desktop", std::nullopt, "文件")}));
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"storePageScrollOrigin", "notifyChange", "rebuild"}));

    // Restoring the last one leaves only the empty row.
    list = {excluded("com.apple.Safari", std::nullopt, "Safari")};
    const auto last = makeIconSettingsView(host);
    std::get<CompoundButton>(std::get<CompoundControl>(last->row("Safari")->control).parts[1])
        .action();
    EXPECT_TRUE(list.empty());
    EXPECT_NE(makeIconSettingsView(host)->row("暂无排除的应用"), nullptr);
}

TEST(ExcludedApplicationTest, RemovalMatchesTheSameApplicationOnly) {
    const auto safari = excluded("com.apple.Safari", "/Applications/Safari.app", "Safari");
    const auto anonymousA = excluded(std::nullopt, std::nullopt, "A");
    const auto anonymousB = excluded(std::nullopt, std::string(), "B");
    struct Case {
        const char* name;
        ExcludedApplications list;
        TaskbarExcludedApplication restored;
        bool removed;
        ExcludedApplications after;
    };
    const std::vector<Case> cases{
        {"bundle identifiers compare without case",
         {safari, anonymousA},
         excluded("COM.APPLE.SAFARI", std::nullopt, "Other name"),
         true,
         {anonymousA}},
        {"paths compare standardised",
         {excluded(std::nullopt, "/opt/Tool.app", "Tool"), safari},
         excluded(std::nullopt, "/opt/./Tool.app/", "Tool"),
         true,
         {safari}},
        {"only the first of two equal entries", {safari, safari}, safari, true, {safari}},
        // Two entries without identifier or path are not the same application: the one
        // restored goes, not the first that merely lacks both.
        {"an anonymous entry removes the one equal to it",
         {anonymousA, anonymousB},
         anonymousB,
         true,
         {anonymousA}},
        {"an anonymous entry that is not there removes nothing",
         {anonymousA},
         excluded(std::nullopt, std::nullopt, "C"),
         false,
         {anonymousA}},
        {"an entry gone meanwhile removes nothing",
         {safari},
         excluded("x.y", std::nullopt, "X"),
         false,
         {safari}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExcludedApplications list = c.list;
        EXPECT_EQ(removeExcludedApplication(list, c.restored), c.removed);
        EXPECT_EQ(list, c.after);
    }
}

// --- "标识"

TEST(IndicatorSettingsPageTest, TwelveRowsEachWritingOnlyItsKey) {
    RecordingPageHost host;
    host.settings() = withTheme(TaskbarTheme::liquidGlass);
    host.settings().taskbarRunningIndicatorEnabled = false;
    const auto form = makeIndicatorSettingsView(host);
    EXPECT_EQ(
        layout(*form),
        (std::vector<std::string>{
            "运行窗口小横点 / 显示运行指示条", "运行窗口小横点 / 长度", "运行窗口小横点 / 高度",
            "运行窗口小横点 / 距外侧边框", "运行窗口小横点 / 浅色系统下的颜色",
            "运行窗口小横点 / 深色系统下的颜色", "激活窗口小横条 / 显示激活指示条",
            "激活窗口小横条 / 长度", "激活窗口小横条 / 高度", "激活窗口小横条 / 距外侧边框",
            "激活窗口小横条 / 浅色系统下的颜色", "激活窗口小横条 / 深色系统下的颜色"}));
    // The switch off does not hide the rows below it, and the rows of the two sections with
    // the same titles edit their own keys.
    const auto rows = form->rows();
    const auto& runningWidth = std::get<SliderControl>(rows[1]->control);
    const auto& activeWidth = std::get<SliderControl>(rows[7]->control);
    EXPECT_EQ(runningWidth.range.min, 3);
    EXPECT_EQ(runningWidth.range.max, 18);
    EXPECT_EQ(activeWidth.range.min, 8);
    EXPECT_EQ(activeWidth.range.max, 42);
    runningWidth.action(9);
    activeWidth.action(30);
    EXPECT_EQ(host.settings().liquidGlassProfile.runningIndicatorWidth, 9);
    EXPECT_EQ(host.settings().liquidGlassProfile.activeIndicatorWidth, 30);
    EXPECT_EQ(host.rebuilds, 0);
    std::get<ColorControl>(rows[11]->control).action(FormColor{0.25, 0.5, 0.75, 0.5});
    EXPECT_EQ(host.settings().liquidGlassProfile.activeIndicatorDarkColor,
              (CodableColor{0.25, 0.5, 0.75, 0.5}));
}

// --- "预览窗口"

TEST(PreviewSettingsPageTest, BannerThenTwelveRowsThatNeverRebuild) {
    RecordingPageHost host;
    host.settings().enableTaskbarWindowPreview = false;
    const auto form = makePreviewSettingsView(host);
    const auto* banner = std::get_if<CustomViewSpec>(&form->items().front());
    ASSERT_NE(banner, nullptr);
    const auto& spec = std::any_cast<const PermissionBannerSpec&>(banner->data);
    EXPECT_EQ(spec.permission, PermissionKind::screenRecording);
    EXPECT_EQ(spec.message, "未开启屏幕录制权限时自动使用简洁预览；开启权限后可显示窗口截图。");
    EXPECT_EQ(
        layout(*form),
        (std::vector<std::string>{
            "预览窗口 / 显示窗口预览", "预览窗口 / 预览样式", "预览窗口 / 仅多窗口应用显示预览",
            "预览窗口 / 悬停展示窗口", "预览窗口 / 预览窗口大小", "预览窗口 / 触发延迟",
            "预览窗口 / 距任务栏", "预览窗口 / 玻璃通透度", "预览窗口 / 预览窗口圆角",
            "预览窗口 / 窗口截图圆角", "边框 / 边框宽度", "边框 / 边框颜色"}));
    for (const FormRow* row : form->rows()) {
        if (const auto* toggle = std::get_if<SwitchControl>(&row->control)) {
            EXPECT_TRUE(toggle->isEnabled) << row->title;
            toggle->action(!toggle->isOn);
        } else if (const auto* slider = std::get_if<SliderControl>(&row->control)) {
            slider->action(slider->range.max);
        }
    }
    EXPECT_EQ(host.rebuilds, 0);
}

TEST(PreviewSettingsPageTest, ScaleShowsPercentInStepsOfFiveAndStoresAFactor) {
    struct Shown {
        double stored;
        double percent;
    };
    for (const Shown& c : {Shown{1.23, 125}, Shown{0.1, 30}, Shown{0.3, 30}, Shown{2.5, 200},
                           Shown{0.9, 90}, Shown{1.224, 120}}) {
        RecordingPageHost host;
        host.settings() = withTheme(TaskbarTheme::windows);
        host.settings().windowsProfile.previewScale = c.stored;
        const auto form = makePreviewSettingsView(host);
        const auto& scale = control<SliderControl>(*form, "预览窗口大小");
        EXPECT_EQ(scale.value, c.percent) << c.stored;
        EXPECT_EQ(scale.valueFormatter(scale.value), formatWholeNumber(c.percent) + "%");
        EXPECT_EQ(scale.range.step, 5);
    }
    RecordingPageHost host;
    host.settings() = withTheme(TaskbarTheme::windows);
    const auto form = makePreviewSettingsView(host);
    const auto& scale = control<SliderControl>(*form, "预览窗口大小");
    scale.action(35);
    EXPECT_DOUBLE_EQ(host.settings().windowsProfile.previewScale, 0.35);
    EXPECT_EQ(host.settings().liquidGlassProfile.previewScale,
              TaskbarSettings().liquidGlassProfile.previewScale);
}

TEST(PreviewSettingsPageTest, StyleIndexOneIsCompactAndAnyOtherStandard) {
    RecordingPageHost host;
    host.settings().taskbarPreviewStyle = WindowPreviewStyle::compact;
    const auto form = makePreviewSettingsView(host);
    const auto& style = control<SegmentControl>(*form, "预览样式");
    EXPECT_EQ(style.labels, (std::vector<std::string>{"标准", "简洁"}));
    EXPECT_EQ(style.selected, 1);
    for (const auto& [index, stored] : {std::pair{0, WindowPreviewStyle::standard},
                                        {1, WindowPreviewStyle::compact},
                                        {5, WindowPreviewStyle::standard},
                                        {1, WindowPreviewStyle::compact},
                                        {-1, WindowPreviewStyle::standard}}) {
        style.action(index);
        EXPECT_EQ(host.settings().taskbarPreviewStyle, stored) << index;
    }
}

TEST(PreviewSettingsPageTest, CornerRadiiAreClampedAndDelayStoredAsIs) {
    RecordingPageHost host;
    host.settings() = withTheme(TaskbarTheme::liquidGlass);
    const auto form = makePreviewSettingsView(host);
    control<SliderControl>(*form, "预览窗口圆角").action(140);
    control<SliderControl>(*form, "窗口截图圆角").action(-3);
    control<SliderControl>(*form, "触发延迟").action(42.5);
    EXPECT_EQ(host.settings().liquidGlassProfile.previewCornerRadius, 100);
    EXPECT_EQ(host.settings().liquidGlassProfile.previewThumbnailCornerRadius, 0);
    EXPECT_EQ(host.settings().taskbarPreviewHoverDelayMilliseconds, 42.5);
}

}  // namespace
}  // namespace tavrel
