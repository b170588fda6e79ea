#include "core/settings/settings_compatibility_recovery.h"

#include <optional>
#include <utility>

namespace tavrel::SettingsCompatibilityRecovery {

namespace {
// "Tavrel.SettingsCompatibilityRecovery" of the thread's dictionary.
thread_local std::optional<bool> recoveryFlag;
}  // namespace

void reset() {
    recoveryFlag = false;
}

void raise() {
    recoveryFlag = true;
}

bool consume() {
    const bool value = recoveryFlag.value_or(false);
    recoveryFlag.reset();
    return value;
}

}  // namespace tavrel::SettingsCompatibilityRecovery

namespace tavrel {

namespace {
// Installed once by main() before anything loads; read on the main thread.
std::shared_ptr<SettingsBackupHook>& backupHookSlot() {
    static std::shared_ptr<SettingsBackupHook> hook;
    return hook;
}
}  // namespace

void installSettingsBackupHook(std::shared_ptr<SettingsBackupHook> hook) {
    backupHookSlot() = std::move(hook);
}

std::shared_ptr<SettingsBackupHook> installedSettingsBackupHook() {
    return backupHookSlot();
}

}  // namespace tavrel
