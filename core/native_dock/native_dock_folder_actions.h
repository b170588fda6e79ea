#pragma once

// The folder actions of the "应用分组" tab: create, rename, delete, show or hide in the Dock.
// Each confirmed action reloads the store, changes it, saves, posts
// "com.tavrel.nativeDockFolders.changed" (whether or not the write succeeded) and rebuilds the
// page. Cancelled dialogs change and post nothing. Main thread only.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "core/native_dock/native_dock_folder_settings_store.h"
#include "platform/notifications.h"

namespace tavrel {

// One folder row of the tab, as read when the page is built.
struct NativeDockFolderRow {
    SettingsNativeDockFolder folder;  // the value the row's actions start from
    std::string title;                // the folder's name
    std::string detail;               // "<count> 个应用"
    bool isEnabled = true;            // the switch
    std::string toggleToolTip;        // "从 Dock 移除" when on, "显示在 Dock" when off

    friend bool operator==(const NativeDockFolderRow&, const NativeDockFolderRow&) = default;
};

class NativeDockFolderActions {
public:
    // `rebuildContentViewBody` rebuilds the page after an action.
    NativeDockFolderActions(NativeDockFolderSettingsStore& store, platform::ModalAlertPresenter& alerts,
                            platform::NotificationCenter& notifications,
                            std::function<void()> rebuildContentViewBody);

    // Reloads the store (the tab re-reads the file every time it is built) and gives one row per
    // folder in list order; empty: the page shows the "暂无文件夹" block instead.
    std::vector<NativeDockFolderRow> reloadFolderRows();

    void createNativeDockFolderFromSettings();
    // Keeps the folder's id; the taskbar then shows a new tile and leaves the old one.
    void renameNativeDockFolderFromSettings(const SettingsNativeDockFolder& folder);
    void deleteNativeDockFolderFromSettings(const SettingsNativeDockFolder& folder);
    // Writes the row's folder value with the new state (appended if another writer removed it).
    void setNativeDockFolderEnabled(const SettingsNativeDockFolder& folder, bool enabled);

    static std::string applicationCountText(std::size_t count);
    static std::string toggleToolTip(bool enabled);

private:
    void announceAndRebuild();

    NativeDockFolderSettingsStore& store_;
    platform::ModalAlertPresenter& alerts_;
    platform::NotificationCenter& notifications_;
    std::function<void()> rebuildContentViewBody_;
};

// The tab's fixed texts.
struct NativeDockFolderTexts {
    static constexpr std::string_view section = "应用分组";
    static constexpr std::string_view dropShelfTitle = "启用文件夹拖放区";
    static constexpr std::string_view dropShelfDetail =
        "拖动原生 Dock 图标时显示文件夹拖放区；关闭后不影响文件夹的打开与管理。";
    static constexpr std::string_view createTitle = "新建文件夹";
    static constexpr std::string_view createDetail = "创建后会立即在原生 Dock 显示空文件夹图标。";
    static constexpr std::string_view createSymbol = "folder.badge.plus";
    static constexpr std::string_view emptyTitle = "暂无文件夹";
    static constexpr std::string_view emptyBody =
        "新建文件夹后，可在原生 Dock 文件夹弹窗的最后一个位置添加应用。";
    static constexpr std::string_view renameButton = "重命名";
    static constexpr std::string_view deleteToolTip = "删除文件夹";
    static constexpr std::string_view deleteSymbol = "trash";
};

}  // namespace tavrel
