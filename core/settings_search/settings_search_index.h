#pragma once

// The settings search: every row of every page, sub-page and tab the settings window can show,
// read from the page registry by building each page's form without a window. Rows the current
// settings hide are in it too, with the reason they are hidden. A query is a substring match over
// the row titles and help texts prepared when the index is built (ASCII letters folded to lower
// case, every other character as typed), so it is one scan over prepared strings.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/form/form_content.h"
#include "core/settings/taskbar_settings.h"
#include "core/settings_pages/feature_page.h"

namespace tavrel {

// Where a row is: the feature page, the taskbar page's sub-page and the native Dock page's tab
// to select before the row can be shown.
struct SettingsSearchLocation {
    FeaturePage page = FeaturePage::taskbar;
    Page subpage = Page::taskbar;
    int nativeDockTab = 0;
    friend bool operator==(const SettingsSearchLocation&, const SettingsSearchLocation&) = default;
};

// Reasons for a row the current settings do not show.
struct SettingsSearchHiddenReasons {
    static constexpr std::string_view windowsThemeOnly = "仅 windows 主题";
    static constexpr std::string_view liquidGlassThemeOnly = "仅液态玻璃主题";
    // When no single change that shows the row was found.
    static constexpr std::string_view general = "当前设置下隐藏";
};

// "开启「X」后显示": the row shows once the switch row X of the same page is on.
std::string settingsSearchShownBySwitch(std::string_view switchTitle);
// "「X」选择「Y」时显示": the row shows once the segment row X selects Y.
std::string settingsSearchShownBySegment(std::string_view segmentTitle, std::string_view label);

struct SettingsSearchEntry {
    SettingsSearchLocation location;
    std::string pageTitle;  // the page's title as the sidebar shows it
    std::string tabTitle;   // the sub-page or tab label; empty for a page without tabs
    std::string section;
    std::string title;
    std::string detail;  // the help text
    // The row's place among the rows of its page's form (FormContent::rows()) as the current
    // settings build it; for a hidden row, its place in the form that showed it.
    std::size_t rowIndex = 0;
    // The keys the row edits (empty for a row that edits no setting of its own).
    std::vector<FormKeyReference> keys;
    // Nothing: the current settings show the row.
    std::optional<std::string> hiddenReason;
    // For a hidden row that one switch or choice of its own page shows: that row's title.
    std::optional<std::string> revealedBy;
};

// What the page registry cannot give a window-less host: the New File page lists a document
// of its own. Nothing: that page is indexed as the registry builds it without a window (empty).
struct SettingsSearchSources {
    std::function<std::shared_ptr<FormContent>()> newFilePage;
};

// Lower-cases A–Z and leaves every other byte as it is (UTF-8 stays valid: only ASCII changes).
std::string foldSettingsSearchText(std::string_view text);

class SettingsSearchIndex {
public:
    // Builds the index over the registry as the window shows it under `current`. Pages outside
    // the sidebar that repeat a row of a page already indexed (the taskbar sub-pages reached as
    // pages of their own, for example) do not repeat it in the index.
    static SettingsSearchIndex build(const TaskbarSettings& current,
                                     const SettingsSearchSources& sources = {});

    std::span<const SettingsSearchEntry> entries() const { return entries_; }

    // Indices into entries() of the rows whose title or help text holds `query` (surrounding
    // blanks ignored): title matches first, then help-text matches, each in registry order. An
    // empty or blank query matches nothing.
    std::vector<std::size_t> search(std::string_view query) const;
    // The same into `out` (cleared first), so a caller typing can keep one buffer.
    void search(std::string_view query, std::vector<std::size_t>& out) const;

private:
    std::vector<SettingsSearchEntry> entries_;
    std::vector<std::string> foldedTitles_;
    std::vector<std::string> foldedDetails_;
};

}  // namespace tavrel
