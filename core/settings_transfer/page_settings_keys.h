#pragma once

// The settings a feature page edits, read from the page itself: its form is built from the
// registry, without a window, and every bound row names the keys it writes. A page reset then
// puts exactly those keys back to their defaults, the theme-scoped ones within the theme the
// page shows.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/form/form_content.h"
#include "core/settings/taskbar_settings.h"
#include "core/settings_pages/feature_page.h"

namespace tavrel {

// The command line's name of a page: "taskbar", "clockCalendar", "nativeDock", … (the page's
// case name), or its title as the sidebar shows it when no other page has that title.
std::optional<FeaturePage> featurePageNamed(std::string_view name);
std::string_view featurePageName(FeaturePage page);

// The keys the page's rows and its sidebar switch write, each once, in page order: every tab and
// sub-page of the page, and the rows the settings hide as well (a row a switch that is off or
// another choice of a segment would show), so a reset leaves no hidden value behind to come back
// later. Rows only the other theme shows are not counted.
std::vector<FormKeyReference> pageSettingsKeys(FeaturePage page, const TaskbarSettings& settings);

// Puts those keys back to their defaults. Keys the native Dock module or another document owns
// are never part of it.
void resetPageSettings(TaskbarSettings& settings, FeaturePage page);

}  // namespace tavrel
