#include "core/settings_transfer/page_settings_keys.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <variant>

#include "core/settings/app_data_store.h"
#include "core/settings_pages/page_registry.h"
#include "core/settings_pages/reading_page_host.h"
#include "core/settings_pages/revealing_looks.h"
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

namespace {

// The rows a place shows with `settings`, the form kept with the host whose copy its actions edit.
struct BuiltForm {
    std::unique_ptr<ReadingPageHost> host;
    std::shared_ptr<FormContent> form;

    BuiltForm(const TaskbarSettings& settings, FeaturePage page, int tab)
        : host(std::make_unique<ReadingPageHost>(
              settings, page, featurePageEntry(page).subpage.value_or(Page::taskbar), tab)),
          form(makeFeaturePageForm(page, *host)) {}
    std::vector<const FormRow*> rows() const {
        return form ? form->rows() : std::vector<const FormRow*>{};
    }
};

// Every row of the place under `settings`, then the rows that one change of a bound switch
// (turned on) or segment (another choice) shows besides. A change that would show another theme
// is left out: those rows are that theme's, and a reset stays within the theme shown.
template <class Add>
void addRowKeysWithOneChange(FeaturePage page, int tab, const TaskbarSettings& settings,
                             const Add& add) {
    const BuiltForm base(settings, page, tab);
    const std::vector<const FormRow*> rows = base.rows();
    for (const FormRow* row : rows) add(*row);
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const FormRow& row = *rows[index];
        if (row.keys.empty()) continue;
        std::vector<int> choices;  // -1: the switch turned on
        if (const auto* toggle = std::get_if<SwitchControl>(&row.control)) {
            if (!toggle->isOn && toggle->isEnabled && toggle->action) choices.push_back(-1);
        } else if (const auto* segment = std::get_if<SegmentControl>(&row.control)) {
            if (!segment->action) continue;
            for (int choice = 0; choice < static_cast<int>(segment->labels.size()); ++choice) {
                if (choice != segment->selected) choices.push_back(choice);
            }
        }
        for (const int choice : choices) {
            BuiltForm trial(settings, page, tab);
            const std::vector<const FormRow*> trialRows = trial.rows();
            if (index >= trialRows.size()) continue;
            const FormRow& changed = *trialRows[index];
            if (const auto* toggle = std::get_if<SwitchControl>(&changed.control)) {
                toggle->action(true);
            } else if (const auto* segment = std::get_if<SegmentControl>(&changed.control)) {
                segment->action(choice);
            }
            if (trial.host->settings().theme != settings.theme) continue;
            // The actions of the first form capture the host: it stays until the second is built.
            const std::shared_ptr<FormContent> keepAlive = trial.form;
            trial.form = makeFeaturePageForm(page, *trial.host);
            for (const FormRow* shown : trial.rows()) add(*shown);
        }
    }
}

}  // namespace

std::vector<FormKeyReference> pageSettingsKeys(FeaturePage page, const TaskbarSettings& settings) {
    std::vector<FormKeyReference> keys;
    const auto add = [&keys](const FormKeyReference& key) {
        if (key.name.empty() || key.name == kNativeDockHidden) return;
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
    };
    const auto addRow = [&add](const FormRow& row) {
        for (const FormKeyReference& key : row.keys) add(key);
    };
    const FeaturePageEntry& entry = featurePageEntry(page);
    if (entry.sidebarSwitch && entry.sidebarSwitch->kind == SidebarSwitch::Kind::setting) {
        for (const FormKeyReference& key : entry.sidebarSwitch->binding.keys) add(key);
    }
    for (int tab = 0; tab < kTabs; ++tab) {
        addRowKeysWithOneChange(page, tab, settings, addRow);
        // Rows that take more than one change to show, within the theme shown.
        for (const SettingsLook& look : rowRevealingLooks()) {
            TaskbarSettings revealing = settings;
            look.apply(revealing);
            if (revealing.theme != settings.theme) continue;
            const BuiltForm built(revealing, page, tab);
            for (const FormRow* row : built.rows()) addRow(*row);
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
