#include "apps/settings/settings_main.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "core/notifications/notification_names.h"
#include "core/settings_pages/feature_page.h"
#include "platform/linux/qt_command_line.h"

namespace tavrel {

std::string settingsUsage() {
    return "usage: TavrelSettings [--start-menu | --switcher]\n"
           "       TavrelSettings --help\n"
           "\n"
           "Opens the Tavrel settings window (\"Tavrel 设置\"). Only one runs per user: a second\n"
           "start asks the running window to come to the front, on the named page, and exits.\n"
           "\n"
           "  --start-menu   open the launcher page (wins when both switches are given)\n"
           "  --switcher     open the window switcher page\n"
           "  --help         show this text\n"
           "\n"
           "Settings are read from and written to $XDG_DATA_HOME/Tavrel/settings.json (default\n"
           "~/.local/share/Tavrel/settings.json); changes are announced on the D-Bus session bus.\n"
           "Needs a display (X11 or Wayland, or QT_QPA_PLATFORM=offscreen) and a session bus.\n";
}

Notification settingsReopenNotification(const std::vector<std::string>& arguments) {
    Notification notification{
        std::string(TavrelDistributedNotification::settingsReopen), std::nullopt, {}};
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    if (const auto page = launchPageName(views)) {
        notification.userInfo.emplace(std::string(NotificationKey::page), std::string(*page));
    }
    return notification;
}

std::vector<std::string> unknownArgumentNotes(const std::vector<std::string>& arguments) {
    std::vector<std::string> notes;
    for (std::size_t index = 0; index < arguments.size();) {
        const std::string& argument = arguments[index];
        if (argument == SettingsLaunchSwitch::startMenu ||
            argument == SettingsLaunchSwitch::switcher || argument == "--help" ||
            argument == "-h") {
            ++index;
        } else if (const std::size_t taken =
                       platform::qtApplicationOptionLength(arguments, index)) {
            index += taken;
        } else {
            notes.push_back((argument.starts_with('-') ? "ignoring unknown option '"
                                                       : "ignoring unexpected argument '") +
                            argument + "'");
            ++index;
        }
    }
    return notes;
}

bool installQtTranslations() {
    auto* application = QCoreApplication::instance();
    if (!application) return false;
    auto* translator = new QTranslator(application);
    // qtbase holds the standard dialogs, buttons and menus the window uses.
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

std::optional<std::string> missingDisplayReason(const char* qpaPlatform, const char* waylandDisplay,
                                                const char* x11Display) {
    const auto set = [](const char* value) { return value && *value; };
    if (set(qpaPlatform)) {
        const std::string platform(qpaPlatform);
        // Platforms that need no display server (offscreen, vnc, …) are Qt's to judge.
        if (platform.rfind("xcb", 0) == 0 && !set(x11Display)) {
            return "QT_QPA_PLATFORM is xcb but DISPLAY is not set";
        }
        if (platform.rfind("wayland", 0) == 0 && !set(waylandDisplay)) {
            return "QT_QPA_PLATFORM is wayland but WAYLAND_DISPLAY is not set";
        }
        return std::nullopt;
    }
    if (!set(waylandDisplay) && !set(x11Display)) {
        return "no display: neither DISPLAY nor WAYLAND_DISPLAY is set (for a window without a "
               "screen, set QT_QPA_PLATFORM=offscreen)";
    }
    return std::nullopt;
}

}  // namespace tavrel
