#include "apps/new_file_extension/new_file_cli_arguments.h"

#include <cstddef>

namespace tavrel {
namespace {

// Beyond this the command line is not one a person or script meant.
constexpr std::size_t kMaxItems = 4096;

struct Options {
    std::optional<std::string> container;
    std::vector<std::string> items;
    std::optional<std::string> id;
    std::optional<std::string> title;
    std::optional<std::string> bundle;
};

Result<Options> readOptions(const std::string& command, const std::vector<std::string>& arguments,
                            bool targets, bool choice) {
    Options options;
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        const std::string& option = arguments[index];
        const bool known = option == "--bundle" ||
                           (targets && (option == "--container" || option == "--item")) ||
                           (choice && (option == "--id" || option == "--title"));
        if (!known) return Error{command + ": unknown argument \"" + option + "\""};
        if (index + 1 >= arguments.size()) return Error{option + " needs a value"};
        const std::string& value = arguments[++index];
        if (value.empty() && option != "--title") return Error{option + " needs a value"};
        if (option == "--item" && value.starts_with("--")) {
            return Error{"--item needs a path (write one that begins with \"--\" as ./" + value +
                         ")"};
        }
        const auto once = [&](std::optional<std::string>& slot) -> Status {
            if (slot) return Error{option + " is given twice"};
            slot = value;
            return Status::success();
        };
        Status stored = Status::success();
        if (option == "--bundle") {
            stored = once(options.bundle);
        } else if (option == "--container") {
            stored = once(options.container);
        } else if (option == "--id") {
            stored = once(options.id);
        } else if (option == "--title") {
            stored = once(options.title);
        } else {
            // --item takes every path up to the next option: --item A B C, as a file manager
            // hands over a selection.
            for (;;) {
                if (options.items.size() >= kMaxItems) return Error{"too many --item paths"};
                options.items.push_back(arguments[index]);
                if (index + 1 >= arguments.size() || arguments[index + 1].starts_with("--")) {
                    break;
                }
                if (arguments[index + 1].empty()) return Error{"--item paths cannot be empty"};
                ++index;
            }
        }
        if (!stored) return stored.error();
    }
    if (options.container && !options.items.empty()) {
        return Error{"--container and --item exclude each other"};
    }
    return options;
}

FinderSyncTarget targetOf(const Options& options) {
    FinderSyncTarget target;
    if (options.container) target.targetedURL = std::filesystem::path(*options.container);
    for (const std::string& item : options.items) target.selectedItemURLs.emplace_back(item);
    return target;
}

}  // namespace

Result<NewFileCommand> parseNewFileArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return Error{"a command is needed: menu, create or listen"};
    const std::string& command = arguments.front();
    NewFileCommand result;
    if (command == "--help" || command == "-h" || command == "help") {
        if (arguments.size() > 1) return Error{command + " takes no arguments"};
        result.action = NewFileHelpCommand{};
        return result;
    }
    const bool menu = command == "menu";
    const bool create = command == "create";
    const bool listen = command == "listen";
    if (!menu && !create && !listen) return Error{"unknown command \"" + command + "\""};

    auto options = readOptions(command, arguments, menu || create, create);
    if (!options) return options.error();
    if (options->bundle) result.bundle = std::filesystem::path(*options->bundle);
    if (menu) {
        NewFileMenuCommand menuCommand;
        menuCommand.kind = options->items.empty() ? FinderSyncMenuKind::contextualMenuForContainer
                                                  : FinderSyncMenuKind::contextualMenuForItems;
        menuCommand.target = targetOf(*options);
        result.action = std::move(menuCommand);
    } else if (create) {
        if (!options->id && !options->title) return Error{"create needs --id or --title"};
        NewFileCreateCommand createCommand;
        if (options->id) {
            createCommand.item.representedObject = *options->id;
            createCommand.item.identifier = *options->id;
        }
        if (options->title) createCommand.item.title = *options->title;
        createCommand.target = targetOf(*options);
        result.action = std::move(createCommand);
    } else {
        result.action = NewFileListenCommand{};
    }
    return result;
}

std::string newFileUsage() {
    return "usage: tavrel-new-file COMMAND [OPTIONS]\n"
           "\n"
           "The \"新建文件\" menu of the file manager, from the command line. Works on the\n"
           "extension's own copy of the New File settings.\n"
           "\n"
           "  menu [--container DIR | --item PATH...]\n"
           "      Prints the submenu, one line per template: ID, a tab, the title. Prints\n"
           "      nothing when the menu is off or empty.\n"
           "  create [--id ID] [--title TITLE] [--container DIR | --item PATH...]\n"
           "      Creates a file from the template with that id (or title) in the folder the\n"
           "      menu would target (the container; else the first item when it is a folder, or\n"
           "      its folder; else the desktop) and prints its path.\n"
           "  listen\n"
           "      Asks for the settings, then keeps the extension's copy current from the sync\n"
           "      notification; prints \"listening\", then \"refused: REASON\" for a payload\n"
           "      that is not applied and \"applied\" once the latest good one is written\n"
           "      (payloads that arrive together are written once; a write that fails is\n"
           "      \"refused: not written: REASON\"). Ends with status 0 on SIGTERM or SIGINT\n"
           "      and when the session bus goes away.\n"
           "\n"
           "  --item takes every path up to the next option (--item A B); give a path that\n"
           "  begins with \"--\" as ./--name.\n"
           "  --bundle APP   the extension bundle (TavrelNewFileFinderSync.app) to take the\n"
           "                shipped templates from; by default the one beside the program.\n";
}

}  // namespace tavrel
