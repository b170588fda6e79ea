#pragma once

// A page host without a window: records what the page's actions asked for, so page rules are
// tested on the form model alone.

#include <string>
#include <vector>

#include "core/settings_pages/settings_page_host.h"
#include "tests/native_dock_pages/recording_native_dock_pages.h"
#include "tests/settings_app/scripted_settings_dialogs.h"

namespace tavrel::test {

class RecordingPageHost final : public SettingsPageHost {
public:
    TaskbarSettings& settings() override { return settings_; }
    FeaturePage selectedFeaturePage() const override { return feature; }
    Page selectedPage() const override { return page; }

    void storePageScrollOrigin() override { calls.push_back("storePageScrollOrigin"); }
    void notifyChange() override {
        calls.push_back("notifyChange");
        ++changes;
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
    platform::Dialogs& dialogs() override { return dialogs_; }
    NativeDockPageHost& nativeDockPages() override { return nativeDock.state; }

    ScriptedSettingsDialogs& scriptedDialogs() { return dialogs_; }

    FeaturePage feature = FeaturePage::taskbar;
    Page page = Page::taskbar;
    std::vector<std::string> calls;
    int changes = 0;
    int rebuilds = 0;
    RecordingNativeDockPages nativeDock;

private:
    TaskbarSettings settings_;
    ScriptedSettingsDialogs dialogs_;
};

}  // namespace tavrel::test
