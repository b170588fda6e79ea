#include "core/settings_pages/native_dock_pages.h"

#include <utility>
#include <vector>

#include "core/form/slider_rule.h"
#include "core/native_dock/native_dock_folder_actions.h"
#include "core/settings/settings_normalization.h"
#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/music_widget_settings.h"

namespace tavrel {

namespace {

constexpr double kPreviewScaleMinimumPercent = 30;
constexpr double kPreviewScaleMaximumPercent = 200;
constexpr double kPreviewScaleStepPercent = 5;

std::vector<std::string> tabLabels() {
    return {
        std::string(NativeDockPageTexts::previewTab), std::string(NativeDockPageTexts::groupingTab),
        std::string(NativeDockPageTexts::widgetTab), std::string(NativeDockPageTexts::minimizeTab)};
}

}  // namespace

double nativeDockPreviewScalePercent(double storedFactor) {
    return SettingsNormalization::nativeDockPreviewScale(storedFactor) * 100;
}

double nativeDockPreviewScaleFromPercent(double percent) {
    return SettingsNormalization::nativeDockPreviewScale(percent / 100);
}

int normalizedNativeDockSettingsTab(int tab) {
    return tab >= 0 && tab < NativeDockPageTexts::tabCount ? tab : 0;
}

FormRow& addNativeDockFolderRow(FormContent& form, std::string title, std::string detail,
                                bool isEnabled, std::function<void(bool)> onToggle,
                                std::function<void()> onRename, std::function<void()> onDelete) {
    CompoundSwitch toggle;
    toggle.isOn = isEnabled;
    toggle.toolTip = NativeDockFolderActions::toggleToolTip(isEnabled);
    toggle.accessibleName = toggle.toolTip;
    toggle.width = 42;
    toggle.action = std::move(onToggle);
    CompoundButton rename;
    rename.title = std::string(NativeDockFolderTexts::renameButton);
    rename.accessibleName = rename.title + " " + title;
    rename.width = 70;
    rename.action = std::move(onRename);
    CompoundButton remove;
    remove.symbolName = std::string(NativeDockFolderTexts::deleteSymbol);
    remove.toolTip = std::string(NativeDockFolderTexts::deleteToolTip);
    remove.width = 34;
    remove.action = std::move(onDelete);
    return form.addCompoundRow(std::move(title), std::move(detail),
                               {std::move(toggle), std::move(rename), std::move(remove)});
}

std::shared_ptr<FormContent> makeNativeDockVisibilitySettingsView(SettingsPageHost& host) {
    const TaskbarSettings& settings = host.settings();
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);
    rows.section("系统 Dock");
    // The setting is written only once the Dock commands succeeded; until then a rebuild shows
    // the stored state again.
    form->addSwitch(std::string(NativeDockPageTexts::hideTitle),
                    "开启后将原生 Dock 调整为底部自动隐藏、最小尺寸，关闭图标放大和通知弹跳。"
                    "鼠标在屏幕底边停留 15 秒后可唤出原生 Dock。",
                    settings.hideNativeDock, [&host](bool on) {
                        host.services().nativeDockVisibility().changeNativeDockHidden(on);
                    });
    rows.toggle(std::string(NativeDockPageTexts::wallpaperMaskTitle),
                "在调度中心也不显示原生Dock，仅在开启「隐藏原生dock」时生效。",
                bindSetting(&TaskbarSettings::nativeDockWallpaperMaskEnabled), OnChange::live,
                /*isEnabled=*/settings.hideNativeDock);
    form->addInfoBlock("提示", "切换「隐藏原生dock」时会弹窗确认，不影响 Tavrel 任务栏自身开关。");
    return form;
}

std::shared_ptr<FormContent> makeNativeDockSettingsView(SettingsPageHost& host) {
    const int tab = normalizedNativeDockSettingsTab(host.pageState().nativeDockSettingsTab);
    auto form = std::make_shared<FormContent>();
    form->addCenteredSegment(tabLabels(), tab, [&host](int index) {
        host.endTextEditing();
        host.pageState().nativeDockSettingsTab = normalizedNativeDockSettingsTab(index);
        host.rebuildContentViewBody();
    });
    switch (tab) {
        case 1:
            form->addForm(makeNativeDockApplicationGroupingView(host));
            break;
        case 2:
            form->addForm(makeNativeDockWidgetSettingsView(host));
            break;
        case 3:
            form->addForm(makeNativeDockMinimizeSettingsView(host));
            break;
        default:
            form->addForm(makeNativeDockWindowPreviewSettingsView(host));
            break;
    }
    return form;
}

std::shared_ptr<FormContent> makeNativeDockWindowPreviewSettingsView(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    form->addCustomView(permissionBanner(PermissionKind::screenRecording,
                                         PermissionBannerText::screenRecordingPreview));
    PageRows rows(*form, host);

    rows.section("原生 Dock 增强");
    // The same setting is the sidebar switch of this page, so the window is rebuilt to show the
    // two in step.
    rows.toggle(std::string(NativeDockPageTexts::masterSwitchTitle),
                "总开关：关闭后，窗口预览、悬停指示条、激活指示条和应用最小化全部不生效。",
                bindSetting(&TaskbarSettings::nativeDockEnhancementsEnabled),
                OnChange::endEditingRebuild);

    rows.section("悬停指示条");
    rows.toggle("启用悬停指示条",
                "需同时开启“原生 Dock 增强”总开关；鼠标移入原生 Dock "
                "图标时，在图标外侧显示小横条。",
                bindSetting(&TaskbarSettings::nativeDockHoverIndicatorEnabled));
    rows.slider("悬停条距图标",
                "调整悬停指示条与原生 Dock 图标之间的距离；负数会让指示条更靠近或压入图标区域。",
                bindSetting(&TaskbarSettings::nativeDockHoverIndicatorGap), {-80, 80});
    rows.slider("悬停条高度", "调整悬停指示条的厚度。",
                bindSetting(&TaskbarSettings::nativeDockHoverIndicatorHeight), {1, 20});
    rows.slider("悬停条宽度", "调整悬停指示条的长度。",
                bindSetting(&TaskbarSettings::nativeDockHoverIndicatorWidth), {2, 120});
    rows.color("悬停条颜色", "设置悬停指示条颜色。",
               bindSetting(&TaskbarSettings::nativeDockHoverIndicatorColor));

    rows.section("激活指示条");
    rows.toggle("启用激活指示条",
                "需同时开启“原生 Dock 增强”总开关；应用窗口处于激活/顶层状态时，在对应原生 Dock "
                "图标外侧显示小横条。",
                bindSetting(&TaskbarSettings::nativeDockActiveIndicatorEnabled));
    rows.slider("激活条距屏幕边缘", "底部 Dock 时表示距屏幕底部；左/右 Dock 时表示距对应屏幕侧边。",
                bindSetting(&TaskbarSettings::nativeDockActiveIndicatorBottomGap), {0, 80});
    rows.slider("激活条高度", "调整激活指示条的厚度。",
                bindSetting(&TaskbarSettings::nativeDockActiveIndicatorHeight), {1, 20});
    rows.slider("激活条宽度", "调整激活指示条的长度。",
                bindSetting(&TaskbarSettings::nativeDockActiveIndicatorWidth), {2, 120});
    rows.color("激活条颜色", "设置激活指示条颜色。",
               bindSetting(&TaskbarSettings::nativeDockActiveIndicatorColor));

    rows.section("窗口预览");
    rows.toggle("启用窗口预览", "需同时开启“原生 Dock 增强”总开关",
                bindSetting(&TaskbarSettings::enableNativeDockWindowPreview));
    rows.segment(
        std::string(NativeDockPageTexts::previewStyleTitle),
        "标准样式显示窗口截图；简洁样式仅显示标题和关闭按钮。无录制权限时自动回退为简洁样式。",
        bindSetting(&TaskbarSettings::nativeDockPreviewStyle),
        {{std::string(NativeDockPageTexts::standardStyle), WindowPreviewStyle::standard},
         {std::string(NativeDockPageTexts::compactStyle), WindowPreviewStyle::compact}});
    rows.toggle("仅多窗口应用显示预览",
                "开启后，只有包含两个及以上窗口的应用显示预览；单窗口应用不显示预览。",
                bindSetting(&TaskbarSettings::nativeDockPreviewOnlyForMultiWindowApps));
    rows.slider(
        std::string(NativeDockPageTexts::previewScaleTitle),
        "按百分比整体缩放原生 Dock 窗口预览，截图、文字、按钮、背景与圆角同步等比缩放。",
        bindSetting("nativeDockPreviewScale", &TaskbarSettings::nativeDockPreviewScale,
                    &TaskbarSettings::setNativeDockPreviewScale)
            .shown([](double factor) { return nativeDockPreviewScalePercent(factor); })
            .stored([](const TaskbarSettings&, double percent) {
                return nativeDockPreviewScaleFromPercent(percent);
            }),
        {kPreviewScaleMinimumPercent, kPreviewScaleMaximumPercent, kPreviewScaleStepPercent},
        OnChange::live, formatPercent);
    rows.slider("触发延迟", "设置鼠标移入原生 Dock 图标后显示预览窗口的延迟，单位毫秒。",
                bindSetting(&TaskbarSettings::nativeDockPreviewHoverDelayMilliseconds), {0, 100});
    rows.slider("距图标", "设置原生 Dock 窗口预览面板与 Dock 图标之间的距离。",
                bindSetting(&TaskbarSettings::nativeDockPreviewGap), {0, 200});
    rows.slider("玻璃通透度", "调整原生 Dock 窗口预览卡片玻璃背景的通透程度。",
                bindSetting(&TaskbarSettings::nativeDockPreviewGlassTransparency), {0, 1});
    rows.slider("预览窗口圆角", "调整原生 Dock 窗口预览卡片的圆角大小。",
                bindSetting("nativeDockPreviewCornerRadius",
                            &TaskbarSettings::nativeDockPreviewCornerRadius,
                            &TaskbarSettings::setNativeDockPreviewCornerRadius),
                {0, 100});
    rows.slider("窗口截图圆角", "调整原生 Dock 窗口预览中截图本身的圆角大小。",
                bindSetting("nativeDockPreviewThumbnailCornerRadius",
                            &TaskbarSettings::nativeDockPreviewThumbnailCornerRadius,
                            &TaskbarSettings::setNativeDockPreviewThumbnailCornerRadius),
                {0, 100});

    rows.section("边框");
    rows.slider("边框宽度", "设置原生 Dock 窗口预览卡片默认边框宽度。",
                bindSetting(&TaskbarSettings::nativeDockPreviewBorderWidth), {0, 4});
    rows.color("边框颜色", "设置原生 Dock 窗口预览卡片默认边框颜色。",
               bindSetting(&TaskbarSettings::nativeDockPreviewBorderColor));
    return form;
}

std::shared_ptr<FormContent> makeNativeDockApplicationGroupingView(SettingsPageHost& host) {
    PageServices& services = host.services();
    // One set of actions per build; the rows' closures keep it alive as long as the form. An
    // action keeps the page where it was scrolled, like any page action that rebuilds.
    auto actions = std::make_shared<NativeDockFolderActions>(
        services.nativeDockFolders(), services.dialogs(), services.notifications(), [&host] {
            host.endTextEditing();
            host.storePageScrollOrigin();
            host.rebuildContentViewBody();
        });

    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);
    rows.section(std::string(NativeDockFolderTexts::section));
    rows.toggle(std::string(NativeDockFolderTexts::dropShelfTitle),
                std::string(NativeDockFolderTexts::dropShelfDetail),
                bindSetting(&TaskbarSettings::nativeDockFolderDropShelfEnabled));
    form->addButton(std::string(NativeDockFolderTexts::createTitle),
                    std::string(NativeDockFolderTexts::createDetail),
                    std::string(NativeDockFolderTexts::createSymbol),
                    [actions] { actions->createNativeDockFolderFromSettings(); });

    const std::vector<NativeDockFolderRow> folders = actions->reloadFolderRows();
    if (folders.empty()) {
        form->addInfoBlock(std::string(NativeDockFolderTexts::emptyTitle),
                           std::string(NativeDockFolderTexts::emptyBody));
    }
    for (const NativeDockFolderRow& row : folders) {
        // Each row acts on the folder as read for this build.
        addNativeDockFolderRow(
            *form, row.title, row.detail, row.isEnabled,
            [actions, folder = row.folder](bool on) {
                actions->setNativeDockFolderEnabled(folder, on);
            },
            [actions, folder = row.folder] { actions->renameNativeDockFolderFromSettings(folder); },
            [actions, folder = row.folder] {
                actions->deleteNativeDockFolderFromSettings(folder);
            });
    }
    return form;
}

std::shared_ptr<FormContent> makeNativeDockWidgetSettingsView(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);
    rows.section("原生 Dock 小组件");
    rows.toggle("时间组件",
                "在原生 Dock "
                "添加一个与相邻图标同尺寸的时间磁贴，内容与任务栏时间组件一致；点击打开日历。关闭后"
                "磁贴会从 Dock 移除。可独立开启，不依赖窗口预览总开关。",
                bindSetting(&TaskbarSettings::nativeDockTimeWidgetEnabled));
    rows.toggle("内存组件",
                "在原生 Dock "
                "添加一个与相邻图标同尺寸的内存磁贴，内容与任务栏内存组件一致；点击打开系统监控。关"
                "闭后磁贴会从 Dock 移除。可独立开启，不依赖窗口预览总开关。",
                bindSetting(&TaskbarSettings::nativeDockMemoryWidgetEnabled));
    addMusicWidgetSettings(*form, host);
    form->addInfoBlock("说明",
                       "两个磁贴由 Tavrel 生成的原生 Dock "
                       "图标承载，可像普通图标一样拖动、排序和右键；把磁贴拖出 Dock "
                       "等同于关闭对应开关。承载磁贴的辅助进程不会出现在 Tavrel "
                       "任务栏中，任务栏自身的时间/内存组件仍按任务栏设置里的开关显示。");
    return form;
}

std::shared_ptr<FormContent> makeNativeDockMinimizeSettingsView(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);
    rows.section("应用最小化");
    rows.toggle("点击已打开应用时最小化窗口",
                "需开启“原生 Dock 增强”总开关；点击当前前台应用的 Dock "
                "图标时最小化窗口。关闭后恢复 macOS 原生点击行为。",
                bindSetting(&TaskbarSettings::nativeDockMinimizeOnClickEnabled));
    return form;
}

}  // namespace tavrel
