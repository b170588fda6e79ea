#pragma once

// The page builders of the per-page table and the page column the window shows. Pages whose
// rows arrive with later work build an empty form for now; their header card still shows.

#include <memory>

#include "core/form/form_content.h"
#include "core/settings_pages/settings_page_host.h"

namespace tavrel {

// The form of a feature page, by the builder of the per-page table.
std::shared_ptr<FormContent> makeFeaturePageForm(FeaturePage page, SettingsPageHost& host);

// The page column: the accessibility banner, the header card (every page but the taskbar page)
// and the page's own form.
std::shared_ptr<FormContent> makeTopForm(SettingsPageHost& host);

// Builders of pages that are not built yet; each returns an empty form.
std::shared_ptr<FormContent> makeIconSettingsView(SettingsPageHost& host);
std::shared_ptr<FormContent> makeIndicatorSettingsView(SettingsPageHost& host);
std::shared_ptr<FormContent> makePreviewSettingsView(SettingsPageHost& host);
std::shared_ptr<FormContent> makeTaskbarWidgetsSettingsView(SettingsPageHost& host);

}  // namespace tavrel
