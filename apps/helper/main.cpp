// TavrelHelperLauncher: one Dock tile of the taskbar. The taskbar keeps several copies of this
// bundle, each with role keys in its own Info.plist, and starts them; see LauncherDelegate.

#include <cstdlib>
#include <memory>
#include <string>

#include <pwd.h>
#include <unistd.h>

#include <QApplication>
#include <QString>

#include "core/helper/helper_dock_tile_stored_settings.h"
#include "core/helper/helper_role.h"
#include "core/helper/memory_statistics.h"
#include "platform/bundle.h"
#include "platform/clock.h"
#include "platform/dock_tile.h"
#include "platform/linux/dbus_notification_center.h"
#include "platform/log.h"
#include "platform/main_queue.h"
#include "platform/paths.h"
#include "ui/helper/launcher_delegate.h"
#include "ui/helper/widget_tile_renderer.h"

namespace {

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
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("TavrelHelperLauncher"));

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
