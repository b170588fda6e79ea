#pragma once

// What the application delegate needs of the settings window controller. The Qt window
// implements it; tests use a recording stand-in.

#include <functional>
#include <memory>

#include "core/settings/taskbar_settings.h"
#include "core/settings_pages/feature_page.h"

namespace tavrel {

class SettingsWindowController {
public:
    virtual ~SettingsWindowController() = default;

    virtual bool hasWindow() const = 0;
    virtual bool isWindowVisible() const = 0;

    // selectedFeaturePage and selectedTopPage.
    virtual void select(PageSelection selection) = 0;
    virtual void clearPendingSidebarScrollOrigin() = 0;
    virtual void rebuildContentViewBody() = 0;
    // Shows the selected page anew. Called by the delegate, never from one of the page's own
    // controls, so the page it replaces may be freed at once.
    virtual void showSelectedPage() { rebuildContentViewBody(); }
    virtual void scrollFeatureSidebarToTop() = 0;
    virtual void synchronizeExternalSettings(const TaskbarSettings& fresh) = 0;
    virtual void refreshNativeDockFolderState() = 0;
    // Tears the window's content down; runs once, later calls do nothing.
    virtual void prepareForClose() = 0;

    // Shows the window, centred, at the normal window level.
    virtual void showWindow() = 0;
    // Activates the application and makes the window key and frontmost.
    virtual void bringToFront() = 0;
    // Closes the window as its close button would.
    virtual void performClose() = 0;
};

// What the window calls back.
struct SettingsWindowCallbacks {
    // After each edit, with the panel copy.
    std::function<void(const TaskbarSettings&)> onChange;
    std::function<void()> onCloseTaskbar;
    std::function<void()> onRestartTaskbar;
    // The window is about to close.
    std::function<void()> onWindowWillClose;
};

// Makes the controller with its panel copy.
using SettingsWindowFactory = std::function<std::unique_ptr<SettingsWindowController>(
    TaskbarSettings panelSettings, SettingsWindowCallbacks callbacks)>;

}  // namespace tavrel
