#pragma once

// The pages of the settings window: the feature pages of the sidebar (the unit of navigation),
// the legacy top-level grouping kept in step with them, and the sub-pages of the taskbar page;
// the launch switches that name a page. What each page shows and does is its row of the page
// registry (page_registry.h).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/form/form_content.h"

namespace tavrel {

enum class FeaturePage {
    taskbar,
    multipleDisplays,
    hideNativeDock,
    clockCalendar,
    taskbarWidgets,
    taskbarIcons,
    taskbarIndicators,
    taskbarPreview,
    startMenu,
    nativeDock,
    nativeDockLauncher,
    switcher,
    advancedGestures,
    desktopCorner,
    desktopIcons,
    hideNotch,
    newFile,
    general,
};

inline constexpr std::size_t featurePageCount = 18;

enum class TopPage { taskbar, nativeDock, nativeDockLauncher, switcher, newFile, general };

// Sub-pages of the taskbar page, in the order of the sub-page selector.
enum class Page { taskbar, icons, indicators, preview, widgets };

// The platform's named accent colours.
enum class SystemColor { teal, blue, gray, purple, green, orange, pink, cyan, indigo, mint, brown };

FormColor systemColorValue(SystemColor color);

struct FeaturePageInfo {
    std::string_view title;
    std::string_view symbolName;
    SystemColor accentColor;
    std::string_view headerSummary;
    std::string_view previewSummary;  // the header card's summary
};

// The page's texts, symbol and accent colour (its row of the page registry).
const FeaturePageInfo& featurePageInfo(FeaturePage page);

// The sub-page for a segment index: negative → the first, beyond the last → the last.
Page pageForSubpageIndex(int index);
int subpageIndex(Page page);
std::span<const std::string_view> subpageLabels();

// A page named by a launch switch or the reopen notification.
struct PageSelection {
    FeaturePage feature;
    TopPage top;
    friend bool operator==(const PageSelection&, const PageSelection&) = default;
};

// "startMenu" and "switcher"; any other name selects nothing.
std::optional<PageSelection> selectionForPageName(std::string_view pageName);

// The page name of the first present switch, by precedence: "--start-menu" before
// "--switcher" (whole-argument matches; the program name is not part of `arguments`).
std::optional<std::string_view> launchPageName(std::span<const std::string_view> arguments);

}  // namespace tavrel
