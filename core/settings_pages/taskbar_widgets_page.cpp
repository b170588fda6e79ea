// "小组件": built with the widget rows and storage boxes; until then the sub-page shows only the
// selector above it.

#include "core/settings_pages/taskbar_subpages.h"

namespace tavrel {

std::shared_ptr<FormContent> makeTaskbarWidgetsSettingsView(SettingsPageHost&) {
    return std::make_shared<FormContent>();
}

}  // namespace tavrel
