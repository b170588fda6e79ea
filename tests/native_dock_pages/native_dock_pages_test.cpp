// The native Dock pages on the form model with a recording host (no window): the tab row, the
// rows and rules of the four tabs, the hide-native-Dock page, and the Dock change as the
// application wires it, completing into the window that is open.

#include "core/settings_pages/native_dock_pages.h"

#include <any>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/form/slider_rule.h"
#include "core/native_dock/native_dock_alerts.h"
#include "core/notifications/notification_names.h"
#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/music_widget_settings.h"
#include "core/settings_pages/native_dock_visibility_bridge.h"
#include "core/settings_pages/page_registry.h"
#include "platform/fake/recording_process_runner.h"
#include "tests/native_dock/native_dock_fakes.h"
#include "tests/platform_posix/temporary_directory.h"
#include "tests/settings_app/form_model_support.h"
#include "tests/settings_app/recording_page_host.h"

namespace tavrel {
namespace {

using Json = nlohmann::json;
using test::control;
using test::RecordingPageHost;

std::string kindOf(const FormRow& row) {
    return std::visit(
        [](const auto& control) -> std::string {
            using C = std::decay_t<decltype(control)>;
            if constexpr (std::is_same_v<C, SwitchControl>) return "switch";
            if constexpr (std::is_same_v<C, SliderControl>) return "slider";
            if constexpr (std::is_same_v<C, SegmentControl>) return "segment";
            if constexpr (std::is_same_v<C, ColorControl>) return "colour";
            if constexpr (std::is_same_v<C, ButtonControl>) return "button";
            if constexpr (std::is_same_v<C, InfoBlockControl>) return "info";
            return "custom";
        },
        row.control);
}

// Every row of a form as "section / kind / title", plus the slider ranges.
struct RowShape {
    std::string section;
    std::string kind;
    std::string title;
    double min = 0, max = 0, step = 0;
    friend bool operator==(const RowShape&, const RowShape&) = default;
};

void PrintTo(const RowShape& shape, std::ostream* out) {
    *out << shape.section << " / " << shape.kind << " / " << shape.title;
    if (shape.kind == "slider")
        *out << " [" << shape.min << ", " << shape.max << "] step " << shape.step;
}

void collectShapes(const FormContent& form, std::vector<RowShape>& shapes) {
    for (const FormItem& item : form.items()) {
        if (const auto* section = std::get_if<FormSection>(&item)) {
            for (const FormRow& row : section->rows) {
                RowShape shape{section->title, kindOf(row), row.title};
                if (const auto* slider = std::get_if<SliderControl>(&row.control)) {
                    shape.min = slider->range.min;
                    shape.max = slider->range.max;
                    shape.step = slider->range.step;
                }
                shapes.push_back(shape);
            }
        } else if (const auto* inner = std::get_if<std::shared_ptr<FormContent>>(&item)) {
            collectShapes(**inner, shapes);
        }
    }
}

std::vector<RowShape> shapes(const FormContent& form) {
    std::vector<RowShape> all;
    collectShapes(form, all);
    return all;
}

RowShape sw(std::string section, std::string title) {
    return {std::move(section), "switch", std::move(title)};
}
RowShape slider(std::string section, std::string title, double min, double max, double step = 0) {
    return {std::move(section), "slider", std::move(title), min, max, step};
}
RowShape row(std::string section, std::string kind, std::string title) {
    return {std::move(section), std::move(kind), std::move(title)};
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// --- The tab row

TEST(NativeDockPageTest, TabRowSelectsOneOfFourTabsAndKeepsTheChoiceAcrossBuilds) {
    struct Case {
        int storedTab;
        int shownTab;
        const char* firstSection;
    };
    for (const Case& c :
         {Case{0, 0, "原生 Dock 增强"}, Case{1, 1, "应用分组"}, Case{2, 2, "原生 Dock 小组件"},
          Case{3, 3, "应用最小化"}, Case{-1, 0, "原生 Dock 增强"}, Case{4, 0, "原生 Dock 增强"}}) {
        SCOPED_TRACE(c.storedTab);
        std::filesystem::remove(NativeDockFolderSettingsStore::defaultFileURL());
        RecordingPageHost host;
        host.feature = FeaturePage::nativeDock;
        // A value only a broken caller could store still shows a tab.
        host.pageState().nativeDockSettingsTab = c.storedTab;
        const auto form = makeFeaturePageForm(FeaturePage::nativeDock, host);
        ASSERT_FALSE(form->items().empty());
        const auto* tabs = std::get_if<CenteredSegment>(&form->items().front());
        ASSERT_NE(tabs, nullptr) << "the tab row comes first";
        EXPECT_EQ(tabs->segment.labels,
                  (std::vector<std::string>{"窗口预览", "应用分组", "小组件", "应用最小化"}));
        EXPECT_EQ(tabs->segment.selected, c.shownTab);
        ASSERT_FALSE(shapes(*form).empty());
        EXPECT_EQ(shapes(*form).front().section, c.firstSection);
    }

    // Choosing a tab stores it and rebuilds; nothing is saved.
    RecordingPageHost host;
    const auto form = makeNativeDockSettingsView(host);
    std::get<CenteredSegment>(form->items().front()).segment.action(2);
    EXPECT_EQ(host.pageState().nativeDockSettingsTab, 2);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"endTextEditing", "rebuild"}));
    EXPECT_EQ(host.changes, 0);
    EXPECT_EQ(shapes(*makeNativeDockSettingsView(host)).front().section, "原生 Dock 小组件");
}

// --- Tab 0

TEST(NativeDockPageTest, PreviewTabHasTheBannerThenEveryRowInOrder) {
    RecordingPageHost host;
    const auto form = makeNativeDockWindowPreviewSettingsView(host);

    const auto* banner = std::get_if<CustomViewSpec>(&form->items().front());
    ASSERT_NE(banner, nullptr);
    ASSERT_EQ(banner->kind, PermissionBannerSpec::kind);
    const auto& spec = std::any_cast<const PermissionBannerSpec&>(banner->data);
    EXPECT_EQ(spec.permission, PermissionKind::screenRecording);
    EXPECT_EQ(spec.message, "未开启屏幕录制权限时自动使用简洁预览；开启权限后可显示窗口截图。");

    const std::string dock = "原生 Dock 增强", hover = "悬停指示条", active = "激活指示条",
                      preview = "窗口预览", border = "边框";
    EXPECT_EQ(shapes(*form), (std::vector<RowShape>{
                                 sw(dock, "启用原生 Dock 增强"),
                                 sw(hover, "启用悬停指示条"),
                                 slider(hover, "悬停条距图标", -80, 80),
                                 slider(hover, "悬停条高度", 1, 20),
                                 slider(hover, "悬停条宽度", 2, 120),
                                 row(hover, "colour", "悬停条颜色"),
                                 sw(active, "启用激活指示条"),
                                 slider(active, "激活条距屏幕边缘", 0, 80),
                                 slider(active, "激活条高度", 1, 20),
                                 slider(active, "激活条宽度", 2, 120),
                                 row(active, "colour", "激活条颜色"),
                                 sw(preview, "启用窗口预览"),
                                 row(preview, "segment", "预览样式"),
                                 sw(preview, "仅多窗口应用显示预览"),
                                 slider(preview, "预览窗口大小", 30, 200, 5),
                                 slider(preview, "触发延迟", 0, 100),
                                 slider(preview, "距图标", 0, 200),
                                 slider(preview, "玻璃通透度", 0, 1),
                                 slider(preview, "预览窗口圆角", 0, 100),
                                 slider(preview, "窗口截图圆角", 0, 100),
                                 slider(border, "边框宽度", 0, 4),
                                 row(border, "colour", "边框颜色"),
                             }));

    // The switches never grey out: the help texts state the dependency on the master switch.
    host.settings().nativeDockEnhancementsEnabled = false;
    const auto withoutMaster = makeNativeDockWindowPreviewSettingsView(host);
    for (const FormRow* r : withoutMaster->rows()) {
        if (const auto* toggle = std::get_if<SwitchControl>(&r->control)) {
            EXPECT_TRUE(toggle->isEnabled) << r->title;
        }
    }
    EXPECT_EQ(form->row("启用悬停指示条")->detail,
              "需同时开启“原生 Dock 增强”总开关；鼠标移入原生 Dock "
              "图标时，在图标外侧显示小横条。");
    EXPECT_EQ(form->row("预览窗口大小")->detail,
              "按百分比整体缩放原生 Dock 窗口预览，截图、文字、按钮、背景与圆角同步等比缩放。");
}

TEST(NativeDockPageTest, PreviewTabControlsWriteTheirKeyAndSaveWithoutRebuilding) {
    const FormColor red{1, 0, 0, 0.5};
    struct Case {
        const char* title;
        std::function<void(const FormRow&)> act;
        std::function<bool(const TaskbarSettings&)> written;
    };
    const auto flip = [](const FormRow& r) { std::get<SwitchControl>(r.control).action(false); };
    const auto slide = [](double value) {
        return [value](const FormRow& r) { std::get<SliderControl>(r.control).action(value); };
    };
    const auto paint = [red](const FormRow& r) { std::get<ColorControl>(r.control).action(red); };
    const CodableColor stored{1, 0, 0, 0.5};
    const std::vector<Case> cases{
        {"启用悬停指示条", flip, [](auto& s) { return !s.nativeDockHoverIndicatorEnabled; }},
        {"悬停条距图标", slide(-33.5),
         [](auto& s) { return s.nativeDockHoverIndicatorGap == -33.5; }},
        {"悬停条高度", slide(7), [](auto& s) { return s.nativeDockHoverIndicatorHeight == 7; }},
        {"悬停条宽度", slide(99), [](auto& s) { return s.nativeDockHoverIndicatorWidth == 99; }},
        {"悬停条颜色", paint,
         [stored](auto& s) { return s.nativeDockHoverIndicatorColor == stored; }},
        {"启用激活指示条", flip, [](auto& s) { return !s.nativeDockActiveIndicatorEnabled; }},
        {"激活条距屏幕边缘", slide(12.5),
         [](auto& s) { return s.nativeDockActiveIndicatorBottomGap == 12.5; }},
        {"激活条高度", slide(3), [](auto& s) { return s.nativeDockActiveIndicatorHeight == 3; }},
        {"激活条宽度", slide(40), [](auto& s) { return s.nativeDockActiveIndicatorWidth == 40; }},
        {"激活条颜色", paint,
         [stored](auto& s) { return s.nativeDockActiveIndicatorColor == stored; }},
        {"启用窗口预览", flip, [](auto& s) { return !s.enableNativeDockWindowPreview; }},
        {"仅多窗口应用显示预览",
         [](const FormRow& r) { std::get<SwitchControl>(r.control).action(true); },
         [](auto& s) { return s.nativeDockPreviewOnlyForMultiWindowApps; }},
        {"触发延迟", slide(75),
         [](auto& s) { return s.nativeDockPreviewHoverDelayMilliseconds == 75; }},
        {"距图标", slide(150), [](auto& s) { return s.nativeDockPreviewGap == 150; }},
        {"玻璃通透度", slide(0.25),
         [](auto& s) { return s.nativeDockPreviewGlassTransparency == 0.25; }},
        {"预览窗口圆角", slide(64),
         [](auto& s) { return s.nativeDockPreviewCornerRadiusValue == 64; }},
        {"窗口截图圆角", slide(12),
         [](auto& s) { return s.nativeDockPreviewThumbnailCornerRadiusValue == 12; }},
        {"边框宽度", slide(2.5), [](auto& s) { return s.nativeDockPreviewBorderWidth == 2.5; }},
        {"边框颜色", paint, [stored](auto& s) { return s.nativeDockPreviewBorderColor == stored; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        RecordingPageHost host;
        host.settings().enableNativeDockWindowPreview = true;
        host.settings().nativeDockHoverIndicatorEnabled = true;
        host.settings().nativeDockActiveIndicatorEnabled = true;
        const auto form = makeNativeDockWindowPreviewSettingsView(host);
        const FormRow* target = form->row(c.title);
        ASSERT_NE(target, nullptr);
        c.act(*target);
        EXPECT_TRUE(c.written(host.settings()));
        EXPECT_EQ(host.calls, (std::vector<std::string>{"applyLiveChange", "storePageScrollOrigin",
                                                        "notifyChange"}));
    }
}

TEST(NativeDockPageTest, MasterSwitchRebuildsSoTheSidebarSwitchShowsTheSameState) {
    RecordingPageHost host;
    host.settings().nativeDockEnhancementsEnabled = false;
    control<SwitchControl>(*makeNativeDockWindowPreviewSettingsView(host), "启用原生 Dock 增强")
        .action(true);
    EXPECT_TRUE(host.settings().nativeDockEnhancementsEnabled);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"endTextEditing", "applyLiveChange(rebuild)",
                                        "storePageScrollOrigin", "notifyChange", "rebuild"}));
}

TEST(NativeDockPageTest, SlidersShowStoredValuesClampedAndStoreByTheirRule) {
    struct Case {
        const char* title;
        std::function<void(TaskbarSettings&)> store;
        double shown;       // the slider after the renderer's normalisation
        const char* label;  // the value field
        double moveTo;      // what the user drags to
        std::function<double(const TaskbarSettings&)> read;
        double stored;  // what the file then holds
    };
    const std::vector<Case> cases{
        // The percent rule: 0.1 shows 30 %, and 42 is stepped to 40 before it is divided.
        {"预览窗口大小", [](auto& s) { s.nativeDockPreviewScaleValue = 0.1; }, 30, "30%", 42,
         [](auto& s) { return s.nativeDockPreviewScaleValue; }, 0.4},
        {"预览窗口大小", [](auto& s) { s.nativeDockPreviewScaleValue = 0.9; }, 90, "90%", 199,
         [](auto& s) { return s.nativeDockPreviewScaleValue; }, 2.0},
        {"预览窗口大小", [](auto& s) { s.nativeDockPreviewScaleValue = 7; }, 200, "200%", 33,
         [](auto& s) { return s.nativeDockPreviewScaleValue; }, 0.35},
        // Out of range in the file: shown clamped, left alone until the slider moves.
        {"悬停条距图标", [](auto& s) { s.nativeDockHoverIndicatorGap = -120; }, -80, "-80.0",
         -79.25, [](auto& s) { return s.nativeDockHoverIndicatorGap; }, -79.25},
        {"激活条宽度", [](auto& s) { s.nativeDockActiveIndicatorWidth = 0.5; }, 2, "2.0", 2,
         [](auto& s) { return s.nativeDockActiveIndicatorWidth; }, 2},
        // The corner radii are clamped once more when stored.
        {"预览窗口圆角", [](auto& s) { s.nativeDockPreviewCornerRadiusValue = 250; }, 100, "100.0",
         300, [](auto& s) { return s.nativeDockPreviewCornerRadiusValue; }, 100},
        {"窗口截图圆角", [](auto& s) { s.nativeDockPreviewThumbnailCornerRadiusValue = -4; }, 0,
         "0.0", -1, [](auto& s) { return s.nativeDockPreviewThumbnailCornerRadiusValue; }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.title) + " → " + std::to_string(c.moveTo));
        RecordingPageHost host;
        c.store(host.settings());
        const double before = c.read(host.settings());
        const auto form = makeNativeDockWindowPreviewSettingsView(host);
        const SliderControl& s = control<SliderControl>(*form, c.title);
        const double shown = normalizeSliderValue(s.value, s.range);
        EXPECT_DOUBLE_EQ(shown, c.shown);
        EXPECT_EQ(s.valueFormatter ? s.valueFormatter(shown) : formatOneDecimal(shown), c.label);
        EXPECT_EQ(c.read(host.settings()), before) << "building the page rewrites nothing";
        // The renderer hands the action the normalised value, as a drag or a typed value would.
        s.action(normalizeSliderValue(c.moveTo, s.range));
        EXPECT_DOUBLE_EQ(c.read(host.settings()), c.stored);
    }
}

TEST(NativeDockPageTest, PreviewStyleSegmentStoresCompactAsOneAndStandardAsZero) {
    const TemporaryDirectory directory;
    const auto environment = SettingsEnvironment::standardAt(directory.path());
    struct Case {
        WindowPreviewStyle stored;
        int shownIndex;
        int chosenIndex;
        int fileCode;
    };
    for (const Case& c :
         {Case{WindowPreviewStyle::standard, 0, 1, 1}, Case{WindowPreviewStyle::compact, 1, 0, 0},
          Case{WindowPreviewStyle::compact, 1, 7, 0}}) {
        SCOPED_TRACE(c.chosenIndex);
        RecordingPageHost host;
        host.settings().nativeDockPreviewStyle = c.stored;
        const auto form = makeNativeDockWindowPreviewSettingsView(host);
        const SegmentControl& style = control<SegmentControl>(*form, "预览样式");
        EXPECT_EQ(style.labels, (std::vector<std::string>{"标准", "简洁"}));
        EXPECT_EQ(style.selected, c.shownIndex);
        style.action(c.chosenIndex);
        ASSERT_TRUE(host.settings().save(environment).ok());
        const Json document = Json::parse(fileBytes(environment.settingsURL()));
        EXPECT_EQ(document.at("nativeDockPreviewStyle"), c.fileCode);
    }
}

// --- Tabs 2 and 3

TEST(NativeDockPageTest, WidgetAndMinimizeTabsHaveTheirRowsInOrder) {
    RecordingPageHost host;
    const auto widgets = makeNativeDockWidgetSettingsView(host);
    EXPECT_EQ(shapes(*widgets), (std::vector<RowShape>{
                                    sw("原生 Dock 小组件", "时间组件"),
                                    sw("原生 Dock 小组件", "内存组件"),
                                    sw("音乐组件", "启用音乐组件"),
                                    row("音乐组件", "segment", "位置"),
                                    row("音乐组件", "info", "说明"),
                                }));
    const auto& note = std::get<InfoBlockControl>(widgets->row("说明")->control);
    EXPECT_EQ(note.bodyColor, FormTextColor::secondaryLabel);
    EXPECT_EQ(note.bodyWeight, FormFontWeight::regular);
    EXPECT_EQ(control<SegmentControl>(*widgets, "位置").labels,
              (std::vector<std::string>{"左侧 / 上端", "右侧 / 下端"}));

    EXPECT_EQ(shapes(*makeNativeDockMinimizeSettingsView(host)),
              (std::vector<RowShape>{sw("应用最小化", "点击已打开应用时最小化窗口")}));

    struct Case {
        std::function<std::shared_ptr<FormContent>(SettingsPageHost&)> build;
        const char* title;
        bool TaskbarSettings::*key;
    };
    for (const Case& c : {Case{makeNativeDockWidgetSettingsView, "时间组件",
                               &TaskbarSettings::nativeDockTimeWidgetEnabled},
                          Case{makeNativeDockWidgetSettingsView, "内存组件",
                               &TaskbarSettings::nativeDockMemoryWidgetEnabled},
                          Case{makeNativeDockWidgetSettingsView, "启用音乐组件",
                               &TaskbarSettings::musicWidgetEnabled},
                          Case{makeNativeDockMinimizeSettingsView, "点击已打开应用时最小化窗口",
                               &TaskbarSettings::nativeDockMinimizeOnClickEnabled}}) {
        SCOPED_TRACE(c.title);
        RecordingPageHost edited;
        const bool before = edited.settings().*c.key;
        const auto form = c.build(edited);
        const SwitchControl& toggle = control<SwitchControl>(*form, c.title);
        EXPECT_TRUE(toggle.isEnabled);
        EXPECT_EQ(toggle.isOn, before);
        toggle.action(!before);
        EXPECT_EQ(edited.settings().*c.key, !before);
        EXPECT_EQ(edited.calls, (std::vector<std::string>{
                                    "applyLiveChange", "storePageScrollOrigin", "notifyChange"}));
    }
}

TEST(MusicWidgetSettingsTest, PlacementShowsLeftOrRightAndStoresTheTaskbarSide) {
    struct Shown {
        MusicWidgetPlacement stored;
        int index;
    };
    for (const Shown& c : {Shown{MusicWidgetPlacement::taskbarLeft, 0},
                           Shown{MusicWidgetPlacement::nativeDockLeft, 0},
                           Shown{MusicWidgetPlacement::taskbarRight, 1},
                           Shown{MusicWidgetPlacement::nativeDockRight, 1}}) {
        RecordingPageHost host;
        host.settings().musicWidgetPlacement = c.stored;
        FormContent form;
        addMusicWidgetSettings(form, host);
        EXPECT_EQ(control<SegmentControl>(form, "位置").selected, c.index)
            << enumerationCode(c.stored);
    }
    struct Chosen {
        int index;
        MusicWidgetPlacement stored;
    };
    for (const Chosen& c : {Chosen{0, MusicWidgetPlacement::taskbarLeft},
                            Chosen{1, MusicWidgetPlacement::taskbarRight},
                            Chosen{-1, MusicWidgetPlacement::taskbarRight},
                            Chosen{5, MusicWidgetPlacement::taskbarRight}}) {
        RecordingPageHost host;
        host.settings().musicWidgetPlacement = MusicWidgetPlacement::nativeDockRight;
        FormContent form;
        addMusicWidgetSettings(form, host);
        control<SegmentControl>(form, "位置").action(c.index);
        EXPECT_EQ(host.settings().musicWidgetPlacement, c.stored) << c.index;
        EXPECT_EQ(host.changes, 1);
    }
}

// --- Tab 1

class GroupingTabTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(file); }
    void TearDown() override { std::filesystem::remove(file); }

    void writeFolders(const Json& folders) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << folders.dump();
    }
    Json storedFolders() const { return Json::parse(fileBytes(file)); }

    // Rows of the tab after the folder switch and the create button.
    std::vector<const FormRow*> folderRows(const FormContent& form) const {
        auto all = form.rows();
        return std::vector<const FormRow*>(all.begin() + 2, all.end());
    }
    // A folder row's parts: the show-in-Dock switch, "重命名", the trash button.
    struct FolderRowParts {
        bool isEnabled;
        std::string toggleToolTip;
        std::function<void(bool)> onToggle;
        std::function<void()> onRename;
        std::function<void()> onDelete;
    };
    static FolderRowParts folderSpec(const FormRow& r) {
        const auto& parts = std::get<CompoundControl>(r.control).parts;
        const auto& toggle = std::get<CompoundSwitch>(parts.at(0));
        return {toggle.isOn, toggle.toolTip, toggle.action,
                std::get<CompoundButton>(parts.at(1)).action,
                std::get<CompoundButton>(parts.at(2)).action};
    }
    std::size_t folderChangesPosted() const {
        std::size_t count = 0;
        for (const Notification& n : host.nativeDock.center.posted()) {
            if (n.name == nativeDockFoldersChangedNotification) ++count;
        }
        return count;
    }

    const std::filesystem::path file = NativeDockFolderSettingsStore::defaultFileURL();
    RecordingPageHost host;
};

TEST_F(GroupingTabTest, WithoutFoldersShowsTheEmptyBlockAndCreatesTheFirstFolder) {
    const auto form = makeNativeDockApplicationGroupingView(host);
    EXPECT_EQ(shapes(*form), (std::vector<RowShape>{
                                 sw("应用分组", "启用文件夹拖放区"),
                                 row("应用分组", "button", "新建文件夹"),
                                 row("应用分组", "info", "暂无文件夹"),
                             }));
    EXPECT_EQ(control<ButtonControl>(*form, "新建文件夹").symbolName, "folder.badge.plus");
    EXPECT_EQ(form->row("新建文件夹")->detail, "创建后会立即在原生 Dock 显示空文件夹图标。");
    EXPECT_EQ(std::get<InfoBlockControl>(form->row("暂无文件夹")->control).body,
              "新建文件夹后，可在原生 Dock 文件夹弹窗的最后一个位置添加应用。");

    // A cancelled dialog changes and posts nothing.
    host.scriptedDialogs().answer("取消");
    control<ButtonControl>(*form, "新建文件夹").action();
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(folderChangesPosted(), 0u);
    EXPECT_EQ(host.rebuilds, 0);

    host.scriptedDialogs().answer("创建");
    control<ButtonControl>(*form, "新建文件夹").action();
    ASSERT_EQ(host.scriptedDialogs().asked.size(), 2u);
    EXPECT_EQ(host.scriptedDialogs().asked.back(), NativeDockAlerts::createFolder());
    const Json stored = storedFolders();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]["name"], "新建文件夹");
    EXPECT_EQ(stored[0]["applications"], Json::array());
    EXPECT_EQ(stored[0]["isEnabled"], true);
    EXPECT_EQ(folderChangesPosted(), 1u);
    // The page is rebuilt where it was scrolled.
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"endTextEditing", "storePageScrollOrigin", "rebuild"}));

    const auto rebuilt = makeNativeDockApplicationGroupingView(host);
    ASSERT_EQ(folderRows(*rebuilt).size(), 1u);
    EXPECT_EQ(folderRows(*rebuilt)[0]->title, "新建文件夹");
    EXPECT_EQ(folderRows(*rebuilt)[0]->detail, "0 个应用");

    // The drop area switch is a setting: written and saved, no rebuild.
    host.calls.clear();
    host.settings().nativeDockFolderDropShelfEnabled = true;
    control<SwitchControl>(*rebuilt, "启用文件夹拖放区").action(false);
    EXPECT_FALSE(host.settings().nativeDockFolderDropShelfEnabled);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"applyLiveChange", "storePageScrollOrigin",
                                                    "notifyChange"}));
}

TEST_F(GroupingTabTest, EachFolderRowActsOnItsOwnFolder) {
    const std::string work = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
    const std::string games = "0E984725-C51C-4BF4-9960-E1C80E27ABA0";
    writeFolders(Json::array({{{"id", work},
                               {"name", "Work"},
                               {"applications",
                                {{{"appKey", "a"}, {"name", "A"}, {"path", "/Applications/A.app"}},
                                 {{"appKey", "b"}, {"name", "B"}}}}},
                              {{"id", games},
                               {"name", "Games"},
                               {"applications", Json::array()},
                               {"isEnabled", false}}}));

    const auto form = makeNativeDockApplicationGroupingView(host);
    const auto rows = folderRows(*form);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(form->row("暂无文件夹"), nullptr);
    struct Shown {
        const char* title;
        const char* detail;
        bool enabled;
        const char* toolTip;
    };
    const Shown expected[] = {{"Work", "2 个应用", true, "从 Dock 移除"},
                              {"Games", "0 个应用", false, "显示在 Dock"}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i]->title, expected[i].title);
        EXPECT_EQ(rows[i]->detail, expected[i].detail);
        EXPECT_EQ(folderSpec(*rows[i]).isEnabled, expected[i].enabled);
        EXPECT_EQ(folderSpec(*rows[i]).toggleToolTip, expected[i].toolTip);
    }

    // Show "Games" in the Dock, rename it, then delete "Work"; each posts the change once and
    // rebuilds, and the next action starts from the rebuilt page, as in the window.
    folderSpec(*rows[1]).onToggle(true);
    EXPECT_EQ(storedFolders()[1]["isEnabled"], true);

    // Renaming asks about this row's folder (the scripted answer keeps the prefilled name).
    auto rebuilt = makeNativeDockApplicationGroupingView(host);
    host.scriptedDialogs().answer("保存");
    folderSpec(*folderRows(*rebuilt)[1]).onRename();
    EXPECT_EQ(host.scriptedDialogs().asked.back(), NativeDockAlerts::renameFolder("Games"));

    rebuilt = makeNativeDockApplicationGroupingView(host);
    host.scriptedDialogs().answer("删除");
    folderSpec(*folderRows(*rebuilt)[0]).onDelete();
    EXPECT_EQ(host.scriptedDialogs().asked.back(), NativeDockAlerts::deleteFolder("Work"));
    const Json stored = storedFolders();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]["id"], games);
    EXPECT_EQ(stored[0]["name"], "Games");
    EXPECT_EQ(stored[0]["isEnabled"], true);
    EXPECT_EQ(folderChangesPosted(), 3u);
    EXPECT_EQ(host.rebuilds, 3);
}

// --- The hide-native-Dock page and the Dock change

TEST(NativeDockVisibilityPageTest, HideSwitchHandsOverAndTheMaskSwitchFollowsIt) {
    for (const bool hidden : {false, true}) {
        SCOPED_TRACE(hidden);
        RecordingPageHost host;
        host.settings().hideNativeDock = hidden;
        host.settings().nativeDockWallpaperMaskEnabled = true;
        const auto form = makeFeaturePageForm(FeaturePage::hideNativeDock, host);
        EXPECT_EQ(shapes(*form), (std::vector<RowShape>{
                                     sw("系统 Dock", "隐藏原生dock"),
                                     sw("系统 Dock", "调度中心隐藏原生dock"),
                                     row("系统 Dock", "info", "提示"),
                                 }));
        EXPECT_EQ(std::get<InfoBlockControl>(form->row("提示")->control).body,
                  "切换「隐藏原生dock」时会弹窗确认，不影响 Tavrel 任务栏自身开关。");

        const SwitchControl& hide = control<SwitchControl>(*form, "隐藏原生dock");
        EXPECT_EQ(hide.isOn, hidden);
        EXPECT_TRUE(hide.isEnabled);
        // Only the Dock change may store the choice, once its commands succeeded.
        hide.action(!hidden);
        EXPECT_EQ(host.nativeDock.visibility.requests, std::vector<bool>{!hidden});
        EXPECT_EQ(host.settings().hideNativeDock, hidden);
        EXPECT_TRUE(host.calls.empty());

        const SwitchControl& mask = control<SwitchControl>(*form, "调度中心隐藏原生dock");
        EXPECT_EQ(mask.isEnabled, hidden);
        mask.action(false);
        EXPECT_FALSE(host.settings().nativeDockWallpaperMaskEnabled);
        EXPECT_EQ(host.calls, (std::vector<std::string>{"applyLiveChange", "storePageScrollOrigin",
                                                        "notifyChange"}));
    }
}

// The bridge the application installs: confirmation through the window's dialogs, the commands
// over a recording runner, and the completion into the window that is open then.
class NativeDockVisibilityBridgeTest : public ::testing::Test {
protected:
    NativeDockVisibilityBridgeTest() {
        // Every command succeeds; the bounce read answers what the last bounce write stored.
        runner->setResponder([this](const platform::ProcessRequest& request) {
            const auto& a = request.arguments;
            if (commandsFail) return platform::RecordingProcessRunner::exited(1, "", "failed");
            if (a.size() == 3 && a[0] == "read") {
                return bouncing ? platform::RecordingProcessRunner::exited(0, "1\n")
                                : platform::RecordingProcessRunner::exited(
                                      1, "",
                                      "The domain/default pair of (com.apple.dock, "
                                      "no-bouncing) does not exist\n");
            }
            if (a.size() == 5 && a[2] == "no-bouncing") bouncing = a[4] == "true";
            return platform::RecordingProcessRunner::exited(0);
        });
    }

    void SetUp() override {
        window.settings().hideNativeDock = false;
        window.settings().nativeDockEnhancementsEnabled = true;
    }

    std::unique_ptr<NativeDockVisibilityBridge> makeBridge() {
        auto work = std::make_unique<ManualBackgroundWorkQueue>();
        workQueue = work.get();
        return std::make_unique<NativeDockVisibilityBridge>(
            NativeDockVisibilityBridge::Dependencies{
                std::move(ownedRunner), std::move(work), center, mainQueue, window.dialogs(),
                directory / "native-dock-bounce-backup.json",
                [this]() -> SettingsPageHost* { return windowOpen ? &window : nullptr; }});
    }

    std::size_t settingsCommandsPosted() const {
        std::size_t count = 0;
        for (const Notification& n : center.posted()) {
            const std::string* command = userInfoString(n.userInfo, NotificationKey::command);
            if (n.name == TavrelDistributedNotification::settingsCommand && command &&
                *command == SettingsCommandName::nativeDockVisibilityChanged) {
                ++count;
            }
        }
        return count;
    }

    TemporaryDirectory directory;
    std::unique_ptr<platform::RecordingProcessRunner> ownedRunner =
        std::make_unique<platform::RecordingProcessRunner>();
    platform::RecordingProcessRunner* runner = ownedRunner.get();
    platform::ManualMainQueue mainQueue;
    platform::FakeNotificationCenter center{mainQueue};
    ManualBackgroundWorkQueue* workQueue = nullptr;
    RecordingPageHost window;
    bool windowOpen = true;
    bool bouncing = false;
    bool commandsFail = false;
};

TEST_F(NativeDockVisibilityBridgeTest, HidingTurnsTheEnhancementsOffAndTheSwitchShowsIt) {
    auto bridge = makeBridge();
    window.scriptedDialogs().answer("确认开启");
    bridge->changeNativeDockHidden(true);
    EXPECT_TRUE(bridge->nativeDockChangeInProgress());
    // A second click while the commands run is ignored: no second question.
    bridge->changeNativeDockHidden(true);
    EXPECT_EQ(window.scriptedDialogs().asked.size(), 1u);

    workQueue->runAll();
    EXPECT_EQ(runner->commandLines().size(), 9u) << "read, six writes, readback, restart";
    EXPECT_FALSE(window.settings().hideNativeDock) << "stored on the main thread only";
    mainQueue.runReady();

    EXPECT_FALSE(bridge->nativeDockChangeInProgress());
    EXPECT_TRUE(window.settings().hideNativeDock);
    EXPECT_FALSE(window.settings().nativeDockEnhancementsEnabled);
    EXPECT_EQ(window.calls,
              (std::vector<std::string>{"endTextEditing", "applyLiveChange(rebuild)",
                                        "storePageScrollOrigin", "notifyChange", "rebuild"}));
    EXPECT_EQ(settingsCommandsPosted(), 1u);
    EXPECT_FALSE(control<SwitchControl>(*makeNativeDockWindowPreviewSettingsView(window),
                                        "启用原生 Dock 增强")
                     .isOn);
    EXPECT_TRUE(
        control<SwitchControl>(*makeNativeDockVisibilitySettingsView(window), "隐藏原生dock").isOn);
}

TEST_F(NativeDockVisibilityBridgeTest, CancelFailureAndAClosedWindowLeaveTheSettingsAlone) {
    struct Case {
        const char* name;
        const char* answer;  // to the confirmation
        bool fail;
        bool openAtCompletion;
        std::vector<std::string> failureAlert;  // the buttons of a failure alert, if any
        std::vector<std::string> calls;
        std::size_t commandsPosted;
    };
    const std::vector<std::string> rebuildInPlace{"endTextEditing", "storePageScrollOrigin",
                                                  "rebuild"};
    for (const Case& c : {
             Case{"cancelled", "取消", false, true, {}, rebuildInPlace, 0},
             Case{"commands fail", "确认开启", true, true, {"知道了"}, rebuildInPlace, 1},
             Case{"window closed meanwhile", "确认开启", false, false, {}, {}, 1},
         }) {
        SCOPED_TRACE(c.name);
        ownedRunner = std::make_unique<platform::RecordingProcessRunner>();
        runner = ownedRunner.get();
        runner->setResponder([fail = c.fail](const platform::ProcessRequest& request) {
            if (fail) return platform::RecordingProcessRunner::exited(1, "", "failed");
            if (request.arguments.size() == 3) {
                return platform::RecordingProcessRunner::exited(0, "1\n");
            }
            return platform::RecordingProcessRunner::exited(0);
        });
        center.clearPosted();
        window.calls.clear();
        window.scriptedDialogs().asked.clear();
        windowOpen = true;
        auto bridge = makeBridge();

        window.scriptedDialogs().answer(c.answer);
        if (!c.failureAlert.empty()) window.scriptedDialogs().answer(c.failureAlert.front());
        bridge->changeNativeDockHidden(true);
        workQueue->runAll();
        windowOpen = c.openAtCompletion;
        mainQueue.runReady();

        EXPECT_FALSE(bridge->nativeDockChangeInProgress());
        EXPECT_FALSE(window.settings().hideNativeDock);
        EXPECT_TRUE(window.settings().nativeDockEnhancementsEnabled);
        EXPECT_EQ(window.calls, c.calls);
        EXPECT_EQ(settingsCommandsPosted(), c.commandsPosted);
        EXPECT_EQ(window.scriptedDialogs().asked.size(), c.failureAlert.empty() ? 1u : 2u);
        if (!c.failureAlert.empty()) {
            EXPECT_EQ(window.scriptedDialogs().asked.back(),
                      NativeDockAlerts::nativeDockCommandFailure());
        }
        EXPECT_TRUE(window.scriptedDialogs().allAnswersUsed());
    }
}

}  // namespace
}  // namespace tavrel
