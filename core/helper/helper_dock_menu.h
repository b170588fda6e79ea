#pragma once

// The Dock menu of each role, and what requesting it and choosing its items post.

#include <optional>
#include <string>
#include <vector>

#include "core/helper/helper_notification_rules.h"
#include "core/helper/helper_role.h"
#include "core/notifications/notification.h"

namespace tavrel {

enum class HelperDockMenuCommand { none, openWidget, removeWidget, manageFolder };

struct HelperDockMenuEntry {
    std::string title;  // empty for a separator
    bool isSeparator = false;
    HelperDockMenuCommand command = HelperDockMenuCommand::none;
    // The widget kind's raw value, or the folder action.
    std::string representedObject;

    friend bool operator==(const HelperDockMenuEntry&, const HelperDockMenuEntry&) = default;
};

// Launcher: no menu. Widget: open, separator, remove. Folder: create, rename, delete.
std::vector<HelperDockMenuEntry> helperDockMenu(const HelperRole& role);

// Posted as soon as the menu is requested, whatever the user then chooses: "dismiss" for a
// widget, the folder dismiss for a folder, nothing for the launcher.
std::optional<Notification> dockMenuRequestNotification(const HelperRole& role);

// What choosing `entry` posts, given the copy's role and the mouse location at the time of
// the choice.
std::optional<Notification> dockMenuChoiceNotification(const HelperDockMenuEntry& entry,
                                                       const HelperRole& role, ScreenPoint mouse);

}  // namespace tavrel
