#include "core/settings_search/settings_search_index.h"

#include <map>
#include <memory>
#include <set>
#include <utility>

#include "core/settings_pages/native_dock_pages.h"
#include "core/settings_pages/page_registry.h"
#include "core/settings_pages/reading_page_host.h"
#include "core/settings_pages/revealing_looks.h"

namespace tavrel {

namespace {

// A place the window can show, with the label of its sub-page or tab.
struct Shown {
    SettingsSearchLocation location;
    std::string tabTitle;
};

std::vector<Shown> everythingShown() {
    static constexpr std::string_view dockTabs[] = {
        NativeDockPageTexts::previewTab, NativeDockPageTexts::groupingTab,
        NativeDockPageTexts::widgetTab, NativeDockPageTexts::minimizeTab};
    std::vector<Shown> all;
    for (const FeaturePageEntry& entry : featurePageRegistry()) {
        if (entry.page == FeaturePage::taskbar) {
            const auto labels = subpageLabels();
            for (std::size_t i = 0; i < labels.size(); ++i) {
                all.push_back({{entry.page, pageForSubpageIndex(static_cast<int>(i)), 0},
                               std::string(labels[i])});
            }
        } else if (entry.page == FeaturePage::nativeDock) {
            for (int tab = 0; tab < NativeDockPageTexts::tabCount; ++tab) {
                all.push_back({{entry.page, Page::taskbar, tab}, std::string(dockTabs[tab])});
            }
        } else {
            all.push_back({{entry.page, entry.subpage.value_or(Page::taskbar), 0}, {}});
        }
    }
    return all;
}

// A row of a built form with the section that holds it. `identity` tells the row apart from
// every other row of the same place under any settings: its section, its title and how many
// rows of that section and title come before it.
struct BuiltRow {
    const FormRow* row = nullptr;
    std::string section;
    std::size_t index = 0;
    std::string identity;
};

void collectRows(const FormContent& form, std::vector<BuiltRow>& out,
                 std::map<std::string, int>& occurrences) {
    for (const FormItem& item : form.items()) {
        if (const auto* section = std::get_if<FormSection>(&item)) {
            for (const FormRow& row : section->rows) {
                std::string identity = section->title + '\x1f' + row.title;
                const int seen = occurrences[identity]++;
                identity += '\x1f' + std::to_string(seen);
                out.push_back({&row, section->title, out.size(), std::move(identity)});
            }
        } else if (const auto* inner = std::get_if<std::shared_ptr<FormContent>>(&item)) {
            if (*inner) collectRows(**inner, out, occurrences);
        }
    }
}

std::vector<BuiltRow> rowsOf(const FormContent& form) {
    std::vector<BuiltRow> rows;
    std::map<std::string, int> occurrences;
    collectRows(form, rows, occurrences);
    return rows;
}

// A host and the form it built, kept together: the rows' actions capture the host.
// The New File page lists its own document, which the reading host cannot give: its form comes
// from the caller, read once per index (it does not depend on the settings).
struct BuiltPage {
    std::unique_ptr<ReadingPageHost> host;
    std::shared_ptr<FormContent> form;
    std::vector<BuiltRow> rows;
    std::shared_ptr<FormContent> newFileForm;

    BuiltPage(const TaskbarSettings& settings, const SettingsSearchLocation& at,
              std::shared_ptr<FormContent> newFile)
        : host(std::make_unique<ReadingPageHost>(settings, at.page, at.subpage, at.nativeDockTab)),
          newFileForm(std::move(newFile)) {
        rebuild();
    }
    void rebuild() {
        form = host->selectedFeaturePage() == FeaturePage::newFile
                   ? newFileForm
                   : makeFeaturePageForm(host->selectedFeaturePage(), *host);
        rows = form ? rowsOf(*form) : std::vector<BuiltRow>{};
    }
};

// A row found at a place, with why the settings it was built under do not show it.
struct FoundRow {
    std::string identity;
    std::string section;
    std::size_t index = 0;
    FormRow row;  // title, help text and keys (the control is not kept)
    std::optional<std::string> hiddenReason;
    std::optional<std::string> revealedBy;
};

FoundRow found(const BuiltRow& built, std::optional<std::string> reason,
               std::optional<std::string> revealedBy = std::nullopt) {
    FoundRow row{built.identity,    built.section,        built.index, {},
                 std::move(reason), std::move(revealedBy)};
    row.row.title = built.row->title;
    row.row.detail = built.row->detail;
    row.row.keys = built.row->keys;
    return row;
}

// Every row the place shows with `settings`, and then the rows one change of a bound switch
// (turned on) or segment (another choice) of that page shows besides, with that change as the
// reason and the changed row as the one that reveals them. Only rows bound to settings are
// changed: their actions edit the host's copy of the settings and nothing else. With
// `otherReason`, every row found gets that reason instead (settings the window does not show).
void explore(const TaskbarSettings& settings, const SettingsSearchLocation& at,
             const std::shared_ptr<FormContent>& newFile,
             const std::optional<std::string>& otherReason, std::set<std::string>& seen,
             std::vector<FoundRow>& out) {
    const BuiltPage base(settings, at, newFile);
    for (const BuiltRow& row : base.rows) {
        if (seen.insert(row.identity).second) out.push_back(found(row, otherReason));
    }
    struct Trial {
        std::size_t index;
        int choice;  // the segment's choice; -1 for a switch turned on
        std::string reason;
    };
    std::vector<Trial> trials;
    for (const BuiltRow& row : base.rows) {
        if (row.row->keys.empty()) continue;
        if (const auto* toggle = std::get_if<SwitchControl>(&row.row->control)) {
            if (!toggle->isOn && toggle->isEnabled && toggle->action) {
                trials.push_back({row.index, -1, settingsSearchShownBySwitch(row.row->title)});
            }
        } else if (const auto* segment = std::get_if<SegmentControl>(&row.row->control)) {
            if (!segment->action) continue;
            for (int choice = 0; choice < static_cast<int>(segment->labels.size()); ++choice) {
                if (choice == segment->selected) continue;
                trials.push_back(
                    {row.index, choice,
                     settingsSearchShownBySegment(row.row->title, segment->labels[choice])});
            }
        }
    }
    for (const Trial& trial : trials) {
        BuiltPage page(settings, at, newFile);
        if (trial.index >= page.rows.size()) continue;
        const FormRow& row = *page.rows[trial.index].row;
        const std::string revealing = row.title;
        if (const auto* toggle = std::get_if<SwitchControl>(&row.control)) {
            toggle->action(true);
        } else if (const auto* segment = std::get_if<SegmentControl>(&row.control)) {
            segment->action(trial.choice);
        }
        const std::shared_ptr<FormContent> keepAlive = page.form;
        page.rebuild();
        for (const BuiltRow& shown : page.rows) {
            if (!seen.insert(shown.identity).second) continue;
            if (otherReason) {
                out.push_back(found(shown, otherReason));
            } else {
                out.push_back(found(shown, trial.reason, revealing));
            }
        }
    }
}

// Every row of the place: what `current` shows, then what one change shows, then what the other
// theme shows (with one change), then what the looks show.
std::vector<FoundRow> rowsAt(const TaskbarSettings& current, const SettingsSearchLocation& at,
                             const std::shared_ptr<FormContent>& newFile) {
    std::vector<FoundRow> rows;
    std::set<std::string> seen;
    explore(current, at, newFile, std::nullopt, seen, rows);
    const auto lookRows = [&](bool sameTheme) {
        for (const SettingsLook& look : rowRevealingLooks()) {
            TaskbarSettings settings = current;
            look.apply(settings);
            if ((settings.theme == current.theme) != sameTheme) continue;
            const BuiltPage page(settings, at, newFile);
            for (const BuiltRow& row : page.rows) {
                if (seen.insert(row.identity).second) {
                    rows.push_back(found(row, std::string(SettingsSearchHiddenReasons::general)));
                }
            }
        }
    };
    // Rows of this theme that take more than one change come before the other theme's, so a
    // row the current theme can show is never called the other theme's.
    lookRows(true);
    TaskbarSettings other = current;
    other.theme =
        current.theme == TaskbarTheme::windows ? TaskbarTheme::liquidGlass : TaskbarTheme::windows;
    const std::string otherOnly(other.theme == TaskbarTheme::windows
                                    ? SettingsSearchHiddenReasons::windowsThemeOnly
                                    : SettingsSearchHiddenReasons::liquidGlassThemeOnly);
    explore(other, at, newFile, otherOnly, seen, rows);
    lookRows(false);
    return rows;
}

std::string rowSignature(const FoundRow& row) {
    std::string signature = row.section + '\x1f' + row.row.title + '\x1f' + row.row.detail;
    for (const FormKeyReference& key : row.row.keys) {
        signature += '\x1f' + key.name + (key.themeScoped ? "@theme" : "");
    }
    return signature;
}

bool isBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Without blanks at either end: ASCII white space and the ideographic space U+3000.
std::string_view trimmed(std::string_view text) {
    static constexpr std::string_view ideographicSpace = "\xE3\x80\x80";
    for (;;) {
        if (!text.empty() && isBlank(static_cast<unsigned char>(text.front()))) {
            text.remove_prefix(1);
        } else if (text.starts_with(ideographicSpace)) {
            text.remove_prefix(ideographicSpace.size());
        } else {
            break;
        }
    }
    for (;;) {
        if (!text.empty() && isBlank(static_cast<unsigned char>(text.back()))) {
            text.remove_suffix(1);
        } else if (text.ends_with(ideographicSpace)) {
            text.remove_suffix(ideographicSpace.size());
        } else {
            break;
        }
    }
    return text;
}

}  // namespace

std::string settingsSearchShownBySwitch(std::string_view switchTitle) {
    return "开启「" + std::string(switchTitle) + "」后显示";
}

std::string settingsSearchShownBySegment(std::string_view segmentTitle, std::string_view label) {
    return "「" + std::string(segmentTitle) + "」选择「" + std::string(label) + "」时显示";
}

std::string foldSettingsSearchText(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

SettingsSearchIndex SettingsSearchIndex::build(const TaskbarSettings& current,
                                               const SettingsSearchSources& sources) {
    SettingsSearchIndex index;
    std::set<std::string> indexed;
    const std::shared_ptr<FormContent> newFile =
        sources.newFilePage ? sources.newFilePage() : nullptr;
    for (const Shown& shown : everythingShown()) {
        const FeaturePageEntry& entry = featurePageEntry(shown.location.page);
        const bool inSidebar = entry.sidebarPosition.has_value();
        for (FoundRow& row : rowsAt(current, shown.location, newFile)) {
            if (row.row.title.empty()) continue;
            const bool repeated = !indexed.insert(rowSignature(row)).second;
            if (repeated && !inSidebar) continue;
            SettingsSearchEntry item;
            item.location = shown.location;
            item.pageTitle = std::string(entry.info.title);
            item.tabTitle = shown.tabTitle;
            item.section = std::move(row.section);
            item.title = std::move(row.row.title);
            item.detail = std::move(row.row.detail);
            item.rowIndex = row.index;
            item.keys = std::move(row.row.keys);
            item.hiddenReason = std::move(row.hiddenReason);
            item.revealedBy = std::move(row.revealedBy);
            index.foldedTitles_.push_back(foldSettingsSearchText(item.title));
            index.foldedDetails_.push_back(foldSettingsSearchText(item.detail));
            index.entries_.push_back(std::move(item));
        }
    }
    return index;
}

std::vector<std::size_t> SettingsSearchIndex::search(std::string_view query) const {
    std::vector<std::size_t> found;
    search(query, found);
    return found;
}

void SettingsSearchIndex::search(std::string_view query, std::vector<std::size_t>& out) const {
    out.clear();
    const std::string_view text = trimmed(query);
    if (text.empty()) return;
    const std::string folded = foldSettingsSearchText(text);
    std::vector<std::size_t> inDetail;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (foldedTitles_[i].find(folded) != std::string::npos) {
            out.push_back(i);
        } else if (foldedDetails_[i].find(folded) != std::string::npos) {
            inDetail.push_back(i);
        }
    }
    out.insert(out.end(), inDetail.begin(), inDetail.end());
}

}  // namespace tavrel
