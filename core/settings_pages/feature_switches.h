#pragma once

// What each sidebar row shows and does: the on/off state of its switch (nothing = no switch),
// the status text, and what flipping the switch changes.

#include <memory>
#include <optional>
#include <string>

#include "core/settings/taskbar_settings.h"
#include "core/settings_pages/feature_page.h"

namespace tavrel {

class FormContent;
class SettingsPageHost;

// The New File feature's on/off state lives in its own document, owned by the New File module
// (NewFileFeature in new_file_page.h). The null switch reports no state (the sidebar then shows
// no switch), ignores changes and has no page.
class NewFileFeatureSwitch {
public:
    virtual ~NewFileFeatureSwitch() = default;
    // Nothing when the state cannot be determined.
    virtual std::optional<bool> isEnabled() const = 0;
    // Saves the New File settings with the new state.
    virtual void setEnabled(bool enabled) = 0;
    // The feature's page; nothing when there is none.
    virtual std::shared_ptr<FormContent> makeSettingsView(SettingsPageHost&) { return nullptr; }
};

// Hiding and restoring the native Dock runs through the native Dock module (confirmation,
// background commands, the settings command). Until it is wired in, the null changer does
// nothing.
class NativeDockVisibilitySwitch {
public:
    virtual ~NativeDockVisibilitySwitch() = default;
    virtual void changeNativeDockHidden(bool hidden) = 0;
};

std::unique_ptr<NewFileFeatureSwitch> makeNullNewFileFeatureSwitch();
std::unique_ptr<NativeDockVisibilitySwitch> makeNullNativeDockVisibilitySwitch();

// What the rows read besides the settings.
struct FeatureEnvironment {
    std::optional<bool> newFileEnabled;
    int connectedScreenCount = 1;
};

std::optional<bool> featureEnabledState(FeaturePage page, const TaskbarSettings& settings,
                                        const FeatureEnvironment& environment);

std::string featureStatusText(FeaturePage page, const TaskbarSettings& settings,
                              const FeatureEnvironment& environment);

// What flipping a page's sidebar switch asks of the window.
enum class FeatureSwitchEffect {
    none,              // the page has no switch
    settingsChanged,   // a value of `settings` was written: keep the page offset, onChange
    nativeDockHidden,  // hand over to changeNativeDockHidden(enabled); nothing else
    newFileEnabled,    // save the New File settings, rebuild, explain when enabling
};

// Writes the value for the pages whose switch is a setting, and says what else to do.
FeatureSwitchEffect applyFeatureSwitch(FeaturePage page, bool enabled, TaskbarSettings& settings);

// The alert shown after the New File feature was switched on.
struct NewFileInstructions {
    static constexpr std::string_view message = "请开启文件提供程序扩展";
    static constexpr std::string_view button = "知道了";
    static std::string informativeText();
};

}  // namespace tavrel
