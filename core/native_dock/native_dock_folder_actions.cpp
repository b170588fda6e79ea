#include "core/native_dock/native_dock_folder_actions.h"

#include <utility>

#include "core/native_dock/native_dock_alerts.h"
#include "core/notifications/notification_names.h"

namespace tavrel {

NativeDockFolderActions::NativeDockFolderActions(NativeDockFolderSettingsStore& store,
                                                 platform::ModalAlertPresenter& alerts,
                                                 platform::NotificationCenter& notifications,
                                                 std::function<void()> rebuildContentViewBody)
    : store_(store),
      alerts_(alerts),
      notifications_(notifications),
      rebuildContentViewBody_(std::move(rebuildContentViewBody)) {}

std::string NativeDockFolderActions::applicationCountText(std::size_t count) {
    return std::to_string(count) + " 个应用";
}

std::string NativeDockFolderActions::toggleToolTip(bool enabled) {
    return enabled ? "从 Dock 移除" : "显示在 Dock";
}

std::vector<NativeDockFolderRow> NativeDockFolderActions::reloadFolderRows() {
    store_.reload();
    std::vector<NativeDockFolderRow> rows;
    rows.reserve(store_.folders.size());
    for (const auto& folder : store_.folders) {
        rows.push_back(NativeDockFolderRow{
            .folder = folder,
            .title = folder.name,
            .detail = applicationCountText(folder.applications.size()),
            .isEnabled = folder.isEnabled,
            .toggleToolTip = toggleToolTip(folder.isEnabled),
        });
    }
    return rows;
}

void NativeDockFolderActions::createNativeDockFolderFromSettings() {
    const platform::ModalAlertResponse response = alerts_.runModal(NativeDockAlerts::createFolder());
    if (!response.isFirstButton()) return;
    store_.reload();
    SettingsNativeDockFolder folder{
        .id = platform::Uuid::random(),
        .name = store_.uniqueFolderName(response.text, std::nullopt),
        .applications = {},
        .isEnabled = true,
    };
    (void)store_.upsert(folder);  // a failed write is silent; the notification still goes out
    announceAndRebuild();
}

void NativeDockFolderActions::renameNativeDockFolderFromSettings(
    const SettingsNativeDockFolder& folder) {
    const platform::ModalAlertResponse response =
        alerts_.runModal(NativeDockAlerts::renameFolder(folder.name));
    if (!response.isFirstButton()) return;
    store_.reload();
    SettingsNativeDockFolder renamed = folder;
    renamed.name = store_.uniqueFolderName(response.text, folder.id);
    (void)store_.upsert(renamed);
    announceAndRebuild();
}

void NativeDockFolderActions::deleteNativeDockFolderFromSettings(
    const SettingsNativeDockFolder& folder) {
    const platform::ModalAlertResponse response =
        alerts_.runModal(NativeDockAlerts::deleteFolder(folder.name));
    if (!response.isFirstButton()) return;
    store_.reload();
    (void)store_.remove(folder.id);
    announceAndRebuild();
}

void NativeDockFolderActions::setNativeDockFolderEnabled(const SettingsNativeDockFolder& folder,
                                                         bool enabled) {
    SettingsNativeDockFolder changed = folder;
    changed.isEnabled = enabled;
    store_.reload();
    (void)store_.upsert(changed);
    announceAndRebuild();
}

void NativeDockFolderActions::announceAndRebuild() {
    Notification changed;
    changed.name = nativeDockFoldersChangedNotification;
    (void)notifications_.post(changed);  // nothing to do about a bus that is gone
    if (rebuildContentViewBody_) rebuildContentViewBody_();
}

}  // namespace tavrel
