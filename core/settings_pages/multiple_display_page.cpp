// "多显示器配置": on which connected displays the taskbar shows, and where windows open. The
// document keeps the displays that do NOT show the taskbar, so a display never seen before shows
// it; at least one connected display always stays included. The window rebuilds this page when
// displays come or go, so there is one switch per display connected now.

#include <optional>
#include <string>
#include <vector>

#include "core/settings/taskbar_display_selection.h"
#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/feature_pages.h"

namespace tavrel {

namespace {

namespace selection = TaskbarDisplaySelection;

// The keys a display row writes: the exclusions, and the two legacy keys it clears.
std::vector<FormKeyReference> displayKeys() {
    return {settingsKey(&TaskbarSettings::taskbarExcludedDisplayIdentifiers),
            settingsKey(&TaskbarSettings::taskbarDisplayIdentifier),
            settingsKey(&TaskbarSettings::taskbarDisplayIdentifiers)};
}

// The displays connected now, in the platform's order; a display without an identifier cannot
// be stored and gets no row.
std::vector<platform::ScreenInfo> onlineDisplays(SettingsPageHost& host) {
    std::vector<platform::ScreenInfo> displays = host.services().screens().onlineScreens();
    std::erase_if(displays, [](const platform::ScreenInfo& s) { return s.identifier.empty(); });
    return displays;
}

selection::Identifiers identifiersOf(const std::vector<platform::ScreenInfo>& displays) {
    selection::Identifiers online;
    for (const platform::ScreenInfo& display : displays) online.push_back(display.identifier);
    return online;
}

selection::Identifiers shownExclusions(const TaskbarSettings& s,
                                       const selection::Identifiers& online) {
    return selection::shownExclusions(s.taskbarExcludedDisplayIdentifiers,
                                      s.taskbarDisplayIdentifiers, s.taskbarDisplayIdentifier,
                                      online);
}

// The exclusions in their current form; the legacy selection is dropped for good.
void setTaskbarDisplayExclusions(SettingsPageHost& host, selection::Identifiers exclusions) {
    TaskbarSettings& s = host.settings();
    s.taskbarDisplayIdentifier.reset();
    s.taskbarDisplayIdentifiers.reset();
    s.taskbarExcludedDisplayIdentifiers = std::move(exclusions);
    host.applyLiveChange(/*rebuild=*/true);
}

// The user switched the display `identifier` on or off. The exclusions are read afresh (the
// document or the displays may have changed since the page was built); a switch that already
// shows what the settings hold changes nothing. The page is rebuilt either way, so a refused
// change (the last showing display) springs back.
void switchDisplay(SettingsPageHost& host, const std::string& identifier, bool on) {
    const selection::Identifiers online = identifiersOf(onlineDisplays(host));
    const selection::Identifiers current = shownExclusions(host.settings(), online);
    const bool showing = !selection::isExcluded(identifier, current);
    setTaskbarDisplayExclusions(
        host, showing == on ? current : selection::togglingExclusion(identifier, current, online));
}

}  // namespace

std::shared_ptr<FormContent> makeMultipleDisplaySettingsView(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    PageRows rows(*form, host);
    const std::vector<platform::ScreenInfo> displays = onlineDisplays(host);
    const selection::Identifiers excluded =
        shownExclusions(host.settings(), identifiersOf(displays));

    rows.section("任务栏所在显示器（多选）");
    form->addButton("选择所有显示器", "新连接的显示器默认选中，至少保留一个显示器显示任务栏。",
                    std::nullopt, [&host] { setTaskbarDisplayExclusions(host, {}); })
        .keys = displayKeys();
    for (const platform::ScreenInfo& display : displays) {
        // The row addresses its display by identifier, never by position in the list.
        const std::string identifier = display.identifier;
        form->addSwitch(display.name.empty() ? identifier : display.name, "在此显示器上显示任务栏",
                        !selection::isExcluded(identifier, excluded),
                        [&host, identifier](bool on) { switchDisplay(host, identifier, on); })
            .keys = displayKeys();
    }

    rows.section("窗口打开位置");
    rows.toggle(
        "窗口打开位置跟随操作屏幕",
        "从 Tavrel 打开或切换窗口时，跨屏窗口保留大小并在操作屏幕居中；同屏窗口保持原有行为。",
        bindSetting(&TaskbarSettings::windowOpeningFollowsOperationScreen));
    return form;
}

}  // namespace tavrel
