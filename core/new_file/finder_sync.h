#pragma once

// The file-manager extension's logic: the "新建文件" submenu, the target folder, creating a file
// from a template under a free name, keeping the extension's copy of the settings current and
// asking for a new desktop icon to be placed where the user clicked. The host program (the
// Nautilus module, the command-line front end) supplies the menus' context and the screen.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/foundation/result.h"
#include "core/new_file/desktop_icon_position.h"
#include "core/new_file/new_file_template.h"
#include "platform/clock.h"
#include "platform/main_queue.h"
#include "platform/notifications.h"

namespace tavrel {

enum class FinderSyncMenuKind : int {
    contextualMenuForItems = 0,      // a menu for selected files and folders
    contextualMenuForContainer = 1,  // a menu for the empty space of a folder
    contextualMenuForSidebar = 2,
    toolbarItemMenu = 3,
};

struct FinderSyncMenuItem {
    std::string title;       // the template's displayName
    std::string templateID;  // also the item's identifier and represented object
    friend bool operator==(const FinderSyncMenuItem&, const FinderSyncMenuItem&) = default;
};

// One item titled "新建文件" whose submenu, also titled "新建文件", lists the templates.
struct FinderSyncMenu {
    std::string title;
    std::string symbolName;  // "doc.badge.plus"; hosts map it to an icon of their own
    std::vector<FinderSyncMenuItem> items;
};

// What the menu was opened on.
struct FinderSyncTarget {
    std::optional<std::filesystem::path> targetedURL;     // the folder shown
    std::vector<std::filesystem::path> selectedItemURLs;  // the selection, in order
};

// A chosen menu item as the host hands it back.
struct FinderSyncMenuItemReference {
    std::optional<std::string> representedObject;
    std::string identifier;
    std::string title;
};

// What the host program provides.
class FinderSyncHost {
public:
    virtual ~FinderSyncHost() = default;
    // The pointer in global screen coordinates, when the platform tells.
    virtual std::optional<ScreenPoint> mouseLocation() = 0;
    // The screens' frames, the main screen first; empty when the platform tells nothing.
    virtual std::vector<ScreenFrame> screens() = 0;
    virtual std::optional<std::filesystem::path> desktopDirectory() = 0;
    virtual std::int64_t processIdentifier() = 0;
};

class FinderSync {
public:
    // `notificationCenter` may be null (nothing observed or posted); `resourcesDirectory` is the
    // extension bundle's Resources directory, where the built-in template files ship.
    // With a `mainQueue`, a received payload is applied on the queue's next turn, and only the
    // latest of the payloads that arrived meanwhile: no more than that one is held. Without a
    // queue each payload is applied as it arrives.
    FinderSync(FinderSyncHost& host, platform::NotificationCenter* notificationCenter,
               std::optional<std::filesystem::path> resourcesDirectory,
               std::shared_ptr<platform::Clock> clock, platform::MainQueue* mainQueue = nullptr);
    ~FinderSync();
    FinderSync(const FinderSync&) = delete;
    FinderSync& operator=(const FinderSync&) = delete;

    // What the extension does once when it starts: observes the sync notification (each payload
    // replaces the extension's copy) and asks peers for a payload.
    void start();
    // Told after each payload that was applied or refused (or could not be written).
    std::function<void(const Status&)> onSettingsSyncApplied;

    // The directories the extension is interested in: "/", home and the desktop.
    std::vector<std::filesystem::path> watchedDirectories() const;

    // Nothing for the sidebar and toolbar kinds, while the feature is off or when no template
    // is enabled. Records the pointer position for a later desktop placement.
    std::optional<FinderSyncMenu> menu(FinderSyncMenuKind kind);

    // Creates a file from the chosen template in the target folder; its path, or why not.
    Result<std::filesystem::path> createFile(const FinderSyncMenuItemReference& item,
                                             const FinderSyncTarget& target);

    // The targeted folder; else the first selected item when it is a folder, or its parent;
    // else the desktop.
    std::optional<std::filesystem::path> targetDirectoryURL(const FinderSyncTarget& target);

    // The enabled template the item stands for: by id, else by title.
    std::optional<NewFileTemplate> resolveTemplate(const FinderSyncMenuItemReference& item) const;

    // The template file's bytes: a built-in template from the bundle's resources, an imported
    // one from the extension's templates directory.
    Result<std::string> templateSourceData(const NewFileTemplate& newFileTemplate) const;

    void positionDesktopIconIfNeeded(const std::filesystem::path& file);
    void setFinderDesktopIconPosition(const std::filesystem::path& file,
                                      DesktopIconPosition position);

    const std::optional<ScreenPoint>& lastContextMenuScreenPoint() const {
        return lastContextMenuScreenPoint_;
    }

    // "TAVREL_SOURCE_DIAGNOSTICS" set to exactly "1".
    static bool diagnosticsEnabled();
    // Appends a line to the diagnostics log when diagnostics are on.
    void log(std::string_view message);
    static std::filesystem::path diagnosticsLogURL();

private:
    FinderSyncHost& host_;
    platform::NotificationCenter* notificationCenter_;
    std::optional<std::filesystem::path> resourcesDirectory_;
    std::shared_ptr<platform::Clock> clock_;
    std::optional<ScreenPoint> lastContextMenuScreenPoint_;
    std::optional<platform::NotificationCenter::ObserverId> settingsSyncObserver_;
    platform::MainQueue* mainQueue_;
    std::optional<std::string> pendingSync_;
    std::optional<platform::MainQueue::TaskId> pendingSyncTask_;

    void receiveSettingsSync(std::string_view payload);
    void writePendingSync();
};

}  // namespace tavrel
