#include "core/helper/helper_dock_menu.h"

#include "core/notifications/notification_names.h"

namespace tavrel {

namespace {

HelperDockMenuEntry item(std::string title, HelperDockMenuCommand command,
                         std::string_view representedObject) {
    return {std::move(title), false, command, std::string(representedObject)};
}

}  // namespace

std::vector<HelperDockMenuEntry> helperDockMenu(const HelperRole& role) {
    switch (role.kind()) {
        case HelperRoleKind::launcher:
            return {};
        case HelperRoleKind::widget: {
            const TavrelWidgetKind kind = *role.widgetKind;
            const bool time = kind == TavrelWidgetKind::time;
            return {item(time ? "打开日历" : "打开系统监控", HelperDockMenuCommand::openWidget,
                         rawValue(kind)),
                    HelperDockMenuEntry{"", true, HelperDockMenuCommand::none, ""},
                    item("移除「" + std::string(widgetName(kind)) + "」",
                         HelperDockMenuCommand::removeWidget, rawValue(kind))};
        }
        case HelperRoleKind::folder:
            return {
                item("新建分组", HelperDockMenuCommand::manageFolder, HelperAction::create),
                item("重命名分组", HelperDockMenuCommand::manageFolder, HelperAction::rename),
                item("删除分组", HelperDockMenuCommand::manageFolder, HelperAction::deleteFolder)};
    }
    return {};
}

std::optional<Notification> dockMenuRequestNotification(const HelperRole& role) {
    switch (role.kind()) {
        case HelperRoleKind::launcher:
            return std::nullopt;
        case HelperRoleKind::widget:
            return makeRemoveWidgetNotification(*role.widgetKind, HelperAction::dismiss);
        case HelperRoleKind::folder:
            return makeDismissFolderNotification(*role.folderIdentifier);
    }
    return std::nullopt;
}

std::optional<Notification> dockMenuChoiceNotification(const HelperDockMenuEntry& entry,
                                                       const HelperRole& role, ScreenPoint mouse) {
    switch (entry.command) {
        case HelperDockMenuCommand::none:
            return std::nullopt;
        case HelperDockMenuCommand::openWidget: {
            const auto kind = widgetKindFromRawValue(entry.representedObject);
            if (!kind) return std::nullopt;
            // A menu choice is no click on the tile: no mouse-up time goes with it.
            return makeShowWidgetNotification(*kind, mouse, std::nullopt);
        }
        case HelperDockMenuCommand::removeWidget: {
            const auto kind = widgetKindFromRawValue(entry.representedObject);
            if (!kind) return std::nullopt;
            return makeRemoveWidgetNotification(*kind, HelperAction::remove);
        }
        case HelperDockMenuCommand::manageFolder: {
            const bool create = entry.representedObject == HelperAction::create;
            return makeManageFolderNotification(entry.representedObject,
                                                create ? std::nullopt : role.folderIdentifier);
        }
    }
    return std::nullopt;
}

}  // namespace tavrel
