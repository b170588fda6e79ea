#include "core/helper/helper_notification_rules.h"

#include "core/notifications/notification_names.h"
#include "platform/case_folding.h"

namespace tavrel {

bool terminatesFolder(const Notification& notification, const HelperRole& role) {
    if (!notification.object || !role.folderIdentifier) return false;
    return *notification.object == *role.folderIdentifier;
}

bool terminatesWidget(const Notification& notification, const HelperRole& role) {
    if (!role.widgetKind) return false;
    const std::string* widget = userInfoString(notification.userInfo, NotificationKey::widget);
    return widget && *widget == rawValue(*role.widgetKind);
}

std::optional<TavrelWidgetKind> widgetToRefresh(const Notification& notification,
                                                const HelperRole& role) {
    if (!role.widgetKind) return std::nullopt;
    const std::string* widget = userInfoString(notification.userInfo, NotificationKey::widget);
    if (widget && *widget != rawValue(*role.widgetKind)) return std::nullopt;
    return role.widgetKind;
}

std::optional<DockIconRefresh> dockIconRefresh(const Notification& notification,
                                               const HelperRole& role) {
    const NotificationUserInfo& info = notification.userInfo;
    if (role.kind() == HelperRoleKind::folder) {
        const std::string* folderID = userInfoString(info, NotificationKey::folderID);
        if (!folderID || platform::caselessMatchKey(*folderID) !=
                             platform::caselessMatchKey(*role.folderIdentifier)) {
            return std::nullopt;
        }
    }
    DockIconRefresh refresh;
    refresh.isOpen = userInfoNumberBool(info, NotificationKey::isOpen).value_or(false);
    refresh.reloadAssets = userInfoNumberBool(info, NotificationKey::reloadAssets).value_or(true);
    return refresh;
}

Notification makeShowWidgetNotification(TavrelWidgetKind kind, ScreenPoint mouse,
                                        std::optional<double> clickUptime) {
    Notification notification{std::string(kTavrelShowWidgetNotification), std::nullopt, {}};
    auto& info = notification.userInfo;
    info.emplace(NotificationKey::widget, std::string(rawValue(kind)));
    info.emplace(NotificationKey::mouseX, mouse.x);
    info.emplace(NotificationKey::mouseY, mouse.y);
    if (clickUptime) info.emplace(NotificationKey::clickUptime, *clickUptime);
    return notification;
}

Notification makeRemoveWidgetNotification(TavrelWidgetKind kind, std::string_view action) {
    Notification notification{std::string(kTavrelRemoveWidgetNotification), std::nullopt, {}};
    notification.userInfo.emplace(NotificationKey::widget, std::string(rawValue(kind)));
    notification.userInfo.emplace(NotificationKey::action, std::string(action));
    return notification;
}

Notification makeDismissFolderNotification(std::string_view folderIdentifier) {
    Notification notification{std::string(kTavrelDismissFolderNotification), std::nullopt, {}};
    notification.userInfo.emplace(NotificationKey::folderID, std::string(folderIdentifier));
    return notification;
}

Notification makeManageFolderNotification(std::string_view action,
                                          const std::optional<std::string>& folderIdentifier) {
    Notification notification{std::string(kTavrelManageFolderNotification), std::nullopt, {}};
    notification.userInfo.emplace(NotificationKey::action, std::string(action));
    if (folderIdentifier)
        notification.userInfo.emplace(NotificationKey::folderID, *folderIdentifier);
    return notification;
}

Notification makeFolderDidExitNotification(std::string_view folderIdentifier) {
    Notification notification{std::string(kTavrelFolderDidExitNotification), std::nullopt, {}};
    notification.userInfo.emplace(NotificationKey::folderID, std::string(folderIdentifier));
    return notification;
}

}  // namespace tavrel
