#pragma once

// The close-protection list of the window switcher page: a table of the protected applications
// with "添加应用" and "移除选中" below it, the rules that add, replace and remove entries, and the
// adding flow (the installed applications offered by name and icon).

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "core/form/form_content.h"
#include "core/settings/close_protection_app.h"
#include "core/settings_pages/settings_page_host.h"
#include "platform/workspace.h"

namespace tavrel {

struct CloseProtectionListTexts {
    static constexpr std::string_view listTitle = "白名单应用";
    static constexpr std::string_view emptyList = "暂无白名单应用";
    static constexpr std::string_view addButton = "添加应用";
    static constexpr std::string_view removeButton = "移除选中";
    static constexpr std::string_view chooserTitle = "添加关闭保护应用";
    static constexpr std::string_view chooserPrompt = "添加";
    static constexpr std::string_view genericApplicationSymbol = "app";
};

// What the window's table view needs: the entries in stored order, the row to show selected,
// and what selecting, adding and removing do.
struct CloseProtectionListSpec {
    static constexpr std::string_view kind = "closeProtectionList";
    static constexpr double tableHeight = 150;
    static constexpr double rowHeight = 42;

    std::vector<CloseProtectionApp> apps;
    std::optional<std::size_t> selectedRow;
    // With the entry of the selected row, or nothing when no row is selected.
    std::function<void(const std::optional<CloseProtectionApp>&)> onSelect;
    std::function<void()> onAdd;
    // With the selected entry; never called without a selection.
    std::function<void(const CloseProtectionApp&)> onRemove;
};

// The list as one block of the current card, titled "白名单应用". The row of the first entry
// equal to `selection` is shown selected.
FormRow& addCloseProtectionList(
    FormContent& form, std::vector<CloseProtectionApp> apps,
    const std::optional<CloseProtectionApp>& selection,
    std::function<void(const std::optional<CloseProtectionApp>&)> onSelect,
    std::function<void()> onAdd, std::function<void(const CloseProtectionApp&)> onRemove);

// The icon a row shows: the file's at the entry's path, else the application's its bundle
// identifier names, else the "app" symbol.
FormIcon closeProtectionIcon(const CloseProtectionApp& app);

// Whether `entry` stands for the same application as `added`: the same non-empty bundle
// identifier, or the same non-empty path, or — only where neither has a bundle identifier or a
// path to tell them apart — the same name. Two applications that carry identities may share a
// name and are not the same.
bool isSameCloseProtectionApp(const CloseProtectionApp& entry, const CloseProtectionApp& added);

// Replaces every entry that stands for the same application with `added`, and sorts the list by
// name in the desktop's order (stable: entries of equal names keep their order).
void addOrReplaceCloseProtectionApp(std::vector<CloseProtectionApp>& apps,
                                    const CloseProtectionApp& added);

// Removes every entry equal to `app` in name, bundle identifier and path (two absent values
// count as equal). The number removed.
std::size_t removeCloseProtectionApp(std::vector<CloseProtectionApp>& apps,
                                     const CloseProtectionApp& app);

// The entry for an installed application: its name, its desktop-file id as bundle identifier and
// its entry file as path (an empty one left absent).
CloseProtectionApp closeProtectionAppFor(const platform::ApplicationInfo& application);

// Offers the installed applications, sorted by name, in the application chooser; the one chosen
// is added or replaces its entry, becomes the selection, and the page is saved and rebuilt.
// Cancelling changes nothing.
void addCloseProtectionApp(SettingsPageHost& host);

}  // namespace tavrel
