#include "core/settings/settings_compatibility_recovery.h"

#include <optional>

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
