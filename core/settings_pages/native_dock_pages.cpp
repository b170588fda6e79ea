#include "core/settings_pages/native_dock_pages.h"

#include <utility>
#include <vector>

#include "core/form/slider_rule.h"
#include "core/native_dock/native_dock_folder_actions.h"
#include "core/settings/settings_normalization.h"
#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/music_widget_settings.h"

namespace tavrel {

namespace {

constexpr double kPreviewScaleMinimumPercent = 30;
constexpr double kPreviewScaleMaximumPercent = 200;
constexpr double kPreviewScaleStepPercent = 5;

FormColor formColor(const CodableColor& color) {
    return FormColor{color.red, color.green, color.blue, color.alpha};
}

CodableColor codableColor(const FormColor& color) {
    return CodableColor{color.red, color.green, color.blue, color.alpha};
}

// The rows of tabs 0, 2 and 3 write their key and report the edit; the page stays as it is.
class LiveRows {
public:
    LiveRows(FormContent& form, SettingsPageHost& host) : form_(form), host_(host) {}

    void toggle(std::string title, std::string detail, bool TaskbarSettings::*key) {
        SettingsPageHost& host = host_;
        form_.addSwitch(std::move(title), std::move(detail), host.settings().*key,
                        [&host, key](bool on) {
                            host.settings().*key = on;
                            host.applyLiveChange(false);
                        });
    }

    // Continuous slider whose value is stored as it comes.
    void slider(std::string title, std::string detail, double TaskbarSettings::*key, double min,
                double max) {
        SettingsPageHost& host = host_;
        form_.addSlider(std::move(title), std::move(detail), host.settings().*key, min, max, 0,
                        [&host, key](double value) {
                            host.settings().*key = value;
                            host.applyLiveChange(false);
                        });
    }

    void color(std::string title, std::string detail, CodableColor TaskbarSettings::*key) {
        SettingsPageHost& host = host_;
        form_.addColor(std::move(title), std::move(detail), formColor(host.settings().*key),
                       [&host, key](FormColor chosen) {
                           host.settings().*key = codableColor(chosen);
                           host.applyLiveChange(false);
                       });
    }

private:
    FormContent& form_;
    SettingsPageHost& host_;
};

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

int nativeDockPreviewStyleIndex(WindowPreviewStyle style) {
    return style == WindowPreviewStyle::compact ? 1 : 0;
}

WindowPreviewStyle nativeDockPreviewStyleForIndex(int index) {
    return index == 1 ? WindowPreviewStyle::compact : WindowPreviewStyle::standard;
}

int normalizedNativeDockSettingsTab(int tab) {
    return tab >= 0 && tab < NativeDockPageTexts::tabCount ? tab : 0;
}

FormRow& addNativeDockFolderRow(FormContent& form, std::string title, std::string detail,
                                bool isEnabled, std::function<void(bool)> onToggle,
                                std::function<void()> onRename, std::function<void()> onDelete) {
    NativeDockFolderRowSpec spec;
    spec.isEnabled = isEnabled;
    spec.toggleToolTip = NativeDockFolderActions::toggleToolTip(isEnabled);
    spec.onToggle = std::move(onToggle);
    spec.onRename = std::move(onRename);
    spec.onDelete = std::move(onDelete);
    return form.addCustomRow(
        std::move(title), std::move(detail),
        CustomViewSpec{std::string(NativeDockFolderRowSpec::kind), std::move(spec)});
}

std::shared_ptr<FormContent> makeNativeDockVisibilitySettingsView(SettingsPageHost& host) {
    const TaskbarSettings& settings = host.settings();
    auto form = std::make_shared<FormContent>();
    form->addSection("系统 Dock");
    // The setting is written only once the Dock commands succeeded; until then a rebuild shows
    // the stored state again.
    form->addSwitch(std::string(NativeDockPageTexts::hideTitle),
                    "开启后将原生 Dock 调整为底部自动隐藏、最小尺寸，关闭图标放大和通知弹跳。"
                    "鼠标在屏幕底边停留 15 秒后可唤出原生 Dock。",
                    settings.hideNativeDock,
                    [&host](bool on) { host.nativeDockPages().changeNativeDockHidden(on); });
    form->addSwitch(
        std::string(NativeDockPageTexts::wallpaperMaskTitle),
        "在调度中心也不显示原生Dock，仅在开启「隐藏原生dock」时生效。",
        settings.nativeDockWallpaperMaskEnabled,
        [&host](bool on) {
            host.settings().nativeDockWallpaperMaskEnabled = on;
            host.applyLiveChange(false);
        },
        /*allowsTitleWrapping=*/true, /*isEnabled=*/settings.hideNativeDock);
    form->addInfoBlock("提示", "切换「隐藏原生dock」时会弹窗确认，不影响 Tavrel 任务栏自身开关。");
    return form;
}

std::shared_ptr<FormContent> makeNativeDockSettingsView(SettingsPageHost& host) {
    NativeDockPageHost& dock = host.nativeDockPages();
    const int tab = normalizedNativeDockSettingsTab(dock.nativeDockSettingsTab());
    auto form = std::make_shared<FormContent>();
    form->addCenteredSegment(tabLabels(), tab, [&host](int index) {
        host.endTextEditing();
        host.nativeDockPages().setNativeDockSettingsTab(normalizedNativeDockSettingsTab(index));
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
    const TaskbarSettings& settings = host.settings();
    auto form = std::make_shared<FormContent>();
    form->addCustomView(CustomViewSpec{
        std::string(PermissionBannerSpec::kind),
        PermissionBannerSpec{PermissionKind::screenRecording,
                             std::string(PermissionBannerText::screenRecordingPreview)}});
    LiveRows rows(*form, host);

    form->addSection("原生 Dock 增强");
    // The same setting is the sidebar switch of this page, so the window is rebuilt to show the
    // two in step.
    form->addSwitch(std::string(NativeDockPageTexts::masterSwitchTitle),
                    "总开关：关闭后，窗口预览、悬停指示条、激活指示条和应用最小化全部不生效。",
                    settings.nativeDockEnhancementsEnabled, [&host](bool on) {
                        host.endTextEditing();
                        host.settings().nativeDockEnhancementsEnabled = on;
                        host.applyLiveChange(true);
                    });

    form->addSection("悬停指示条");
    rows.toggle("启用悬停指示条",
                "需同时开启“原生 Dock 增强”总开关；鼠标移入原生 Dock "
                "图标时，在图标外侧显示小横条。",
                &TaskbarSettings::nativeDockHoverIndicatorEnabled);
    rows.slider("悬停条距图标",
                "调整悬停指示条与原生 Dock 图标之间的距离；负数会让指示条更靠近或压入图标区域。",
                &TaskbarSettings::nativeDockHoverIndicatorGap, -80, 80);
    rows.slider("悬停条高度", "调整悬停指示条的厚度。",
                &TaskbarSettings::nativeDockHoverIndicatorHeight, 1, 20);
    rows.slider("悬停条宽度", "调整悬停指示条的长度。",
                &TaskbarSettings::nativeDockHoverIndicatorWidth, 2, 120);
    rows.color("悬停条颜色", "设置悬停指示条颜色。",
               &TaskbarSettings::nativeDockHoverIndicatorColor);

    form->addSection("激活指示条");
    rows.toggle("启用激活指示条",
                "需同时开启“原生 Dock 增强”总开关；应用窗口处于激活/顶层状态时，在对应原生 Dock "
                "图标外侧显示小横条。",
                &TaskbarSettings::nativeDockActiveIndicatorEnabled);
    rows.slider("激活条距屏幕边缘", "底部 Dock 时表示距屏幕底部；左/右 Dock 时表示距对应屏幕侧边。",
                &TaskbarSettings::nativeDockActiveIndicatorBottomGap, 0, 80);
    rows.slider("激活条高度", "调整激活指示条的厚度。",
                &TaskbarSettings::nativeDockActiveIndicatorHeight, 1, 20);
    rows.slider("激活条宽度", "调整激活指示条的长度。",
                &TaskbarSettings::nativeDockActiveIndicatorWidth, 2, 120);
    rows.color("激活条颜色", "设置激活指示条颜色。",
               &TaskbarSettings::nativeDockActiveIndicatorColor);

    form->addSection("窗口预览");
    rows.toggle("启用窗口预览", "需同时开启“原生 Dock 增强”总开关",
                &TaskbarSettings::enableNativeDockWindowPreview);
    form->addSegment(
        std::string(NativeDockPageTexts::previewStyleTitle),
        "标准样式显示窗口截图；简洁样式仅显示标题和关闭按钮。无录制权限时自动回退为简洁样式。",
        {std::string(NativeDockPageTexts::standardStyle),
         std::string(NativeDockPageTexts::compactStyle)},
        nativeDockPreviewStyleIndex(settings.nativeDockPreviewStyle), [&host](int index) {
            host.settings().nativeDockPreviewStyle = nativeDockPreviewStyleForIndex(index);
            host.applyLiveChange(false);
        });
    rows.toggle("仅多窗口应用显示预览",
                "开启后，只有包含两个及以上窗口的应用显示预览；单窗口应用不显示预览。",
                &TaskbarSettings::nativeDockPreviewOnlyForMultiWindowApps);
    form->addSlider(
        std::string(NativeDockPageTexts::previewScaleTitle),
        "按百分比整体缩放原生 Dock 窗口预览，截图、文字、按钮、背景与圆角同步等比缩放。",
        nativeDockPreviewScalePercent(settings.nativeDockPreviewScaleValue),
        kPreviewScaleMinimumPercent, kPreviewScaleMaximumPercent, kPreviewScaleStepPercent,
        [&host](double percent) {
            host.settings().setNativeDockPreviewScale(nativeDockPreviewScaleFromPercent(percent));
            host.applyLiveChange(false);
        },
        formatPercent);
    rows.slider("触发延迟", "设置鼠标移入原生 Dock 图标后显示预览窗口的延迟，单位毫秒。",
                &TaskbarSettings::nativeDockPreviewHoverDelayMilliseconds, 0, 100);
    rows.slider("距图标", "设置原生 Dock 窗口预览面板与 Dock 图标之间的距离。",
                &TaskbarSettings::nativeDockPreviewGap, 0, 200);
    rows.slider("玻璃通透度", "调整原生 Dock 窗口预览卡片玻璃背景的通透程度。",
                &TaskbarSettings::nativeDockPreviewGlassTransparency, 0, 1);
    form->addSlider("预览窗口圆角", "调整原生 Dock 窗口预览卡片的圆角大小。",
                    settings.nativeDockPreviewCornerRadiusValue, 0, 100, 0, [&host](double value) {
                        host.settings().setNativeDockPreviewCornerRadius(value);
                        host.applyLiveChange(false);
                    });
    form->addSlider("窗口截图圆角", "调整原生 Dock 窗口预览中截图本身的圆角大小。",
                    settings.nativeDockPreviewThumbnailCornerRadiusValue, 0, 100, 0,
                    [&host](double value) {
                        host.settings().setNativeDockPreviewThumbnailCornerRadius(value);
                        host.applyLiveChange(false);
                    });

    form->addSection("边框");
    rows.slider("边框宽度", "设置原生 Dock 窗口预览卡片默认边框宽度。",
                &TaskbarSettings::nativeDockPreviewBorderWidth, 0, 4);
    rows.color("边框颜色", "设置原生 Dock 窗口预览卡片默认边框颜色。",
               &TaskbarSettings::nativeDockPreviewBorderColor);
    return form;
}

std::shared_ptr<FormContent> makeNativeDockApplicationGroupingView(SettingsPageHost& host) {
    NativeDockPageHost& dock = host.nativeDockPages();
    // One set of actions per build; the rows' closures keep it alive as long as the form. An
    // action keeps the page where it was scrolled, like any page action that rebuilds.
    auto actions = std::make_shared<NativeDockFolderActions>(
        dock.nativeDockFolderStore(), host.dialogs(), dock.notificationCenter(), [&host] {
            host.endTextEditing();
            host.storePageScrollOrigin();
            host.rebuildContentViewBody();
        });

    auto form = std::make_shared<FormContent>();
    form->addSection(std::string(NativeDockFolderTexts::section));
    form->addSwitch(std::string(NativeDockFolderTexts::dropShelfTitle),
                    std::string(NativeDockFolderTexts::dropShelfDetail),
                    host.settings().nativeDockFolderDropShelfEnabled, [&host](bool on) {
                        host.settings().nativeDockFolderDropShelfEnabled = on;
                        host.applyLiveChange(false);
                    });
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
    LiveRows rows(*form, host);
    form->addSection("原生 Dock 小组件");
    rows.toggle("时间组件",
                "在原生 Dock "
                "添加一个与相邻图标同尺寸的时间磁贴，内容与任务栏时间组件一致；点击打开日历。关闭后"
                "磁贴会从 Dock 移除。可独立开启，不依赖窗口预览总开关。",
                &TaskbarSettings::nativeDockTimeWidgetEnabled);
    rows.toggle("内存组件",
                "在原生 Dock "
                "添加一个与相邻图标同尺寸的内存磁贴，内容与任务栏内存组件一致；点击打开系统监控。关"
                "闭后磁贴会从 Dock 移除。可独立开启，不依赖窗口预览总开关。",
                &TaskbarSettings::nativeDockMemoryWidgetEnabled);
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
    LiveRows rows(*form, host);
    form->addSection("应用最小化");
    rows.toggle("点击已打开应用时最小化窗口",
                "需开启“原生 Dock 增强”总开关；点击当前前台应用的 Dock "
                "图标时最小化窗口。关闭后恢复 macOS 原生点击行为。",
                &TaskbarSettings::nativeDockMinimizeOnClickEnabled);
    return form;
}

}  // namespace tavrel
