// tavrel-new-file: the file-manager extension's menu and file creation from the command line,
// over the same code as the Nautilus module, acting as the extension (its own settings copy).

#include <csignal>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include <glib-unix.h>
#include <glib.h>
#include <malloc.h>

#include "apps/new_file_extension/new_file_cli_arguments.h"
#include "apps/new_file_extension/new_file_extension.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kLargeBlockBytes = 128 * 1024;
constexpr char kBusClosedMessage[] = "tavrel-new-file: the session bus connection closed\n";

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

// Runs until SIGTERM or SIGINT, until standard output is closed, or until the session bus goes
// away: a listener that can no longer hear the bus is of no use to anyone.
int listen(tavrel::NewFileExtension& extension) {
    auto* center = extension.notificationCenter();
    if (!center) return fail(kExitFailure, extension.notificationError());
    // Payloads are large and come in bursts, each copied a few times on its way in. With a fixed
    // threshold glibc serves such blocks from mappings of their own and unmaps them when freed;
    // its adaptive default would move them into the heap after the first and keep the heap's
    // high-water mark for good.
    mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes);
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    extension.finderSync().onSettingsSyncApplied = [loop](const tavrel::Status& applied) {
        const bool written =
            printLine(applied ? std::string("applied") : "refused: " + applied.error().message);
        if (!written) g_main_loop_quit(loop);  // nobody reads any more
        // What a burst left in the free lists of every arena (the bus thread's too) goes back.
        malloc_trim(0);
    };
    extension.finderSync().start();
    if (tavrel::Status ready = center->synchronize(); !ready) {
        g_main_loop_unref(loop);
        return fail(kExitFailure, ready.error().message);
    }

    // The centre's connection is the process's shared session-bus connection. Left to itself,
    // GDBus raises SIGTERM when it closes; say why instead.
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    gulong closedHandler = 0;
    if (bus) {
        g_dbus_connection_set_exit_on_close(bus, FALSE);
        closedHandler = g_signal_connect(
            bus, "closed", G_CALLBACK(+[](GDBusConnection*, gboolean, GError*, gpointer data) {
                std::fputs(kBusClosedMessage, stderr);
                g_main_loop_quit(static_cast<GMainLoop*>(data));
            }),
            loop);
    }

    // The sources stay until removed below: removing one that already removed itself is an
    // error in GLib's eyes.
    const auto quit = [](gpointer data) -> gboolean {
        g_main_loop_quit(static_cast<GMainLoop*>(data));
        return G_SOURCE_CONTINUE;
    };
    const guint terminate = g_unix_signal_add(SIGTERM, quit, loop);
    const guint interrupt = g_unix_signal_add(SIGINT, quit, loop);
    int status = 0;
    if (!printLine("listening")) {
        status = kExitFailure;
    } else if (bus && g_dbus_connection_is_closed(bus)) {
        // Closed before the loop ran: the "closed" handler would never be dispatched.
        std::fputs(kBusClosedMessage, stderr);
    } else {
        g_main_loop_run(loop);
    }
    g_source_remove(terminate);
    g_source_remove(interrupt);
    if (bus) {
        g_signal_handler_disconnect(bus, closedHandler);
        g_object_unref(bus);
    }
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
