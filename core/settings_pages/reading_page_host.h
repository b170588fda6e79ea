#pragma once

// A page host that only builds: no window, no dialogs that answer, no bus. A page's form is
// built from the registry with the given settings, sub-page and tab; the actions of its rows
// bound to settings still edit the host's own copy of them, so a form can be built again after
// a change to see which rows the change shows. Run no other action on it: the services do
// nothing, and the native Dock folder store is the user's real one.

#include <memory>

#include "core/settings/taskbar_settings.h"
#include "core/settings_pages/feature_page.h"
#include "core/settings_pages/page_services.h"
#include "core/settings_pages/settings_page_host.h"

namespace tavrel {

class ReadingPageHost final : public SettingsPageHost {
public:
    ReadingPageHost(TaskbarSettings settings, FeaturePage feature, Page page, int nativeDockTab);
    ~ReadingPageHost() override;
    ReadingPageHost(const ReadingPageHost&) = delete;
    ReadingPageHost& operator=(const ReadingPageHost&) = delete;

    TaskbarSettings& settings() override { return settings_; }
    FeaturePage selectedFeaturePage() const override { return feature_; }
    Page selectedPage() const override { return page_; }
    void storePageScrollOrigin() override {}
    void notifyChange() override {}
    void applyLiveChange(bool) override {}
    void rebuildContentViewBody() override {}
    void endTextEditing() override {}
    void applyAppearance() override {}
    void selectSubpage(int) override {}
    TaskbarCommands& taskbarCommands() override;
    PageState& pageState() override { return state_; }
    PageServices& services() override;

private:
    class Services;

    TaskbarSettings settings_;
    FeaturePage feature_;
    Page page_;
    PageState state_;
    std::unique_ptr<Services> services_;
};

}  // namespace tavrel
