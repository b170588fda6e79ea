#pragma once

// Hiding and restoring the native Dock through its preferences: the command runs, the bounce
// preference read-back and the whole sequence. Everything here blocks (up to about three
// seconds per command) and touches no shared state, so it runs on a background thread.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "core/native_dock/native_dock_commands.h"
#include "platform/process.h"

namespace tavrel {

struct NativeDockCommandLimits {
    static constexpr std::chrono::milliseconds timeLimit{3000};
    // What is kept of a command's standard error or output; the texts looked for are short.
    static constexpr std::size_t maxCapturedBytes = 64 * 1024;
};

// Runs one command: true when it exits with status 0. A command that cannot start, is killed
// by a signal or is still running after three seconds (then terminated) fails. While restoring
// (`allowMissingDefaultKey`), a 4-element "/usr/bin/defaults delete <domain> <key>" that fails
// with the missing-key text on standard error counts as success: the key is already gone.
bool runNativeDockCommand(platform::ProcessRunner& runner, const NativeDockCommand& command,
                          bool allowMissingDefaultKey);

// The Dock's bounce preference: "true", "false", "missing" (no such key), or nothing when it
// cannot be read (logged).
std::optional<std::string> readNativeDockBouncePreference(platform::ProcessRunner& runner);

// Hides (`hidden`) or restores the native Dock; true when every step succeeded. Hiding first
// backs the bounce preference up at `backupURL` (keeping an existing backup); restoring puts it
// back from there and removes the backup. Commands that ran before a failure stay in effect.
bool applyNativeDockHidden(bool hidden, platform::ProcessRunner& runner,
                           const std::filesystem::path& backupURL);

}  // namespace tavrel
