// Fuzzes tavrel-new-file's command line: NUL-separated arguments either fail with a message or
// give a command whose parts are what was asked for.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "apps/new_file_extension/new_file_cli_arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back().push_back(static_cast<char>(data[i]));
        }
    }
    auto command = parseNewFileArguments(arguments);
    if (!command) {
        if (command.error().message.empty()) std::abort();
        return 0;
    }
    if (const auto* create = std::get_if<NewFileCreateCommand>(&command->action)) {
        if (!create->item.representedObject && create->item.title.empty() &&
            create->item.identifier.empty()) {
            // --title "" alone is allowed and matches nothing; anything else names a template.
            bool emptyTitle = false;
            for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
                if (arguments[i] == "--title" && arguments[i + 1].empty()) emptyTitle = true;
            }
            if (!emptyTitle) std::abort();
        }
        if (create->target.targetedURL && !create->target.selectedItemURLs.empty()) std::abort();
    }
    if (const auto* menu = std::get_if<NewFileMenuCommand>(&command->action)) {
        const bool items = !menu->target.selectedItemURLs.empty();
        if (items != (menu->kind == FinderSyncMenuKind::contextualMenuForItems)) std::abort();
    }
    return 0;
}
