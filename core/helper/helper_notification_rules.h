#pragma once

// What each observed helper notification means for this copy, and the notifications a copy
// posts. Foreign, missing or mistyped payloads are ignored exactly as the handlers below say;
// nothing is ever answered back.

#include <optional>
#include <string>
#include <string_view>

#include "core/helper/helper_role.h"
#include "core/helper/tavrel_widget_kind.h"
#include "core/notifications/notification.h"

namespace tavrel {

// kTavrelTerminateFolderNotification: a managed quit when the object is a string equal to this
// copy's folder identifier, byte for byte.
bool terminatesFolder(const Notification& notification, const HelperRole& role);

// kTavrelTerminateWidgetNotification: quit when userInfo "widget" is this copy's kind.
bool terminatesWidget(const Notification& notification, const HelperRole& role);

// kTavrelRefreshWidgetIconNotification: a forced redraw unless userInfo "widget" is a string
// naming another kind (a missing userInfo or key still redraws). Nothing when this copy shows no
// widget.
std::optional<TavrelWidgetKind> widgetToRefresh(const Notification& notification,
                                                const HelperRole& role);

struct DockIconRefresh {
    bool isOpen = false;
    bool reloadAssets = true;
    friend bool operator==(const DockIconRefresh&, const DockIconRefresh&) = default;
};

// kTavrelRefreshHelperIconNotification and kTavrelRefreshFolderIconNotification. A folder copy
// needs userInfo "folderID" to equal its identifier ignoring case. "isOpen" and "reloadAssets"
// are read as a number's truth value; missing or not a number they mean closed and reload.
std::optional<DockIconRefresh> dockIconRefresh(const Notification& notification,
                                               const HelperRole& role);

struct ScreenPoint {
    double x = 0;
    double y = 0;
};

// The notifications a copy posts (no sender object).
Notification makeShowWidgetNotification(TavrelWidgetKind kind, ScreenPoint mouse,
                                        std::optional<double> clickUptime);
Notification makeRemoveWidgetNotification(TavrelWidgetKind kind, std::string_view action);
Notification makeDismissFolderNotification(std::string_view folderIdentifier);
// "folderID" is left out when `folderIdentifier` is nothing.
Notification makeManageFolderNotification(std::string_view action,
                                          const std::optional<std::string>& folderIdentifier);
Notification makeFolderDidExitNotification(std::string_view folderIdentifier);

}  // namespace tavrel
