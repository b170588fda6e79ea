// The settings search over the page registry: under several looks, every bound row of every page,
// sub-page and tab is found by its own title and leads to the place that shows it; rows the
// current settings hide are found with the reason; the matching rules (ASCII letters only
// folded, title matches first, blank queries match nothing).

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings_pages/native_dock_pages.h"
#include "core/settings_pages/new_file_page.h"
#include "core/settings_pages/page_registry.h"
#include "core/settings_pages/reading_page_host.h"
#include "core/settings_pages/revealing_looks.h"
#include "core/settings_search/settings_search_index.h"

namespace tavrel {
namespace {

using Look = SettingsLook;

// The defaults, both themes, and the values that show rows the defaults hide.
const std::vector<Look>& looks() {
    static const std::vector<Look> all = [] {
        std::vector<Look> looks{
            {"defaults", [](TaskbarSettings&) {}},
            {"windows", [](TaskbarSettings& s) { s.theme = TaskbarTheme::windows; }},
            {"liquid glass", [](TaskbarSettings& s) { s.theme = TaskbarTheme::liquidGlass; }},
        };
        looks.insert(looks.end(), rowRevealingLooks().begin(), rowRevealingLooks().end());
        return looks;
    }();
    return all;
}

TaskbarSettings settingsOf(const Look& look) {
    TaskbarSettings settings;
    look.apply(settings);
    return settings;
}

// Every place the window shows: each page, the taskbar page's sub-pages, the native Dock tabs.
std::vector<SettingsSearchLocation> everyPlace() {
    std::vector<SettingsSearchLocation> all;
    for (const FeaturePageEntry& entry : featurePageRegistry()) {
        if (entry.page == FeaturePage::taskbar) {
            for (int i = 0; i < static_cast<int>(subpageLabels().size()); ++i) {
                all.push_back({entry.page, pageForSubpageIndex(i), 0});
            }
        } else if (entry.page == FeaturePage::nativeDock) {
            for (int tab = 0; tab < NativeDockPageTexts::tabCount; ++tab) {
                all.push_back({entry.page, Page::taskbar, tab});
            }
        } else {
            all.push_back({entry.page, entry.subpage.value_or(Page::taskbar), 0});
        }
    }
    return all;
}

std::string describe(const SettingsSearchLocation& at) {
    return std::string(featurePageInfo(at.page).title) + " / " +
           std::to_string(static_cast<int>(at.subpage)) + " / " + std::to_string(at.nativeDockTab);
}

bool inSidebar(FeaturePage page) {
    return featurePageEntry(page).sidebarPosition.has_value();
}

// A bound row as the page builds it: its section and place among the form's rows.
struct PageRow {
    std::string section;
    std::string title;
    std::string detail;
    std::vector<FormKeyReference> keys;
    std::size_t index = 0;
};

void collect(const FormContent& form, std::vector<PageRow>& out, std::size_t& index) {
    for (const FormItem& item : form.items()) {
        if (const auto* section = std::get_if<FormSection>(&item)) {
            for (const FormRow& row : section->rows) {
                if (!row.keys.empty()) {
                    out.push_back({section->title, row.title, row.detail, row.keys, index});
                }
                ++index;
            }
        } else if (const auto* inner = std::get_if<std::shared_ptr<FormContent>>(&item)) {
            if (*inner) collect(**inner, out, index);
        }
    }
}

std::vector<PageRow> boundRows(const TaskbarSettings& settings, const SettingsSearchLocation& at) {
    ReadingPageHost host(settings, at.page, at.subpage, at.nativeDockTab);
    const std::shared_ptr<FormContent> form = makeFeaturePageForm(at.page, host);
    std::vector<PageRow> rows;
    std::size_t index = 0;
    if (form) collect(*form, rows, index);
    return rows;
}

bool sameRow(const SettingsSearchEntry& entry, const PageRow& row) {
    return entry.title == row.title && entry.section == row.section && entry.detail == row.detail &&
           entry.keys == row.keys;
}

TEST(SettingsSearchTest, EveryBoundRowIsFoundByItsTitleWhereItIsShown) {
    std::size_t checked = 0;
    for (const Look& look : looks()) {
        SCOPED_TRACE(look.name);
        const TaskbarSettings settings = settingsOf(look);
        const SettingsSearchIndex index = SettingsSearchIndex::build(settings);
        const auto entries = index.entries();
        for (const SettingsSearchLocation& at : everyPlace()) {
            SCOPED_TRACE(describe(at));
            for (const PageRow& row : boundRows(settings, at)) {
                SCOPED_TRACE(row.title);
                ++checked;
                const std::vector<std::size_t> found = index.search(row.title);
                // The row itself, shown, at its page, tab and place in the form. A page reached
                // from another page (outside the sidebar) may instead lead to the sidebar page
                // that shows the same row.
                const auto here = std::find_if(found.begin(), found.end(), [&](std::size_t i) {
                    return sameRow(entries[i], row) && entries[i].location == at &&
                           entries[i].rowIndex == row.index;
                });
                const auto elsewhere = std::find_if(found.begin(), found.end(), [&](std::size_t i) {
                    return sameRow(entries[i], row) && inSidebar(entries[i].location.page);
                });
                if (here != found.end()) {
                    EXPECT_FALSE(entries[*here].hiddenReason) << *entries[*here].hiddenReason;
                    EXPECT_EQ(entries[*here].pageTitle, featurePageInfo(at.page).title);
                } else {
                    ASSERT_FALSE(inSidebar(at.page)) << "not found where it is shown";
                    ASSERT_NE(elsewhere, found.end()) << "not found at all";
                    EXPECT_FALSE(entries[*elsewhere].hiddenReason);
                }
            }
        }
    }
    EXPECT_GT(checked, 500u);
}

// Built under the defaults, the index still holds every bound row any look shows: the hidden
// ones with a reason. A row the defaults show may edit other keys under another look (the clock
// rows edit the top panel's values when it is at the top), so rows are matched by section and
// title here.
TEST(SettingsSearchTest, RowsHiddenByTheCurrentSettingsAreFoundWithAReason) {
    const SettingsSearchIndex index = SettingsSearchIndex::build(TaskbarSettings{});
    const auto entries = index.entries();
    for (const Look& look : looks()) {
        SCOPED_TRACE(look.name);
        for (const SettingsSearchLocation& at : everyPlace()) {
            SCOPED_TRACE(describe(at));
            for (const PageRow& row : boundRows(settingsOf(look), at)) {
                SCOPED_TRACE(row.title);
                const std::vector<std::size_t> found = index.search(row.title);
                EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](std::size_t i) {
                    return entries[i].title == row.title && entries[i].section == row.section &&
                           (entries[i].location == at || inSidebar(entries[i].location.page));
                }));
            }
        }
    }
}

const SettingsSearchEntry* entryTitled(const SettingsSearchIndex& index,
                                       const SettingsSearchLocation& at, std::string_view title) {
    for (const SettingsSearchEntry& entry : index.entries()) {
        if (entry.location == at && entry.title == title) return &entry;
    }
    return nullptr;
}

TEST(SettingsSearchTest, HiddenRowsSayWhatShowsThem) {
    const auto withTheme = [](TaskbarTheme theme) {
        TaskbarSettings settings;
        settings.theme = theme;
        settings.windowsProfile.alignment = 1;
        settings.windowsProfile.enableIconMagnification = false;
        settings.liquidGlassProfile.enableIconMagnification = false;
        settings.startMenuStyle = StartMenuStyle{};
        return settings;
    };
    const SettingsSearchLocation appearance{FeaturePage::taskbar, Page::taskbar, 0};
    const SettingsSearchLocation icons{FeaturePage::taskbar, Page::icons, 0};
    struct Case {
        TaskbarTheme theme;
        SettingsSearchLocation at;
        const char* title;
        std::optional<std::string> reason;
    };
    const std::vector<Case> cases{
        // Windows-only rows seen under liquid glass, and the other way round.
        {TaskbarTheme::liquidGlass, appearance, "任务栏透明度",
         std::string(SettingsSearchHiddenReasons::windowsThemeOnly)},
        {TaskbarTheme::liquidGlass, icons, "显示窗口标题",
         std::string(SettingsSearchHiddenReasons::windowsThemeOnly)},
        {TaskbarTheme::windows, appearance, "任务栏背景材质",
         std::string(SettingsSearchHiddenReasons::liquidGlassThemeOnly)},
        {TaskbarTheme::windows, appearance, "任务栏透明度", std::nullopt},
        // Shown by a switch or a choice of the same page.
        {TaskbarTheme::liquidGlass, icons, "放大幅度",
         settingsSearchShownBySwitch("启用原生 Dock 放大")},
        {TaskbarTheme::windows, appearance, "距离左侧边缘距离",
         settingsSearchShownBySegment("图标对齐", "靠左")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.title) +
                     (c.theme == TaskbarTheme::windows ? " (windows)" : " (liquid glass)"));
        const SettingsSearchIndex index = SettingsSearchIndex::build(withTheme(c.theme));
        const SettingsSearchEntry* entry = entryTitled(index, c.at, c.title);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->hiddenReason, c.reason);
    }
}

TEST(SettingsSearchTest, OnlyAsciiLettersAreFolded) {
    const struct {
        const char* text;
        const char* folded;
    } cases[] = {
        {"Dock", "dock"},
        {"DOCK dock DoCk", "dock dock dock"},
        {"启用原生 Dock 放大", "启用原生 dock 放大"},
        {"时间日历", "时间日历"},
        {"ＤＯＣＫ", "ＤＯＣＫ"},  // full-width letters stay as typed
        {"ÀÉÎ", "ÀÉÎ"},            // so do other Latin letters
        {"@[`{", "@[`{"},          // the neighbours of A–Z and a–z
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(foldSettingsSearchText(c.text), c.folded) << c.text;
}

std::vector<std::string> titlesFound(const SettingsSearchIndex& index, std::string_view query) {
    std::vector<std::string> titles;
    for (std::size_t i : index.search(query)) titles.push_back(index.entries()[i].title);
    return titles;
}

TEST(SettingsSearchTest, QueriesMatchLatinLettersInAnyCaseAndChineseAsTyped) {
    const SettingsSearchIndex index = SettingsSearchIndex::build(TaskbarSettings{});
    const auto found = [&](std::string_view query) {
        const auto titles = titlesFound(index, query);
        return std::find(titles.begin(), titles.end(), "启用原生 Dock 放大") != titles.end();
    };
    EXPECT_TRUE(found("启用原生 Dock 放大"));
    EXPECT_TRUE(found("dock 放大"));
    EXPECT_TRUE(found("DOCK 放大"));
    EXPECT_TRUE(found("dOcK"));
    EXPECT_TRUE(found("  原生 Dock\t"));  // blanks around the query do not count
    EXPECT_TRUE(found("原生"));
    EXPECT_FALSE(found("ＤＯＣＫ"));
    EXPECT_FALSE(found("原生  Dock"));  // blanks inside do
    EXPECT_TRUE(titlesFound(index, "ｄｏｃｋ").empty());
}

TEST(SettingsSearchTest, EmptyAndBlankQueriesMatchNothing) {
    const SettingsSearchIndex index = SettingsSearchIndex::build(TaskbarSettings{});
    ASSERT_FALSE(index.entries().empty());
    for (const char* query : {"", " ", "\t\n", "\xE3\x80\x80", " \xE3\x80\x80 "}) {
        EXPECT_TRUE(index.search(query).empty()) << '"' << query << '"';
    }
}

TEST(SettingsSearchTest, TitleMatchesComeFirstEachInRegistryOrder) {
    const SettingsSearchIndex index = SettingsSearchIndex::build(TaskbarSettings{});
    const auto entries = index.entries();
    for (const char* query : {"显示", "窗口", "dock"}) {
        SCOPED_TRACE(query);
        const std::vector<std::size_t> found = index.search(query);
        const std::string needle = foldSettingsSearchText(query);
        const auto inTitle = [&](std::size_t i) {
            return foldSettingsSearchText(entries[i].title).find(needle) != std::string::npos;
        };
        const auto split = std::partition_point(found.begin(), found.end(), inTitle);
        ASSERT_NE(split, found.begin());
        ASSERT_NE(split, found.end()) << "the query is in no help text only";
        EXPECT_TRUE(std::is_sorted(found.begin(), split));
        EXPECT_TRUE(std::is_sorted(split, found.end()));
        // Everything that holds the query is there, once.
        std::size_t expected = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (inTitle(i) ||
                foldSettingsSearchText(entries[i].detail).find(needle) != std::string::npos) {
                ++expected;
            }
        }
        EXPECT_EQ(found.size(), expected);
        std::vector<std::size_t> unique = found;
        std::sort(unique.begin(), unique.end());
        EXPECT_EQ(std::unique(unique.begin(), unique.end()), unique.end());
        // Registry order: the pages of the results never go back.
        const auto pageOrder = [&](auto from, auto to) {
            return std::is_sorted(from, to, [&](std::size_t a, std::size_t b) {
                return entries[a].location.page < entries[b].location.page;
            });
        };
        EXPECT_TRUE(pageOrder(found.begin(), split));
        EXPECT_TRUE(pageOrder(split, found.end()));
    }
}

// The New File page lists its own document: given it, every titled row of the page is in the
// index at its place, a help text finds an imported kind; without it the page adds nothing.
TEST(SettingsSearchTest, TheNewFilePageIsIndexedFromItsDocument) {
    NewFileSettings document = NewFileSettings::defaults();
    auto custom = customNewFileTemplate("/templates/周报.md", "custom-1");
    ASSERT_TRUE(custom);
    document.templates.push_back(*custom);
    const std::shared_ptr<FormContent> page = makeNewFileSettingsPreview(document);
    SettingsSearchSources sources;
    sources.newFilePage = [&] { return makeNewFileSettingsPreview(document); };
    const SettingsSearchIndex index = SettingsSearchIndex::build(TaskbarSettings{}, sources);
    const auto entries = index.entries();

    const std::vector<const FormRow*> rows = page->rows();
    std::size_t checked = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i]->title.empty()) continue;
        SCOPED_TRACE(rows[i]->title);
        ++checked;
        const std::vector<std::size_t> found = index.search(rows[i]->title);
        EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](std::size_t e) {
            return entries[e].location.page == FeaturePage::newFile && entries[e].rowIndex == i &&
                   entries[e].title == rows[i]->title && !entries[e].hiddenReason &&
                   entries[e].pageTitle == featurePageInfo(FeaturePage::newFile).title;
        }));
    }
    // The master switch, the notice, every built-in kind, the import button, the imported kind.
    EXPECT_EQ(checked, NewFileSettings::builtInTemplates().size() + 4);

    const std::vector<std::size_t> byHelp = index.search("默认文件名：新建 周报");
    ASSERT_EQ(byHelp.size(), 1u);
    EXPECT_EQ(entries[byHelp[0]].title, custom->titleWithExtension());
    EXPECT_EQ(entries[byHelp[0]].section, "自定义类型");
    EXPECT_EQ(entries[byHelp[0]].location.page, FeaturePage::newFile);

    const SettingsSearchIndex without = SettingsSearchIndex::build(TaskbarSettings{});
    EXPECT_TRUE(std::none_of(without.entries().begin(), without.entries().end(),
                             [](auto& e) { return e.location.page == FeaturePage::newFile; }));
    EXPECT_EQ(without.entries().size() + checked, entries.size());
}

// A hidden row that one switch or choice of its page shows names that row, so the window can
// lead there; a row of the other theme names none.
TEST(SettingsSearchTest, HiddenRowsNameTheRowThatRevealsThem) {
    TaskbarSettings settings;
    settings.theme = TaskbarTheme::windows;
    settings.windowsProfile.alignment = 1;
    const SettingsSearchIndex index = SettingsSearchIndex::build(settings);
    const SettingsSearchLocation appearance{FeaturePage::taskbar, Page::taskbar, 0};
    const SettingsSearchEntry* left = entryTitled(index, appearance, "距离左侧边缘距离");
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->revealedBy, "图标对齐");
    const SettingsSearchEntry* material = entryTitled(index, appearance, "任务栏背景材质");
    ASSERT_NE(material, nullptr);
    EXPECT_TRUE(material->hiddenReason);
    EXPECT_FALSE(material->revealedBy);
    for (const SettingsSearchEntry& entry : index.entries()) {
        if (!entry.hiddenReason) {
            EXPECT_FALSE(entry.revealedBy) << entry.title;
        }
    }
}

}  // namespace
}  // namespace tavrel
