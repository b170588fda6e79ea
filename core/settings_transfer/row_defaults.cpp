#include "core/settings_transfer/row_defaults.h"

#include <string>
#include <string_view>

#include "core/settings/settings_keys.h"
#include "core/settings/taskbar_theme_configuration_keys.h"
#include "core/settings_pages/page_registry.h"
#include "core/settings_transfer/page_settings_keys.h"
#include "core/settings_transfer/settings_reset.h"

namespace tavrel {

namespace {

// The native Dock module writes this one once the Dock has changed; a reset must not claim it.
constexpr std::string_view kNativeDockHidden = "hideNativeDock";

bool canBeReset(const FormKeyReference& key) {
    if (key.name.empty() || key.name == kNativeDockHidden) return false;
    if (key.themeScoped) return findThemeConfigurationKey(key.name) != nullptr;
    const SettingsKeyInfo* info = findSettingsDocumentKey(key.name);
    if (info == nullptr) return false;
    switch (info->role) {
        case SettingsKeyRole::global:
            return true;
        case SettingsKeyRole::document:
            return key.name == "theme";
        case SettingsKeyRole::mirror:
        case SettingsKeyRole::derived:
        case SettingsKeyRole::legacy:
            return false;
    }
    return false;
}

}  // namespace

std::optional<FormKeyReference> resettableRowKey(const FormRow& row) {
    if (row.keys.empty() || !canBeReset(row.keys.front())) return std::nullopt;
    return row.keys.front();
}

bool resetSettingsKeyToDefault(TaskbarSettings& settings, const FormKeyReference& key) {
    if (!canBeReset(key)) return false;
    return key.themeScoped ? resetThemeSettingsKey(settings, settings.theme, key.name)
                           : resetGlobalSettingsKey(settings, key.name);
}

bool settingsKeyDiffersFromDefault(const TaskbarSettings& settings, const FormKeyReference& key) {
    if (!canBeReset(key)) return false;
    // A theme's key against that theme's default, member by member: the window asks this of
    // every row it builds.
    if (key.themeScoped) {
        const TaskbarSettings& defaults = settingsResetDefaults();
        const TaskbarThemeConfiguration& record = settings.profile(settings.theme);
        const TaskbarThemeConfiguration& fresh = defaults.profile(settings.theme);
#define TAVREL_THEME_KEY_DIFFERS(Type, member, windowsDefault, liquidGlassDefault, mirror, setter) \
    if (key.name == #member) return !(record.member == fresh.member);
        TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_THEME_KEY_DIFFERS)
#undef TAVREL_THEME_KEY_DIFFERS
        return false;
    }
    TaskbarSettings reset = settings;
    return resetSettingsKeyToDefault(reset, key) && !(reset == settings);
}

bool rowDiffersFromDefault(const FormRow& row, const TaskbarSettings& settings) {
    const std::optional<FormKeyReference> key = resettableRowKey(row);
    return key && settingsKeyDiffersFromDefault(settings, *key);
}

bool resetRowToDefault(TaskbarSettings& settings, const FormRow& row) {
    const std::optional<FormKeyReference> key = resettableRowKey(row);
    return key && resetSettingsKeyToDefault(settings, *key);
}

std::size_t pageResetChangeCount(FeaturePage page, const TaskbarSettings& settings) {
    std::size_t count = 0;
    for (const FormKeyReference& key : pageSettingsKeys(page, settings)) {
        if (settingsKeyDiffersFromDefault(settings, key)) ++count;
    }
    return count;
}

platform::ModalAlert pageResetConfirmation(FeaturePage page, std::size_t changeCount) {
    const std::string title(featurePageInfo(page).title);
    platform::ModalAlert alert;
    if (changeCount == 0) {
        alert.style = platform::ModalAlert::Style::informational;
        alert.message = std::string(PageResetTexts::nothingToReset);
        alert.informativeText = "「" + title + "」没有需要恢复的设置。";
        alert.buttons = {std::string(PageResetTexts::nothingButton)};
        return alert;
    }
    alert.style = platform::ModalAlert::Style::warning;
    alert.message = "将 " + std::to_string(changeCount) + " 项设置恢复为默认值？";
    alert.informativeText = "「" + title +
                            "」中与默认值不同的设置将恢复为默认值，与主题有关的设置只恢复当前显示的"
                            "主题。此操作无法撤销。";
    alert.buttons = {std::string(PageResetTexts::confirmButton),
                     std::string(PageResetTexts::cancelButton)};
    return alert;
}

}  // namespace tavrel
