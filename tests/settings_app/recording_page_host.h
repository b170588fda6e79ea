#pragma once

// A page host without a window: records what the page's actions asked for, so page rules are
// tested on the form model alone.

#include <string>
#include <vector>

#include "core/settings_pages/settings_page_host.h"
#include "tests/settings_app/fake_page_services.h"

namespace tavrel::test {

class RecordingPageHost final : public SettingsPageHost, public TaskbarCommands {
public:
    TaskbarSettings& settings() override { return settings_; }
    FeaturePage selectedFeaturePage() const override { return feature; }
    Page selectedPage() const override { return page; }

    void storePageScrollOrigin() override { calls.push_back("storePageScrollOrigin"); }
    void notifyChange() override {
        calls.push_back("notifyChange");
        ++changes;
        if (onChange) onChange(settings_);
    }
    void applyLiveChange(bool rebuild) override {
        calls.push_back(rebuild ? "applyLiveChange(rebuild)" : "applyLiveChange");
        storePageScrollOrigin();
        notifyChange();
        if (rebuild) rebuildContentViewBody();
    }
    void rebuildContentViewBody() override {
        calls.push_back("rebuild");
        ++rebuilds;
    }
    void endTextEditing() override { calls.push_back("endTextEditing"); }
    void applyAppearance() override { calls.push_back("applyAppearance"); }
    void selectSubpage(int index) override {
        calls.push_back("selectSubpage");
        page = pageForSubpageIndex(index);
    }
    TaskbarCommands& taskbarCommands() override { return *this; }
    void closeTaskbar() override { calls.push_back("closeTaskbar"); }
    void restartTaskbar() override { calls.push_back("restartTaskbar"); }
    PageState& pageState() override { return state; }
    PageServices& services() override { return servicesOverride ? *servicesOverride : fakes; }

    platform::Dialogs& dialogs() { return fakes.scriptedDialogs; }
    ScriptedSettingsDialogs& scriptedDialogs() { return fakes.scriptedDialogs; }

    FeaturePage feature = FeaturePage::taskbar;
    Page page = Page::taskbar;
    std::vector<std::string> calls;
    int changes = 0;
    int rebuilds = 0;
    // Called with the settings after each reported edit (a delegate's save, for example).
    std::function<void(const TaskbarSettings&)> onChange;
    PageState state;
    FakePageServices fakes;
    // Other services in place of the fakes (a real desktop's workspace, say).
    PageServices* servicesOverride = nullptr;
    // The native Dock pages' services, under the names their tests use.
    FakePageServices& nativeDock = fakes;

private:
    TaskbarSettings settings_;
};

}  // namespace tavrel::test
