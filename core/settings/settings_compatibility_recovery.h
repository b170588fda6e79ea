#pragma once

// The per-thread note that a decoding had to drop a key. The tolerant container raises it; the
// loader clears it before decoding the user's document and consumes it right after, so a decode
// on another thread can never disturb it.
//
// Also the hook through which the loader has the current documents backed up before it rewrites
// or moves settings.json. The settings module only calls it; the program installs what keeps the
// backups.

#include <filesystem>
#include <memory>

namespace tavrel::SettingsCompatibilityRecovery {

void reset();  // sets the flag to false
void raise();  // sets the flag to true
// The flag (false when unset) and removes it.
bool consume();

}  // namespace tavrel::SettingsCompatibilityRecovery

namespace tavrel {

// Why the loader is about to change settings.json behind the user's back.
enum class SettingsBackupOccasion {
    migration,           // an older or repaired document is rewritten in the current form
    unreadableDocument,  // an unreadable document is moved aside as settings.incompatible-…
};

class SettingsBackupHook {
public:
    virtual ~SettingsBackupHook() = default;
    // Called right before the change, with the directory of settings.json. Failures are the
    // hook's to report; the load goes on either way.
    virtual void backUpBeforeRewrite(SettingsBackupOccasion occasion,
                                     const std::filesystem::path& directory) = 0;
};

// The hook SettingsEnvironment::standard() hands to every load of this process; none until a
// program installs one.
void installSettingsBackupHook(std::shared_ptr<SettingsBackupHook> hook);
std::shared_ptr<SettingsBackupHook> installedSettingsBackupHook();

}  // namespace tavrel
