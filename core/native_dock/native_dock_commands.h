#pragma once

// The commands that hide and restore the native Dock, as data. They name the macOS programs;
// the process layer maps those paths to this platform's stand-ins.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel {

// Element 0 is the executable's absolute path, the rest its arguments in order.
using NativeDockCommand = std::vector<std::string>;

// The bounce preference as it is backed up: "true", "false", or "missing" when the Dock has no
// "no-bouncing" key (its default behaviour).
struct NativeDockBounceValue {
    static constexpr std::string_view trueValue = "true";
    static constexpr std::string_view falseValue = "false";
    static constexpr std::string_view missing = "missing";

    static bool isValid(std::string_view value) {
        return value == trueValue || value == falseValue || value == missing;
    }
};

struct NativeDockCommands {
    static constexpr std::string_view defaultsPath = "/usr/bin/defaults";
    static constexpr std::string_view killallPath = "/usr/bin/killall";
    static constexpr std::string_view domain = "com.apple.dock";
    static constexpr std::string_view bounceKey = "no-bouncing";

    // Auto-hide after 15 s, smallest tiles, bottom edge, no magnification, no bouncing, restart.
    static std::vector<NativeDockCommand> hideList();

    // Undo the auto-hide, delay and sizes (orientation and magnification stay as hiding set
    // them), put the bounce preference back when a backup value is given, restart.
    static std::vector<NativeDockCommand> restoreList(
        const std::optional<std::string>& backupValue);

    // `defaults read com.apple.dock no-bouncing`
    static NativeDockCommand bounceReadCommand();

    // True for the step that sets or deletes the bounce preference.
    static bool isBounceStep(const NativeDockCommand& command);

    // The command's elements joined by single spaces, for the log.
    static std::string describe(const NativeDockCommand& command);
};

}  // namespace tavrel
