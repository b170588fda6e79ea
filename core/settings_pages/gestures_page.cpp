// "高级手势": its rows arrive with their own work; until then the page shows its header card.

#include "core/settings_pages/feature_pages.h"

namespace tavrel {

std::shared_ptr<FormContent> makeAdvancedGesturesSettingsView(SettingsPageHost&) {
    return std::make_shared<FormContent>();
}

}  // namespace tavrel
