#include "core/settings_transfer/page_settings_keys.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/settings/app_data_store.h"
#include "core/settings_pages/page_registry.h"
#include "core/settings_pages/reading_page_host.h"
#include "core/settings_transfer/settings_reset.h"

namespace tavrel {

namespace {

constexpr std::array<std::pair<FeaturePage, std::string_view>, featurePageCount> kPageNames = {{
    {FeaturePage::taskbar, "taskbar"},
    {FeaturePage::multipleDisplays, "multipleDisplays"},
    {FeaturePage::hideNativeDock, "hideNativeDock"},
    {FeaturePage::clockCalendar, "clockCalendar"},
    {FeaturePage::taskbarWidgets, "taskbarWidgets"},
    {FeaturePage::taskbarIcons, "taskbarIcons"},
    {FeaturePage::taskbarIndicators, "taskbarIndicators"},
    {FeaturePage::taskbarPreview, "taskbarPreview"},
    {FeaturePage::startMenu, "startMenu"},
    {FeaturePage::nativeDock, "nativeDock"},
    {FeaturePage::nativeDockLauncher, "nativeDockLauncher"},
    {FeaturePage::switcher, "switcher"},
    {FeaturePage::advancedGestures, "advancedGestures"},
    {FeaturePage::desktopCorner, "desktopCorner"},
    {FeaturePage::desktopIcons, "desktopIcons"},
    {FeaturePage::hideNotch, "hideNotch"},
    {FeaturePage::newFile, "newFile"},
    {FeaturePage::general, "general"},
}};

// The native Dock module writes this one once the Dock has changed; a reset must not claim it.
constexpr std::string_view kNativeDockHidden = "hideNativeDock";

// The native Dock page has the most tabs.
constexpr int kTabs = 4;

}  // namespace

std::optional<FeaturePage> featurePageNamed(std::string_view name) {
    std::optional<FeaturePage> byTitle;
    int titled = 0;
    for (const auto& [page, pageName] : kPageNames) {
        if (name == pageName) return page;
        if (name == featurePageInfo(page).title) {
            byTitle = page;
            ++titled;
        }
    }
    // Two pages share a title; only their names tell them apart.
    if (titled != 1) return std::nullopt;
    return byTitle;
}

std::string_view featurePageName(FeaturePage page) {
    for (const auto& [candidate, name] : kPageNames) {
        if (candidate == page) return name;
    }
    return {};
}

std::vector<FormKeyReference> pageSettingsKeys(FeaturePage page, const TaskbarSettings& settings) {
    std::vector<FormKeyReference> keys;
    const auto add = [&keys](const FormKeyReference& key) {
        if (key.name.empty() || key.name == kNativeDockHidden) return;
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
    };
    const FeaturePageEntry& entry = featurePageEntry(page);
    if (entry.sidebarSwitch && entry.sidebarSwitch->kind == SidebarSwitch::Kind::setting) {
        for (const FormKeyReference& key : entry.sidebarSwitch->binding.keys) add(key);
    }
    for (int tab = 0; tab < kTabs; ++tab) {
        ReadingPageHost host(settings, page, entry.subpage.value_or(Page::taskbar), tab);
        const std::shared_ptr<FormContent> form = makeFeaturePageForm(page, host);
        if (!form) continue;
        for (const FormRow* row : form->rows()) {
            for (const FormKeyReference& key : row->keys) add(key);
        }
    }
    return keys;
}

void resetPageSettings(TaskbarSettings& settings, FeaturePage page) {
    const TaskbarTheme shown = settings.theme;
    for (const FormKeyReference& key : pageSettingsKeys(page, settings)) {
        if (key.themeScoped) {
            resetThemeSettingsKey(settings, shown, key.name);
        } else {
            resetGlobalSettingsKey(settings, key.name);
        }
    }
}

}  // namespace tavrel
