// TavrelHelperLauncher: one Dock tile of the taskbar. The taskbar keeps several copies of this
// bundle, each with role keys in its own Info.plist, and starts them; see LauncherDelegate and
// --help.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <pwd.h>
#include <unistd.h>

#include <QApplication>
#include <QString>

#include "core/helper/helper_dock_tile_stored_settings.h"
#include "core/helper/helper_role.h"
#include "core/helper/memory_statistics.h"
#include "core/notifications/notification_names.h"
#include "platform/bundle.h"
#include "platform/clock.h"
#include "platform/dock_tile.h"
#include "platform/linux/dbus_notification_center.h"
#include "platform/linux/display_guard.h"
#include "platform/linux/qt_command_line.h"
#include "platform/log.h"
#include "platform/main_queue.h"
#include "platform/paths.h"
#include "platform/session_bus.h"
#include "ui/helper/launcher_delegate.h"
#include "ui/helper/widget_tile_renderer.h"

namespace {

constexpr char kProgram[] = "TavrelHelperLauncher";

constexpr char kUsage[] =
    "usage: TavrelHelperLauncher [--tavrel-widget-sync]\n"
    "       TavrelHelperLauncher --help\n"
    "\n"
    "One tile of the Tavrel taskbar in the Dock, shown here as a tray icon: the launcher\n"
    "(\"应用启动台\"), one native Dock folder, or a time or memory widget, as the keys\n"
    "TavrelFolderIdentifier and TavrelWidgetIdentifier in this copy's Contents/Info.plist say.\n"
    "The taskbar makes the copies, starts them and ends them with notifications on the D-Bus\n"
    "session bus. A copy quits at once when settings.json hides the native Dock.\n"
    "\n"
    "  --tavrel-widget-sync  put a widget tile in place; without it a widget's start counts\n"
    "                        as a click on its tile\n"
    "  --help                show this text\n"
    "\n"
    "Needs a display (X11 or Wayland) with a tray host and a session bus. Qt's own options\n"
    "(-platform, -style, ...) are taken as by every Qt program.\n";

// The status to end with when the command line already decides it: help, or what the taskbar
// never passes.
std::optional<int> commandLineStatus(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    for (std::size_t index = 0; index < arguments.size();) {
        if (arguments[index] == tavrel::kTavrelWidgetSyncArgument) {
            ++index;
        } else if (const std::size_t taken =
                       tavrel::platform::qtApplicationOptionLength(arguments, index)) {
            index += taken;
        } else {
            const std::string& argument = arguments[index];
            std::fprintf(stderr, "%s: %s '%s'\nTry '%s --help'.\n", kProgram,
                         argument.starts_with('-') ? "unknown option" : "unexpected argument",
                         argument.c_str(), kProgram);
            return 2;
        }
    }
    return std::nullopt;
}

std::string currentUserName() {
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_name) {
        return entry->pw_name;
    }
    const char* user = std::getenv("USER");
    return user ? user : "";
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tavrel;
    if (const auto status = commandLineStatus(argc, argv)) return *status;
    const auto application = platform::makeGuiApplicationOrExit<QApplication>(kProgram, argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QString::fromLatin1(kProgram));

    const std::optional<platform::Bundle> bundle = platform::Bundle::main();
    const InfoStringReader infoString = [bundle](std::string_view key) {
        return bundle ? bundle->infoString(key) : std::nullopt;
    };
    // The tray shows the display name as the tile's tooltip.
    QApplication::setApplicationDisplayName(
        QString::fromStdString(helperTileName(readHelperRole(infoString), infoString)));

    auto made = platform::makeSessionNotificationCenter();
    if (!made) {
        // Without the bus the taskbar could neither place nor end this copy.
        platform::log("TavrelHelperLauncher: " + made.error().message);
        return 1;
    }
    std::unique_ptr<platform::NotificationCenter> center = std::move(made).value();
    // The tray icon talks over the shared connection: it keeps reading through floods too, and
    // the copy ends with the session's bus.
    platform::followSessionBus([] { QCoreApplication::exit(0); });
    std::unique_ptr<platform::MainQueue> queue = platform::makeMainQueue();
    std::unique_ptr<platform::DockTile> tile = platform::makeDockTile();
    std::unique_ptr<platform::DockApplication> dockApplication = platform::makeDockApplication();

    LauncherEnvironment environment{
        *center,
        *queue,
        platform::systemClock(),
        *tile,
        *dockApplication,
        infoString,
        bundle ? bundle->root() : std::filesystem::path(),
        bundle ? bundle->resourcesDirectory() : std::filesystem::path(),
        helperSettingsDocumentPath(),
        currentMemoryUsage,
        WidgetTileRenderer::today,
        AvatarLocations{"/var/lib/AccountsService/icons", currentUserName(),
                        platform::paths::home()},
        [&center] {
            auto& session = static_cast<platform::SessionNotificationCenter&>(*center);
            if (Status synchronized = session.synchronize(); !synchronized) {
                platform::log("TavrelHelperLauncher: " + synchronized.error().message);
            }
        },
    };
    int status = 0;
    {
        LauncherDelegate delegate(environment);
        queue->async([&delegate] { delegate.applicationDidFinishLaunching(); });
        status = QApplication::exec();
        // The loop may also end without terminate() (the session closing the connection to the
        // display, say); quitting still runs its course once.
        dockApplication->terminate();
    }
    // What was posted while quitting must reach the bus before the process is gone.
    (void)static_cast<platform::SessionNotificationCenter&>(*center).flush();
    return status;
}
