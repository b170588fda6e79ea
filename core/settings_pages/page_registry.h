#pragma once

// The page registry: one row per feature page with everything the window needs of it — its
// texts, symbol and accent colour, its place in the sidebar, the sidebar switch (the key it
// reads and writes, or none), the status text, the header card's preview, the builder of its
// form and the legacy grouping. Navigation, the sidebar, the header cards, search and the checks
// over all pages read this one table.

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "core/form/form_content.h"
#include "core/settings/taskbar_settings.h"
#include "core/settings_pages/bound_rows.h"
#include "core/settings_pages/feature_page.h"
#include "core/settings_pages/settings_page_host.h"

namespace tavrel {

// The small picture in a page's header card.
enum class HeaderPreview {
    taskbar,
    general,
    nativeDock,
    switcher,
    desktopCorner,
    desktopIcons,
    newFile,
    // The screen-corner page's own drawn screen, not a mini preview.
    screenCorners,
};

// What the rows read besides the settings.
struct FeatureEnvironment {
    std::optional<bool> newFileEnabled;
    int connectedScreenCount = 1;
};

// What a sidebar switch edits.
struct SidebarSwitch {
    enum class Kind {
        setting,           // a value of the settings: written, then onChange
        nativeDockHidden,  // handed to the native Dock module, which writes it once done
        newFileEnabled,    // the New File document's own master switch
    };
    Kind kind = Kind::setting;
    // The value shown (and, for a setting, written); unused for the New File switch.
    Binding<bool> binding;
};

using PageBuilder = std::shared_ptr<FormContent> (*)(SettingsPageHost&);
using PageStatusText = std::string (*)(const TaskbarSettings&, const FeatureEnvironment&);

struct FeaturePageEntry {
    FeaturePage page;
    FeaturePageInfo info;
    std::optional<int> sidebarPosition;  // 1…13; nothing: reached from another page
    std::optional<SidebarSwitch> sidebarSwitch;
    // Nothing: "已开启" / "已关闭" after the switch's state (a missing state counts as off).
    PageStatusText statusText = nullptr;
    HeaderPreview preview = HeaderPreview::taskbar;
    PageBuilder build = nullptr;
    TopPage topPage = TopPage::general;
    // The taskbar sub-page the page stands for, when it is one.
    std::optional<Page> subpage;
};

// Every page in declaration order.
std::span<const FeaturePageEntry> featurePageRegistry();
const FeaturePageEntry& featurePageEntry(FeaturePage page);

// Every case in declaration order, and the 13 sidebar rows in sidebar order.
std::span<const FeaturePage> allFeaturePages();
std::span<const FeaturePage> sidebarFeaturePages();

// Legacy selection rule, applied at every rebuild: the top page follows the feature page, and
// the icons, indicators and preview pages also name the taskbar sub-page. A page that names no
// sub-page leaves `page` as it is.
void syncLegacySelection(FeaturePage feature, TopPage& top, Page& page);

std::optional<bool> featureEnabledState(FeaturePage page, const TaskbarSettings& settings,
                                        const FeatureEnvironment& environment);
std::string featureStatusText(FeaturePage page, const TaskbarSettings& settings,
                              const FeatureEnvironment& environment);

// What flipping a page's sidebar switch asks of the window.
enum class FeatureSwitchEffect {
    none,              // the page has no switch
    settingsChanged,   // a value of `settings` was written: keep the page offset, onChange
    nativeDockHidden,  // hand over to changeNativeDockHidden(enabled); nothing else
    newFileEnabled,    // save the New File settings, rebuild, explain when enabling
};

// Writes the value for the pages whose switch is a setting, and says what else to do.
FeatureSwitchEffect applyFeatureSwitch(FeaturePage page, bool enabled, TaskbarSettings& settings);

// The form of a feature page, by its builder.
std::shared_ptr<FormContent> makeFeaturePageForm(FeaturePage page, SettingsPageHost& host);

// The page column: the accessibility banner, the header card (every page but the taskbar page)
// and the page's own form.
std::shared_ptr<FormContent> makeTopForm(SettingsPageHost& host);

}  // namespace tavrel
