// "窗口切换器": its rows arrive with their own work; until then the page shows its header card.

#include "core/settings_pages/feature_pages.h"

namespace tavrel {

std::shared_ptr<FormContent> makeWindowSwitcherSettingsView(SettingsPageHost&) {
    return std::make_shared<FormContent>();
}

}  // namespace tavrel
