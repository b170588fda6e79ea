#pragma once

// The command line of tavrel-new-file, the extension's front end for scripts and tests:
//   tavrel-new-file menu   [--container DIR | --item PATH...] [--bundle APP]
//   tavrel-new-file create [--id ID] [--title TITLE] [--container DIR | --item PATH...]
//                          [--bundle APP]
//   tavrel-new-file listen [--bundle APP]
//   tavrel-new-file --help
// --item takes every path up to the next option, and may be given again.

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/foundation/result.h"
#include "core/new_file/finder_sync.h"

namespace tavrel {

struct NewFileHelpCommand {};
struct NewFileMenuCommand {
    FinderSyncMenuKind kind = FinderSyncMenuKind::contextualMenuForContainer;
    FinderSyncTarget target;
};
struct NewFileCreateCommand {
    FinderSyncMenuItemReference item;
    FinderSyncTarget target;
};
struct NewFileListenCommand {};

struct NewFileCommand {
    std::variant<NewFileHelpCommand, NewFileMenuCommand, NewFileCreateCommand, NewFileListenCommand>
        action;
    // The extension bundle to use instead of the one found beside the program.
    std::optional<std::filesystem::path> bundle;
};

// `arguments` excludes the program name. The error says what is wrong in one line.
Result<NewFileCommand> parseNewFileArguments(const std::vector<std::string>& arguments);

std::string newFileUsage();

}  // namespace tavrel
