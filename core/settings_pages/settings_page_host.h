#pragma once

// What a page's rows may ask of the settings window. Page builders capture the host in their
// actions; the window outlives every form it builds.

#include "core/settings/taskbar_settings.h"
#include "core/settings_pages/feature_page.h"
#include "core/settings_pages/page_services.h"

namespace tavrel {

class SettingsPageHost {
public:
    virtual ~SettingsPageHost() = default;

    // The panel copy every row reads and writes.
    virtual TaskbarSettings& settings() = 0;
    virtual FeaturePage selectedFeaturePage() const = 0;
    virtual Page selectedPage() const = 0;

    // Remembers the page's scroll position for the next (re)build.
    virtual void storePageScrollOrigin() = 0;
    // Reports the edit (onChange(settings)); the application saves and notifies.
    virtual void notifyChange() = 0;
    // storePageScrollOrigin, notifyChange, and a rebuild when `rebuild`.
    virtual void applyLiveChange(bool rebuild) = 0;
    virtual void rebuildContentViewBody() = 0;
    // Ends any text editing, so a field's pending edit is not lost to a rebuild.
    virtual void endTextEditing() = 0;
    // The application's and the window's appearance follow settings().appearanceMode.
    virtual void applyAppearance() = 0;
    // The taskbar page's sub-page selector: select the sub-page at `index` (clamped).
    virtual void selectSubpage(int index) = 0;

    // "退出应用" and "重启任务栏" of the general page.
    virtual TaskbarCommands& taskbarCommands() = 0;

    virtual PageState& pageState() = 0;
    virtual PageServices& services() = 0;
};

// The common tail of a page action: keep the scroll position, report the edit.
inline void commitPageEdit(SettingsPageHost& host) {
    host.storePageScrollOrigin();
    host.notifyChange();
}

}  // namespace tavrel
