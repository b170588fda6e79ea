#pragma once

// What the Nautilus module and the command-line front end share: the extension's bundle, its
// notification centre (GDBus, never Qt: the module lives inside Nautilus) and the FinderSync
// logic over the Linux host.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "apps/new_file_extension/glib_main_queue.h"
#include "apps/new_file_extension/linux_finder_sync_host.h"
#include "core/new_file/finder_sync.h"
#include "platform/bundle.h"
#include "platform/linux/gdbus/gdbus_notification_center.h"

namespace tavrel {

inline constexpr char kNewFileExtensionBundleName[] = "TavrelNewFileFinderSync.app";

// The bundle whose Contents/MacOS holds `binary` (links resolved), if it sits in one.
std::optional<platform::Bundle> bundleContaining(const std::filesystem::path& binary);

class NewFileExtension {
public:
    enum class Notifications { session, none };

    // Declares the process as the extension. Without a session bus the extension still offers
    // its menu and creates files; it only neither syncs nor announces placements.
    NewFileExtension(std::optional<platform::Bundle> bundle, Notifications notifications);

    FinderSync& finderSync() { return *finderSync_; }
    // Nothing when there is no session bus; `notificationError` then says why.
    platform::GDBusNotificationCenter* notificationCenter() { return notificationCenter_.get(); }
    const std::string& notificationError() const { return notificationError_; }
    const std::optional<platform::Bundle>& bundle() const { return bundle_; }

private:
    std::optional<platform::Bundle> bundle_;
    LinuxFinderSyncHost host_;
    // Outlives the FinderSync, which may still have work on it.
    GLibMainQueue mainQueue_;
    std::unique_ptr<platform::GDBusNotificationCenter> notificationCenter_;
    std::string notificationError_;
    std::unique_ptr<FinderSync> finderSync_;
};

}  // namespace tavrel
