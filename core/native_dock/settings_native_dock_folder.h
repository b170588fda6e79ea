#pragma once

// The native Dock folder records and native-dock-folders.json, the document the settings
// application and the taskbar application share: a JSON array of folders in list order.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/foundation/result.h"
#include "platform/uuid.h"

namespace tavrel {

// A member application. The settings application never creates members; it writes them back
// as it read them.
struct SettingsNativeDockFolderApplication {
    std::string appKey;  // the member's identity, chosen by the taskbar application
    std::string name;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> path;  // the application bundle's path

    friend bool operator==(const SettingsNativeDockFolderApplication&,
                           const SettingsNativeDockFolderApplication&) = default;
};

struct SettingsNativeDockFolder {
    // Also the role key of the folder's Dock tile copy.
    platform::Uuid id;
    std::string name;
    std::vector<SettingsNativeDockFolderApplication> applications;
    bool isEnabled = true;  // shown as a tile in the native Dock

    friend bool operator==(const SettingsNativeDockFolder&,
                           const SettingsNativeDockFolder&) = default;
};

struct NativeDockFolderDocumentLimits {
    // Thousands of folders with long paths stay far below this.
    static constexpr std::size_t maxBytes = 8 * 1024 * 1024;
    // The document itself is four levels deep.
    static constexpr int maxDepth = 16;
};

// Decodes the document. Unknown keys are ignored; a missing or mistyped required key, an `id`
// that is not a UUID, a mistyped optional key or anything that is not an array of folder
// objects fails the whole document. Absent or null optional keys take their defaults.
Result<std::vector<SettingsNativeDockFolder>> decodeNativeDockFolders(std::string_view bytes);

// Compact JSON, keys in the order id, name, applications, isEnabled and appKey, name,
// bundleIdentifier, path; optional member keys only when present; ids in upper case.
Result<std::string> encodeNativeDockFolders(const std::vector<SettingsNativeDockFolder>& folders);

}  // namespace tavrel
