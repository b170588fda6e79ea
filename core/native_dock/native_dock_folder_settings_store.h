#pragma once

// The settings application's copy of native-dock-folders.json. It keeps no cache policy of its
// own: every user reloads it right before reading or changing it, and each change rewrites the
// whole file atomically (the last writer wins). Main thread only.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/foundation/result.h"
#include "core/native_dock/settings_native_dock_folder.h"
#include "platform/uuid.h"

namespace tavrel {

class NativeDockFolderSettingsStore {
public:
    static constexpr std::string_view fileName = "native-dock-folders.json";
    static constexpr std::string_view defaultFolderName = "新建文件夹";

    // The store of `fileURL`, with an empty list until reload().
    explicit NativeDockFolderSettingsStore(std::filesystem::path fileURL);

    // The application's one store, on the data directory's native-dock-folders.json. Created
    // on first use with an empty list.
    static NativeDockFolderSettingsStore& shared();
    // <Application Support>/Tavrel/native-dock-folders.json
    static std::filesystem::path defaultFileURL();

    const std::filesystem::path& fileURL() const { return fileURL_; }

    std::vector<SettingsNativeDockFolder> folders;

    // Replaces `folders` by the file's list; an empty list when the file is missing, unreadable
    // or not a valid document (no message).
    void reload();

    // Writes `folders`, creating the directory first. Callers ignore failures (the list in
    // memory stays as it is); the result is for tests and diagnostics.
    Status save();

    // Replaces the entry with the folder's id in place, or appends the folder; then saves.
    Status upsert(const SettingsNativeDockFolder& folder);

    // Removes every entry with `id`, keeping the others in order; then saves.
    Status remove(const platform::Uuid& id);

    // The trimmed `preferred` name ("新建文件夹" when blank), or the first of "<name> 2",
    // "<name> 3", … that no other folder uses. Names are compared trimmed and caselessly with
    // full Unicode case folding; the folder `excluding` never blocks its own name.
    std::string uniqueFolderName(std::string_view preferred,
                                 const std::optional<platform::Uuid>& excluding) const;

private:
    std::filesystem::path fileURL_;
};

}  // namespace tavrel
