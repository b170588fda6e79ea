#include "core/settings_pages/taskbar_page.h"

#include <algorithm>
#include <any>
#include <string>

#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/page_builders.h"

namespace tavrel {

namespace {

constexpr double kEdgeDistanceConfirmationThreshold = 10;

std::vector<std::string> labels(std::initializer_list<const char*> texts) {
    return std::vector<std::string>(texts.begin(), texts.end());
}

}  // namespace

TaskbarRowVisibility taskbarRowVisibility(const TaskbarSettings& settings) {
    const bool liquidGlass = settings.theme == TaskbarTheme::liquidGlass;
    const bool flat = settings.liquidGlassBackgroundStyle == TaskbarBackgroundStyle::flat;
    const auto material = settings.liquidGlassBackgroundMaterial;
    TaskbarRowVisibility shown;
    shown.backgroundStyle = liquidGlass;
    shown.shelfMaterial = settings.usesDimensionalTaskbarBackground();
    shown.liquidGlassMaterial = liquidGlass && flat;
    shown.frostedOpacity =
        liquidGlass && flat && material == TaskbarLiquidGlassBackgroundMaterial::frosted;
    shown.clearOpacity =
        liquidGlass && flat && material == TaskbarLiquidGlassBackgroundMaterial::clear;
    shown.windowsOpacity = !liquidGlass;
    shown.cornerRadius =
        !settings.usesDimensionalTaskbarBackground() && !settings.usesNoTaskbarBackground();
    shown.leftInset = settings.activeProfile().alignment == 0;
    return shown;
}

platform::ModalAlert edgeDistanceConfirmation() {
    platform::ModalAlert alert;
    alert.style = platform::ModalAlert::Style::warning;
    alert.message = "距屏幕边缘";
    alert.informativeText =
        "不建议超过10像素，在开启自动隐藏任务栏时会轻微影响任务栏的放大动画，若不使用放大动画，则可"
        "忽略";
    alert.buttons = {"确认", "取消"};
    return alert;
}

double taskbarWidthRatioPercent(double storedRatio) {
    return storedRatio * 100;
}

double taskbarWidthRatioFromPercent(double percent) {
    return percent / 100;
}

std::shared_ptr<FormContent> makeTaskbarThemeAndSubpageSelector(SettingsPageHost& host) {
    TaskbarSettings& settings = host.settings();
    TaskbarSelectorBlockSpec block;
    block.appearanceLabels = labels({"自动", "浅色", "深色"});
    block.appearanceSelected = static_cast<int>(enumerationCode(settings.appearanceMode));
    block.onAppearanceSelected = [&host](int index) {
        TaskbarSettings& s = host.settings();
        if (index < 0 || index > 2) return;
        const auto mode = static_cast<TavrelAppearanceMode>(index);
        if (mode == s.appearanceMode) return;
        s.appearanceMode = mode;
        host.applyAppearance();
        commitPageEdit(host);
    };
    block.theme = settings.theme;
    block.onThemeSelected = [&host](TaskbarTheme choice) {
        TaskbarSettings& s = host.settings();
        if (choice == s.theme) return false;
        s.theme = choice;
        commitPageEdit(host);
        host.rebuildContentViewBody();
        return true;
    };
    for (std::string_view label : subpageLabels()) block.subpageLabels.emplace_back(label);
    block.subpageSelected = subpageIndex(host.selectedPage());
    block.onSubpageSelected = [&host](int index) { host.selectSubpage(index); };

    auto form = std::make_shared<FormContent>();
    form->addCustomView(
        CustomViewSpec{std::string(TaskbarSelectorBlockSpec::kind), std::move(block)});
    return form;
}

std::shared_ptr<FormContent> makeTaskbarSettingsView(SettingsPageHost& host) {
    TaskbarSettings& settings = host.settings();
    const TaskbarTheme shownTheme = settings.theme;
    const TaskbarRowVisibility shown = taskbarRowVisibility(settings);
    const TaskbarThemeConfiguration& record = settings.profile(shownTheme);
    // The theme-scoped rows write the record of the theme this page shows.
    const auto profile = [&host, shownTheme]() -> TaskbarThemeConfiguration& {
        return host.settings().profile(shownTheme);
    };
    const auto slider = [&host](auto write) {
        return [&host, write](double value) {
            write(value);
            commitPageEdit(host);
        };
    };

    auto form = std::make_shared<FormContent>();
    form->addSection("外观");
    if (shown.backgroundStyle) {
        form->addSegment("背景样式", "扁平保留液态玻璃背景；无背景隐藏任务栏背景。",
                         labels({"扁平", "无背景"}), settings.usesNoTaskbarBackground() ? 1 : 0,
                         [&host](int index) {
                             host.endTextEditing();
                             host.settings().liquidGlassBackgroundStyle =
                                 index == 1 ? TaskbarBackgroundStyle::noBackground
                                            : TaskbarBackgroundStyle::flat;
                             host.applyLiveChange(true);
                         });
    }
    if (shown.shelfMaterial) {
        form->addSegment(
            "背景材质",
            "金属保留经典银色台面；玻璃使用系统液态玻璃，呈现通透折射与流动光泽；木质呈现浅暖橡木纹"
            "理。",
            labels({"金属", "玻璃", "木质"}),
            static_cast<int>(enumerationCode(settings.taskbarShelfMaterial)), [&host](int index) {
                host.endTextEditing();
                host.settings().taskbarShelfMaterial = index == 2   ? TaskbarShelfMaterial::wood
                                                       : index == 1 ? TaskbarShelfMaterial::glass
                                                                    : TaskbarShelfMaterial::metal;
                commitPageEdit(host);
            });
    }
    if (shown.liquidGlassMaterial) {
        form->addSegment("任务栏背景材质",
                         "磨砂液态玻璃保持当前效果；通透液态玻璃使用系统最通透的 Liquid Glass "
                         "样式；极致透明OS27 "
                         "基于通透材质移除额外背景模糊与着色。",
                         labels({"磨砂液态玻璃", "通透液态玻璃", "极致透明OS27"}),
                         static_cast<int>(enumerationCode(settings.liquidGlassBackgroundMaterial)),
                         [&host](int index) {
                             host.endTextEditing();
                             host.settings().liquidGlassBackgroundMaterial =
                                 index == 2
                                     ? TaskbarLiquidGlassBackgroundMaterial::ultraTransparentOS27
                                 : index == 1 ? TaskbarLiquidGlassBackgroundMaterial::clear
                                              : TaskbarLiquidGlassBackgroundMaterial::frosted;
                             host.applyLiveChange(true);
                         });
    }
    if (shown.frostedOpacity) {
        form->addSlider("磨砂液态玻璃透明度", "仅调整磨砂液态玻璃材质的透明度。",
                        settings.frostedLiquidGlassOpacity, 0, 1, 0, slider([&host](double v) {
                            host.settings().frostedLiquidGlassOpacity = std::clamp(v, 0.0, 1.0);
                        }));
    }
    if (shown.clearOpacity) {
        form->addSlider("通透液态玻璃透明度", "仅调整通透液态玻璃材质的透明度。",
                        settings.clearLiquidGlassOpacity, 0, 1, 0, slider([&host](double v) {
                            host.settings().clearLiquidGlassOpacity = std::clamp(v, 0.0, 1.0);
                        }));
    }
    if (shown.windowsOpacity) {
        form->addSlider(
            "任务栏透明度", "调整任务栏背景材质的不透明程度，0 为透明，1 为最实。", record.opacity,
            0, 1, 0, slider([profile](double v) { profile().opacity = std::clamp(v, 0.0, 1.0); }));
    }
    if (shown.cornerRadius) {
        form->addSlider("背景圆角", "控制任务栏背景胶囊/圆角矩形的圆角半径。",
                        record.taskbarCornerRadius, 0, 100, 0,
                        slider([profile](double v) { profile().taskbarCornerRadius = v; }));
    }

    form->addSection("尺寸与位置");
    const auto edge = enumerationFromCode<TaskbarScreenEdge>(record.taskbarScreenEdge);
    form->addSegment("任务栏位置",
                     "设置任务栏贴靠的屏幕边缘。启动台、日历、时间和右下角功能保持原逻辑。",
                     labels({"底部", "左侧", "右侧"}),
                     edge == TaskbarScreenEdge::left    ? 1
                     : edge == TaskbarScreenEdge::right ? 2
                                                        : 0,
                     [&host, profile](int index) {
                         profile().taskbarScreenEdge = index >= 0 && index <= 2 ? index : 0;
                         commitPageEdit(host);
                     });
    form->addSegment("避让方式", "选择窗口避让任务栏，或由任务栏缩放、隐藏来避让当前活动窗口。",
                     labels({"窗口避让任务栏", "任务栏避让窗口"}),
                     record.taskbarAvoidanceMode == 1 ? 1 : 0, [&host, profile](int index) {
                         profile().taskbarAvoidanceMode = index == 1 ? 1 : 0;
                         commitPageEdit(host);
                     });
    form->addSlider("任务栏厚度", "改变任务栏整体厚度，并自动限制图标和按钮尺寸不超过可用厚度。",
                    record.taskbarHeight, 40, 120, 0,
                    slider([&host, shownTheme, profile](double v) {
                        profile().taskbarHeight = v;
                        host.settings().clampIconAndButtonSizes(shownTheme);
                    }));
    form->addSlider("固定长度比例", "未开启自动匹配长度时，按屏幕边长比例设置任务栏长度。",
                    taskbarWidthRatioPercent(record.taskbarWidthRatio), 40, 100, 0,
                    slider([profile](double v) {
                        profile().taskbarWidthRatio = taskbarWidthRatioFromPercent(v);
                    }));
    form->addSwitch("按内容自动收缩", "根据当前任务栏图标数量自动调整长度，只保留必要空间。",
                    record.taskbarAutoFitWidth, [&host, profile](bool on) {
                        profile().taskbarAutoFitWidth = on;
                        commitPageEdit(host);
                    });
    form->addSlider("自动长度留白", "按内容自动收缩时，在图标总长度外额外保留的空间。",
                    record.taskbarAutoFitExtraWidth, 0, 80, 0,
                    slider([profile](double v) { profile().taskbarAutoFitExtraWidth = v; }));

    // Above 10 the question is asked once per excursion: an accepted answer holds until the
    // value comes back to 10 or below. The flag lives as long as this form.
    auto confirmed = std::make_shared<bool>(false);
    form->addSlider("距屏幕边缘", "控制任务栏与所在屏幕边缘之间的距离。", record.taskbarBottomGap,
                    0, 120, 0, slider([profile](double v) { profile().taskbarBottomGap = v; }), {},
                    [&host, confirmed](double value) {
                        if (value <= kEdgeDistanceConfirmationThreshold) {
                            *confirmed = false;
                            return true;
                        }
                        if (*confirmed) return true;
                        *confirmed =
                            host.dialogs().runModal(edgeDistanceConfirmation()).isFirstButton();
                        return *confirmed;
                    });
    form->addSegment("图标对齐", "决定图标组在任务栏内部靠左排列或居中排列。",
                     labels({"靠左", "居中"}), record.alignment != 0 ? 1 : 0,
                     [&host, profile](int index) {
                         profile().alignment = index == 0 ? 0 : 1;
                         commitPageEdit(host);
                         host.rebuildContentViewBody();
                     });
    if (shown.leftInset) {
        form->addSlider("距离左侧边缘距离", "图标靠左排列时，第一枚图标距离任务栏左边缘的间距。",
                        record.taskbarLeftInset, 0, 200, 0,
                        slider([profile](double v) { profile().taskbarLeftInset = v; }));
    }

    form->addSection("快捷操作");
    form->addSegment("点击已激活图标",
                     "点击当前已激活窗口的任务栏图标时，选择最小化该窗口，或隐藏该应用的所有窗口。",
                     labels({"最小化窗口", "隐藏应用"}), record.activeIconClickAction == 1 ? 1 : 0,
                     [&host, profile](int index) {
                         profile().activeIconClickAction = index == 1 ? 1 : 0;
                         commitPageEdit(host);
                     });
    form->addSwitch("右下角显示桌面", "点击屏幕右下角热区时，隐藏当前可见窗口。",
                    record.enableDesktopCornerShortcut, [&host, profile](bool on) {
                        profile().enableDesktopCornerShortcut = on;
                        commitPageEdit(host);
                    });
    return form;
}

std::shared_ptr<FormContent> makeTaskbarCompositeSettingsView(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    form->addForm(makeTaskbarThemeAndSubpageSelector(host));
    switch (host.selectedPage()) {
        case Page::taskbar:
            form->addForm(makeTaskbarSettingsView(host));
            break;
        case Page::icons:
            form->addForm(makeIconSettingsView(host));
            break;
        case Page::indicators:
            form->addForm(makeIndicatorSettingsView(host));
            break;
        case Page::preview:
            form->addForm(makePreviewSettingsView(host));
            break;
        case Page::widgets:
            form->addForm(makeTaskbarWidgetsSettingsView(host));
            break;
    }
    return form;
}

}  // namespace tavrel
