#include "core/native_dock/native_dock_commands.h"

#include <algorithm>

namespace tavrel {
namespace {

NativeDockCommand defaults(std::initializer_list<std::string_view> arguments) {
    NativeDockCommand command{std::string(NativeDockCommands::defaultsPath)};
    for (auto argument : arguments) command.emplace_back(argument);
    return command;
}

NativeDockCommand restartDock() {
    return {std::string(NativeDockCommands::killallPath), "Dock"};
}

constexpr std::string_view kDock = NativeDockCommands::domain;
constexpr std::string_view kBounce = NativeDockCommands::bounceKey;

}  // namespace

std::vector<NativeDockCommand> NativeDockCommands::hideList() {
    return {
        defaults({"write", kDock, "autohide", "-bool", "true"}),
        defaults({"write", kDock, "autohide-delay", "-float", "15"}),
        defaults({"write", kDock, "tilesize", "-int", "15"}),
        defaults({"write", kDock, "orientation", "-string", "bottom"}),
        defaults({"write", kDock, "magnification", "-bool", "false"}),
        defaults({"write", kDock, kBounce, "-bool", "true"}),
        restartDock(),
    };
}

std::vector<NativeDockCommand> NativeDockCommands::restoreList(
    const std::optional<std::string>& backupValue) {
    std::vector<NativeDockCommand> commands{
        defaults({"write", kDock, "autohide", "-bool", "false"}),
        defaults({"delete", kDock, "autohide-delay"}),
        defaults({"delete", kDock, "tilesize"}),
        defaults({"delete", kDock, "largesize"}),
    };
    if (backupValue) {
        if (*backupValue == NativeDockBounceValue::missing) {
            commands.push_back(defaults({"delete", kDock, kBounce}));
        } else {
            commands.push_back(defaults({"write", kDock, kBounce, "-bool", *backupValue}));
        }
    }
    commands.push_back(restartDock());
    return commands;
}

NativeDockCommand NativeDockCommands::bounceReadCommand() {
    return defaults({"read", kDock, kBounce});
}

bool NativeDockCommands::isBounceStep(const NativeDockCommand& command) {
    return std::find(command.begin(), command.end(), kBounce) != command.end();
}

std::string NativeDockCommands::describe(const NativeDockCommand& command) {
    std::string text;
    for (const auto& element : command) {
        if (!text.empty()) text += ' ';
        text += element;
    }
    return text;
}

}  // namespace tavrel
