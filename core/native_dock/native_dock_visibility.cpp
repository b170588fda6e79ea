#include "core/native_dock/native_dock_visibility.h"

#include <cctype>
#include <string_view>

#include "core/foundation/utf8.h"
#include "core/native_dock/native_dock_bounce_backup.h"
#include "core/native_dock/native_dock_defaults_errors.h"
#include "core/native_dock/native_dock_text.h"
#include "platform/log.h"

namespace tavrel {
namespace {

using platform::OutputMode;
using platform::ProcessRequest;
using platform::ProcessResult;

ProcessRequest requestFor(const NativeDockCommand& command, OutputMode standardOutput) {
    ProcessRequest request;
    request.executable = command.front();
    request.arguments.assign(command.begin() + 1, command.end());
    request.timeLimit = NativeDockCommandLimits::timeLimit;
    request.standardOutput = standardOutput;
    request.standardError = OutputMode::capture;
    request.maxCapturedBytes = NativeDockCommandLimits::maxCapturedBytes;
    return request;
}

bool isAllowedMissingKeyDelete(const NativeDockCommand& command) {
    return command.size() == 4 && command[0] == NativeDockCommands::defaultsPath &&
           command[1] == "delete";
}

std::string asciiLowercase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

}  // namespace

bool runNativeDockCommand(platform::ProcessRunner& runner, const NativeDockCommand& command,
                          bool allowMissingDefaultKey) {
    if (command.empty()) return false;
    // Nothing reads what the write, delete and restart commands print.
    const ProcessResult result = runner.run(requestFor(command, OutputMode::discard));
    if (result.outcome != ProcessResult::Outcome::exited) return false;
    if (result.exitStatus == 0) return true;
    if (!allowMissingDefaultKey || !isAllowedMissingKeyDelete(command)) return false;
    const std::string output =
        isValidUtf8(result.standardError) ? result.standardError : std::string();
    return NativeDockDefaultsErrors::isMissingKey(output, command[2], command[3]);
}

std::optional<std::string> readNativeDockBouncePreference(platform::ProcessRunner& runner) {
    const ProcessResult result =
        runner.run(requestFor(NativeDockCommands::bounceReadCommand(), OutputMode::capture));
    switch (result.outcome) {
        case ProcessResult::Outcome::failedToStart:
            platform::log("Tavrel: cannot read Dock bounce preference: " + result.error);
            return std::nullopt;
        case ProcessResult::Outcome::timedOut:
            platform::log("Tavrel: reading Dock bounce preference timed out");
            return std::nullopt;
        case ProcessResult::Outcome::signalled:
            // A child ended by a signal reports the signal's number as its status.
            platform::log("Tavrel: reading Dock bounce preference failed (" +
                          std::to_string(result.signal) + ")");
            return std::nullopt;
        case ProcessResult::Outcome::exited:
            break;
    }
    if (result.exitStatus != 0) {
        const std::string output = decodeUtf8Lossy(result.standardError);
        if (NativeDockDefaultsErrors::isMissingKey(output, NativeDockCommands::domain,
                                                   NativeDockCommands::bounceKey)) {
            return std::string(NativeDockBounceValue::missing);
        }
        platform::log("Tavrel: reading Dock bounce preference failed (" +
                      std::to_string(result.exitStatus) + ")");
        return std::nullopt;
    }
    if (isValidUtf8(result.standardOutput)) {
        const std::string value = asciiLowercase(trimWhitespaceAndNewlines(result.standardOutput));
        if (value == "1" || value == "true") return std::string(NativeDockBounceValue::trueValue);
        if (value == "0" || value == "false") {
            return std::string(NativeDockBounceValue::falseValue);
        }
    }
    platform::log("Tavrel: unsupported Dock bounce preference value");
    return std::nullopt;
}

bool applyNativeDockHidden(bool hidden, platform::ProcessRunner& runner,
                           const std::filesystem::path& backupURL) {
    std::vector<NativeDockCommand> commands;
    std::optional<std::string> backupValue;
    if (hidden) {
        auto current = readNativeDockBouncePreference(runner);
        if (!current) return false;
        if (!saveNativeDockBouncePreference(*current, backupURL)) return false;
        commands = NativeDockCommands::hideList();
    } else {
        backupValue = loadNativeDockBouncePreference(backupURL);
        if (!backupValue && nativeDockBounceBackupExists(backupURL)) {
            platform::log("Tavrel: cannot restore Dock bouncing: invalid backup");
            return false;
        }
        commands = NativeDockCommands::restoreList(backupValue);
    }

    for (const auto& command : commands) {
        if (!runNativeDockCommand(runner, command, /*allowMissingDefaultKey=*/!hidden)) {
            platform::log("Tavrel: Dock visibility command failed: " +
                          NativeDockCommands::describe(command));
            return false;
        }
        if (NativeDockCommands::isBounceStep(command)) {
            const std::string expected =
                hidden ? std::string(NativeDockBounceValue::trueValue) : *backupValue;
            const auto readBack = readNativeDockBouncePreference(runner);
            if (!readBack || *readBack != expected) {
                platform::log("Tavrel: Dock bounce preference readback failed");
                return false;
            }
        }
    }
    // The backup stays after a hide; a restore counts only once the backup is gone.
    return hidden || clearNativeDockBouncePreference(backupURL);
}

}  // namespace tavrel
