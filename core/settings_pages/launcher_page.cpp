// "应用启动台" and its native Dock copy: the same rows on both pages; only their sidebar switches
// differ (the page registry).

#include "core/settings_pages/launcher_page.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/settings/settings_normalization.h"
#include "core/settings/start_menu_shortcut.h"
#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/feature_pages.h"
#include "core/settings_pages/list_rows.h"

namespace tavrel {

namespace {

using C = TaskbarThemeConfiguration;
using S = TaskbarSettings;

constexpr double kIconScaleMinimum = 0.5;
constexpr double kIconScaleMaximum = 1.5;

// A whole-number key edited on a slider: shown as stored (the slider clamps what it shows), and
// stored rounded and clamped to the slider's range.
Binding<double> wholeNumber(std::int64_t S::*member, SliderRange range) {
    return {{settingsKey(member)},
            [member](const S& s) { return static_cast<double>(s.*member); },
            [member, range](S& s, const double& value) {
                s.*member =
                    static_cast<std::int64_t>(std::llround(normalizeSliderValue(value, range)));
            }};
}

std::vector<FormKeyReference> appearanceCopyKeys() {
    std::vector<FormKeyReference> keys;
    for (std::string_view key : nativeDockLauncherAppearanceKeys())
        keys.push_back(settingsKey(key));
    return keys;
}

// A launcher size slider of the shown theme; the Dock launcher's copy follows it.
Binding<double> sizeWithCopy(const PageRows& rows, double C::*member) {
    return rows.theme(member).then(appearanceCopyKeys(), [](S& s, double) {
        syncNativeDockLauncherAppearanceFromStartMenu(s);
    });
}

// The style segment: a different style is stored and the page rebuilt (each style has rows of
// its own); the style shown, or an index no style has, does nothing.
void addStyleSegment(FormContent& form, SettingsPageHost& host) {
    const auto current = static_cast<int>(enumerationCode(host.settings().startMenuStyle));
    FormRow& row = form.addSegment(
        std::string(StartMenuPageTexts::styleTitle),
        "Mac27 为居中网格；Mac经典为全屏网格；App资源库沿用全屏背景，横向连续浏览自动分类的分组。"
        "各样式布局独立保存。",
        {"Mac经典", "Mac27", "App资源库"}, current, [&host](int index) {
            if (index < 0 || index > 2) return;
            const auto style = static_cast<StartMenuStyle>(index);
            if (style == host.settings().startMenuStyle) return;
            host.settings().startMenuStyle = style;
            host.applyLiveChange(true);
        });
    row.keys = {settingsKey(&S::startMenuStyle)};
}

void addShortcutRow(FormContent& form, SettingsPageHost& host) {
    const S& settings = host.settings();
    FormRow& row = addStartMenuShortcut(
        form, std::string(StartMenuPageTexts::shortcutTitle),
        "Tavrel 会优先处理该组合键；默认是 Command+Space。", settings.startMenuShortcutKeyCode,
        // Only the four modifier bits show; a document without any shows Command.
        settings.startMenuShortcutModifiers(),
        [&host](std::int64_t keyCode, std::int64_t modifiers) {
            S& s = host.settings();
            s.startMenuShortcutKeyCode = keyCode;
            s.setStartMenuShortcutModifiers(modifiers);
            host.applyLiveChange(false);
        },
        [&host] {
            S& s = host.settings();
            s.startMenuShortcutKeyCode = StartMenuShortcutKey::defaultKeyCode;
            s.setStartMenuShortcutModifiers(StartMenuShortcutModifiers::command);
            host.applyLiveChange(false);
        },
        [&host] { host.services().dialogs().beep(); });
    row.keys = {settingsKey(&S::startMenuShortcutKeyCode),
                settingsKey("startMenuShortcutModifiers")};
}

}  // namespace

double startMenuClassicIconScalePercent(double storedFactor) {
    return SettingsNormalization::clamp(storedFactor, kIconScaleMinimum, kIconScaleMaximum) * 100;
}

double startMenuClassicIconScaleFromPercent(double percent) {
    return SettingsNormalization::clamp(percent / 100, kIconScaleMinimum, kIconScaleMaximum);
}

const std::array<std::string_view, 11>& nativeDockLauncherAppearanceKeys() {
    static constexpr std::array<std::string_view, 11> keys{"nativeDockLauncherWidth",
                                                           "nativeDockLauncherHeight",
                                                           "nativeDockLauncherCornerRadius",
                                                           "nativeDockLauncherSearchWidth",
                                                           "nativeDockLauncherSearchHeight",
                                                           "nativeDockLauncherIconSize",
                                                           "nativeDockLauncherNameFontSize",
                                                           "nativeDockLauncherNameIconGap",
                                                           "nativeDockLauncherUseUserAvatar",
                                                           "nativeDockLauncherAvatarBorderWidth",
                                                           "nativeDockLauncherAvatarBorderColor"};
    return keys;
}

void syncNativeDockLauncherAppearanceFromStartMenu(TaskbarSettings& s) {
    const C& source = s.activeProfile();
    s.nativeDockLauncherWidth = source.startMenuWidth;
    s.nativeDockLauncherHeight = source.startMenuHeight;
    s.nativeDockLauncherCornerRadius = source.startMenuCornerRadius;
    s.nativeDockLauncherSearchWidth = source.startMenuSearchWidth;
    s.nativeDockLauncherSearchHeight = source.startMenuSearchHeight;
    s.nativeDockLauncherIconSize = source.startMenuIconSize;
    s.nativeDockLauncherNameFontSize = source.startMenuNameFontSize;
    s.nativeDockLauncherNameIconGap = source.startMenuNameIconGap;
    s.nativeDockLauncherUseUserAvatar = source.useUserAvatarForStartIcon;
    s.nativeDockLauncherAvatarBorderWidth =
        SettingsNormalization::avatarBorderWidth(source.startMenuAvatarBorderWidth);
    // Colours are device RGB throughout, so the components are taken as they are.
    s.nativeDockLauncherAvatarBorderColor = source.startMenuAvatarBorderColor;
}

std::shared_ptr<FormContent> makeStartMenuSettingsView(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);
    const StartMenuStyle style = host.settings().startMenuStyle;

    rows.section(std::string(StartMenuPageTexts::styleTitle));
    addStyleSegment(*form, host);

    if (style == StartMenuStyle::classic) {
        rows.section(std::string(StartMenuPageTexts::classicSection));
        rows.slider("每页列数", "设置 Mac经典样式下每一页显示的图标列数，图标大小按屏幕自动推算。",
                    wholeNumber(&S::startMenuClassicColumns, {3, 12, 1}), {3, 12, 1},
                    OnChange::live, formatWholeNumber);
        rows.slider("每页行数",
                    "设置 Mac经典样式下每一页显示的图标行数，行列相乘就是每页图标数量。",
                    wholeNumber(&S::startMenuClassicRows, {2, 8, 1}), {2, 8, 1}, OnChange::live,
                    formatWholeNumber);
        rows.slider("图标大小",
                    "调整 Mac经典样式下图标所占格子的比例，100% 为默认；超过 100% "
                    "会一直放大到格子能容纳的上限。",
                    bindSetting(&S::startMenuClassicIconScale)
                        .shown(startMenuClassicIconScalePercent)
                        .stored([](const S&, double percent) {
                            return startMenuClassicIconScaleFromPercent(percent);
                        }),
                    {50, 150, 5}, OnChange::live, formatPercent);
    }

    rows.section("入口");
    rows.toggle("启用应用启动台",
                "关闭后，即使入口图标显示，也不会通过点击图标或触控板手势打开应用启动台。",
                bindSetting(&S::startMenuEnabled));
    rows.toggle("在任务栏显示启动台按钮",
                "开启后任务栏显示应用启动台按钮，点击后在屏幕正中间打开应用启动台。",
                bindCurrentTheme(&C::showStartMenuInTaskbar));
    rows.toggle("在原生 Dock 显示启动台图标",
                "开启后原生 Dock 显示应用启动台图标，点击后在屏幕正中间打开应用启动台。",
                bindSetting(&S::enableNativeDockLauncher));
    rows.toggle("触发角打开启动台", "鼠标移入指定的屏幕角时打开应用启动台。",
                bindSetting(&S::launcherHotCornerEnabled));
    rows.segment("启动台触发角", "选择鼠标移入后打开应用启动台的屏幕角。",
                 bindSetting(&S::launcherHotCorner),
                 {{"左上角", LauncherHotCorner::topLeft},
                  {"左下角", LauncherHotCorner::bottomLeft},
                  {"右下角", LauncherHotCorner::bottomRight},
                  {"右上角", LauncherHotCorner::topRight}});

    rows.section("快捷键");
    rows.toggle("启用启动台快捷键", "使用全局快捷键打开或关闭应用启动台。",
                bindSetting(&S::startMenuShortcutEnabled));
    addShortcutRow(*form, host);

    if (style == StartMenuStyle::mac27) {
        rows.section(std::string(StartMenuPageTexts::popUpSection));
        rows.slider("弹窗宽度", "设置应用启动台弹窗整体宽度。",
                    sizeWithCopy(rows, &C::startMenuWidth), {360, 2000});
        rows.slider("弹窗高度", "设置应用启动台弹窗整体高度。",
                    sizeWithCopy(rows, &C::startMenuHeight), {360, 2000});
        rows.slider("弹窗圆角", "设置应用启动台弹窗背景圆角半径。",
                    sizeWithCopy(rows, &C::startMenuCornerRadius), {0, 36});

        rows.section(std::string(StartMenuPageTexts::gridSection));
        rows.slider("应用图标大小", "设置应用启动台应用网格中的图标尺寸。",
                    sizeWithCopy(rows, &C::startMenuIconSize), {28, 100});
        rows.slider("应用名称字号", "设置应用启动台应用名称文字大小。",
                    sizeWithCopy(rows, &C::startMenuNameFontSize), {10, 18});
        rows.slider("图标名称间距", "设置应用启动台应用图标与名称之间的垂直距离。",
                    sizeWithCopy(rows, &C::startMenuNameIconGap), {0, 100});
        rows.slider("图标左右间距", "设置应用启动台中相邻图标的横向间距。",
                    bindSetting(&S::launcherHorizontalSpacing), {0, 100});
        rows.slider("图标上下间距", "设置应用启动台中相邻图标的纵向间距。",
                    bindSetting(&S::launcherVerticalSpacing), {0, 100});
    }

    rows.section("图标悬停");
    rows.toggle("显示固定到任务栏按钮", "关闭后，启动台不显示固定状态标识和固定到任务栏按钮。",
                bindSetting(&S::showTaskbarPinControlsInStartMenu));
    rows.toggle("图标悬停包围圈", "鼠标移到应用启动台图标上时显示包围圈。",
                bindSetting(&S::launcherHoverOutlineEnabled));
    rows.color("包围圈颜色", "设置包围圈背景颜色和透明度。",
               bindSetting(&S::launcherHoverOutlineColor));
    rows.slider("包围圈外扩距离", "正数表示背景块比图标四周更大；负数表示背景块小于图标四周。",
                bindSetting(&S::launcherHoverOutlineInset), {-20, 20});

    // These write the shown theme's value and the Dock launcher's counterpart directly.
    rows.section("启动台图标");
    rows.toggle("使用用户头像", "开启后任务栏按钮和原生 Dock 启动台图标都显示当前 macOS 用户头像。",
                rows.theme(&C::useUserAvatarForStartIcon)
                    .then({settingsKey(&S::nativeDockLauncherUseUserAvatar)},
                          [](S& s, bool on) { s.nativeDockLauncherUseUserAvatar = on; }));
    rows.slider("头像边框宽度", "设置启动台图标用户头像外圈边框宽度。",
                rows.theme(&C::startMenuAvatarBorderWidth)
                    .stored([](const S&, double width) {
                        return SettingsNormalization::avatarBorderWidth(width);
                    })
                    .then({settingsKey(&S::nativeDockLauncherAvatarBorderWidth)},
                          [](S& s, double width) {
                              s.nativeDockLauncherAvatarBorderWidth =
                                  SettingsNormalization::avatarBorderWidth(width);
                          }),
                {0, 8});
    rows.color("头像边框颜色", "设置启动台图标用户头像外圈边框颜色。",
               rows.theme(&C::startMenuAvatarBorderColor)
                   .then({settingsKey(&S::nativeDockLauncherAvatarBorderColor)},
                         [](S& s, const CodableColor& colour) {
                             s.nativeDockLauncherAvatarBorderColor = colour;
                         }));
    return form;
}

}  // namespace tavrel
