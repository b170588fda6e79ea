#include "core/settings_pages/taskbar_page.h"

#include <algorithm>
#include <any>
#include <string>

#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/taskbar_subpages.h"

namespace tavrel {

namespace {

constexpr double kEdgeDistanceConfirmationThreshold = 10;

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
    block.appearanceLabels = {"自动", "浅色", "深色"};
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
    using C = TaskbarThemeConfiguration;
    using Material = TaskbarLiquidGlassBackgroundMaterial;
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);
    const TaskbarTheme theme = rows.shownTheme();
    const TaskbarRowVisibility shown = taskbarRowVisibility(host.settings());
    const auto unitInterval = [](const TaskbarSettings&, double value) {
        return std::clamp(value, 0.0, 1.0);
    };

    rows.section("外观");
    if (shown.backgroundStyle) {
        rows.segment("背景样式", "扁平保留液态玻璃背景；无背景隐藏任务栏背景。",
                     bindSetting(&TaskbarSettings::liquidGlassBackgroundStyle),
                     {{"扁平", TaskbarBackgroundStyle::flat},
                      {"无背景", TaskbarBackgroundStyle::noBackground}},
                     OnChange::endEditingRebuild);
    }
    if (shown.shelfMaterial) {
        rows.segment("背景材质",
                     "金属保留经典银色台面；玻璃使用系统液态玻璃，呈现通透折射与流动光泽；木质"
                     "呈现浅暖橡木纹理。",
                     bindSetting(&TaskbarSettings::taskbarShelfMaterial),
                     {{"金属", TaskbarShelfMaterial::metal},
                      {"玻璃", TaskbarShelfMaterial::glass},
                      {"木质", TaskbarShelfMaterial::wood}},
                     OnChange::endEditingLive);
    }
    if (shown.liquidGlassMaterial) {
        rows.segment("任务栏背景材质",
                     "磨砂液态玻璃保持当前效果；通透液态玻璃使用系统最通透的 Liquid Glass 样式；"
                     "极致透明OS27 基于通透材质移除额外背景模糊与着色。",
                     bindSetting(&TaskbarSettings::liquidGlassBackgroundMaterial),
                     {{"磨砂液态玻璃", Material::frosted},
                      {"通透液态玻璃", Material::clear},
                      {"极致透明OS27", Material::ultraTransparentOS27}},
                     OnChange::endEditingRebuild);
    }
    if (shown.frostedOpacity) {
        rows.slider("磨砂液态玻璃透明度", "仅调整磨砂液态玻璃材质的透明度。",
                    bindSetting(&TaskbarSettings::frostedLiquidGlassOpacity).stored(unitInterval),
                    {0, 1});
    }
    if (shown.clearOpacity) {
        rows.slider("通透液态玻璃透明度", "仅调整通透液态玻璃材质的透明度。",
                    bindSetting(&TaskbarSettings::clearLiquidGlassOpacity).stored(unitInterval),
                    {0, 1});
    }
    if (shown.windowsOpacity) {
        rows.slider("任务栏透明度", "调整任务栏背景材质的不透明程度，0 为透明，1 为最实。",
                    rows.theme(&C::opacity).stored(unitInterval), {0, 1});
    }
    if (shown.cornerRadius) {
        rows.slider("背景圆角", "控制任务栏背景胶囊/圆角矩形的圆角半径。",
                    rows.theme(&C::taskbarCornerRadius), {0, 100});
    }

    rows.section("尺寸与位置");
    rows.segment("任务栏位置",
                 "设置任务栏贴靠的屏幕边缘。启动台、日历、时间和右下角功能保持原逻辑。",
                 rows.theme(&C::taskbarScreenEdge), {{"底部", 0}, {"左侧", 1}, {"右侧", 2}});
    rows.segment("避让方式", "选择窗口避让任务栏，或由任务栏缩放、隐藏来避让当前活动窗口。",
                 rows.theme(&C::taskbarAvoidanceMode),
                 {{"窗口避让任务栏", 0}, {"任务栏避让窗口", 1}});
    rows.slider(
        "任务栏厚度", "改变任务栏整体厚度，并自动限制图标和按钮尺寸不超过可用厚度。",
        rows.theme(&C::taskbarHeight)
            .then({themeKey(&C::iconSize), themeKey(&C::buttonSize)},
                  [theme](TaskbarSettings& s, double) { s.clampIconAndButtonSizes(theme); }),
        {40, 120});
    rows.slider("固定长度比例", "未开启自动匹配长度时，按屏幕边长比例设置任务栏长度。",
                rows.theme(&C::taskbarWidthRatio)
                    .shown(taskbarWidthRatioPercent)
                    .stored([](const TaskbarSettings&, double percent) {
                        return taskbarWidthRatioFromPercent(percent);
                    }),
                {40, 100});
    rows.toggle("按内容自动收缩", "根据当前任务栏图标数量自动调整长度，只保留必要空间。",
                rows.theme(&C::taskbarAutoFitWidth));
    rows.slider("自动长度留白", "按内容自动收缩时，在图标总长度外额外保留的空间。",
                rows.theme(&C::taskbarAutoFitExtraWidth), {0, 80});

    // Above 10 the question is asked once per excursion: an accepted answer holds until the
    // value comes back to 10 or below. The flag lives as long as this form.
    auto confirmed = std::make_shared<bool>(false);
    rows.slider(
        "距屏幕边缘", "控制任务栏与所在屏幕边缘之间的距离。", rows.theme(&C::taskbarBottomGap),
        {0, 120}, OnChange::live, {}, [&host, confirmed](double value) {
            if (value <= kEdgeDistanceConfirmationThreshold) {
                *confirmed = false;
                return true;
            }
            if (*confirmed) return true;
            *confirmed =
                host.services().dialogs().runModal(edgeDistanceConfirmation()).isFirstButton();
            return *confirmed;
        });
    rows.segment("图标对齐", "决定图标组在任务栏内部靠左排列或居中排列。",
                 rows.theme(&C::alignment), {{"靠左", 0}, {"居中", 1}}, OnChange::rebuild,
                 /*otherwise: any other value is centred*/ 1);
    if (shown.leftInset) {
        rows.slider("距离左侧边缘距离", "图标靠左排列时，第一枚图标距离任务栏左边缘的间距。",
                    rows.theme(&C::taskbarLeftInset), {0, 200});
    }

    rows.section("快捷操作");
    rows.segment("点击已激活图标",
                 "点击当前已激活窗口的任务栏图标时，选择最小化该窗口，或隐藏该应用的所有窗口。",
                 rows.theme(&C::activeIconClickAction), {{"最小化窗口", 0}, {"隐藏应用", 1}});
    rows.toggle("右下角显示桌面", "点击屏幕右下角热区时，隐藏当前可见窗口。",
                rows.theme(&C::enableDesktopCornerShortcut));
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
