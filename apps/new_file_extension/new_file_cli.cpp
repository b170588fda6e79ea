// tavrel-new-file: the file-manager extension's menu and file creation from the command line,
// over the same code as the Nautilus module, acting as the extension (its own settings copy).

#include <csignal>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include <glib-unix.h>
#include <glib.h>

#include "apps/new_file_extension/new_file_cli_arguments.h"
#include "apps/new_file_extension/new_file_extension.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "tavrel-new-file: %s\n", message.c_str());
    if (status == kExitUsage) std::fputs("Run 'tavrel-new-file --help' for usage.\n", stderr);
    return status;
}

bool printLine(const std::string& line) {
    const std::string text = line + "\n";
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
}

// Beside the program in the build tree (bin/ and bundles/) or in an installed tree (bin/ and
// <libdir>/tavrel/), wherever that tree was installed.
std::optional<tavrel::platform::Bundle> defaultBundle() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const auto prefix = executable.parent_path().parent_path();
        for (const auto& candidate :
             {prefix / "bundles" / tavrel::kNewFileExtensionBundleName,
              prefix / TAVREL_INSTALL_LIBDIR / "tavrel" / tavrel::kNewFileExtensionBundleName}) {
            if (auto bundle = tavrel::platform::Bundle::at(candidate)) return bundle;
        }
    }
    return std::nullopt;
}

// Paths in requests and logs are absolute, as the file manager gives them.
void absolutize(tavrel::FinderSyncTarget& target) {
    std::error_code error;
    if (target.targetedURL) {
        target.targetedURL = std::filesystem::absolute(*target.targetedURL, error);
    }
    for (auto& item : target.selectedItemURLs) {
        item = std::filesystem::absolute(item, error);
    }
}

int listen(tavrel::NewFileExtension& extension) {
    auto* center = extension.notificationCenter();
    if (!center) return fail(kExitFailure, extension.notificationError());
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    extension.finderSync().onSettingsSyncApplied = [loop](const tavrel::Status& applied) {
        const bool written =
            printLine(applied ? std::string("applied") : "refused: " + applied.error().message);
        if (!written) g_main_loop_quit(loop);  // nobody reads any more
    };
    extension.finderSync().start();
    if (tavrel::Status ready = center->synchronize(); !ready) {
        g_main_loop_unref(loop);
        return fail(kExitFailure, ready.error().message);
    }
    const auto quit = [](gpointer data) -> gboolean {
        g_main_loop_quit(static_cast<GMainLoop*>(data));
        return G_SOURCE_REMOVE;
    };
    const guint terminate = g_unix_signal_add(SIGTERM, quit, loop);
    const guint interrupt = g_unix_signal_add(SIGINT, quit, loop);
    int status = 0;
    if (!printLine("listening")) {
        status = kExitFailure;
    } else {
        g_main_loop_run(loop);
    }
    g_source_remove(terminate);
    g_source_remove(interrupt);
    g_main_loop_unref(loop);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    auto command = tavrel::parseNewFileArguments(arguments);
    if (!command) return fail(kExitUsage, command.error().message);
    if (std::holds_alternative<tavrel::NewFileHelpCommand>(command->action)) {
        std::fputs(tavrel::newFileUsage().c_str(), stdout);
        return 0;
    }

    std::optional<tavrel::platform::Bundle> bundle;
    if (command->bundle) {
        bundle = tavrel::platform::Bundle::at(*command->bundle);
        if (!bundle) return fail(kExitUsage, "no bundle at \"" + command->bundle->string() + "\"");
    } else {
        bundle = defaultBundle();
        if (!bundle) {
            std::fputs(
                "tavrel-new-file: no extension bundle found; built-in templates are "
                "missing\n",
                stderr);
        }
    }
    // Only creating (a placement request) and listening talk to the bus; the menu stays
    // quiet, so asking for it never starts a bus.
    const bool menuOnly = std::holds_alternative<tavrel::NewFileMenuCommand>(command->action);
    tavrel::NewFileExtension extension(std::move(bundle),
                                       menuOnly ? tavrel::NewFileExtension::Notifications::none
                                                : tavrel::NewFileExtension::Notifications::session);

    if (std::holds_alternative<tavrel::NewFileListenCommand>(command->action)) {
        return listen(extension);
    }
    if (const auto* menu = std::get_if<tavrel::NewFileMenuCommand>(&command->action)) {
        const auto items = extension.finderSync().menu(menu->kind);
        if (!items) return 0;
        for (const tavrel::FinderSyncMenuItem& item : items->items) {
            if (!printLine(item.templateID + "\t" + item.title)) return kExitFailure;
        }
        return 0;
    }

    auto& create = std::get<tavrel::NewFileCreateCommand>(command->action);
    absolutize(create.target);
    if (!extension.notificationCenter()) {
        std::fprintf(stderr, "tavrel-new-file: %s; no placement request is announced\n",
                     extension.notificationError().c_str());
    }
    auto created = extension.finderSync().createFile(create.item, create.target);
    // A placement request posted for the new file must reach the bus before the process ends.
    if (auto* center = extension.notificationCenter()) (void)center->flush();
    if (!created) return fail(kExitFailure, created.error().message);
    return printLine(created->string()) ? 0 : kExitFailure;
}
