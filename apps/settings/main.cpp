// TavrelSettings: the settings window of the Tavrel taskbar. See --help.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QStyleFactory>

#include "apps/settings/settings_application.h"
#include "apps/settings/settings_main.h"
#include "core/notifications/notification_names.h"
#include "core/settings/settings_compatibility_recovery.h"
#include "core/settings_transfer/settings_backups.h"
#include "platform/linux/display_guard.h"
#include "platform/log.h"
#include "platform/notifications.h"
#include "platform/process_identity.h"
#include "platform/single_instance.h"
#include "ui/settings/settings_images.h"
#include "ui/settings/settings_panel_controller.h"

namespace {

void fail(const std::string& message) {
    std::fprintf(stderr, "TavrelSettings: %s\n", message.c_str());
}

// Benchmarks measure start to first shown window: with TAVREL_SETTINGS_EXIT_AFTER_FIRST_PAINT=1
// the program reports the window's first paint on standard output and ends there.
class FirstPaintReporter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            std::printf("first window painted\n");
            std::fflush(stdout);
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool reported_ = false;
};

int secondStart(int argc, char** argv, const std::vector<std::string>& arguments) {
    // No window and no display needed: hand the page over and leave.
    QCoreApplication app(argc, argv);
    auto center = tavrel::platform::makeSessionNotificationCenter();
    if (!center) {
        fail("another instance is running, but it cannot be reached: " + center.error().message);
        return 1;
    }
    if (tavrel::Status posted = (*center)->post(tavrel::settingsReopenNotification(arguments));
        !posted) {
        fail("another instance is running, but it cannot be reached: " + posted.error().message);
        return 1;
    }
    return 0;  // the centre flushes its posts when it goes
}

}  // namespace

int main(int argc, char** argv) {
    tavrel::platform::declareBundleIdentifier(tavrel::BundleIdentifier::settings);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(tavrel::settingsUsage().c_str(), stdout);
            return 0;
        }
    }
    for (const std::string& note : tavrel::unknownArgumentNotes(arguments)) fail(note);

    auto lock = tavrel::platform::SingleInstanceLock::acquire(tavrel::settingsSingleInstanceName);
    if (!lock) {
        fail("cannot take the single-instance lock: " + lock.error().message);
        return 1;
    }
    if (!*lock) return secondStart(argc, argv, arguments);

    if (const auto reason =
            tavrel::missingDisplayReason(std::getenv("QT_QPA_PLATFORM"),
                                         std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY"))) {
        fail(*reason);
        return 1;
    }

    const auto app =
        tavrel::platform::makeGuiApplicationOrExit<QApplication>("TavrelSettings", argc, argv);
    tavrel::installQtTranslations();
    QApplication::setApplicationName(QStringLiteral("TavrelSettings"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tavrel 设置"));
    QApplication::setDesktopFileName(QStringLiteral("com.local.tavrel.settings"));
    QApplication::setQuitOnLastWindowClosed(false);  // the delegate ends the application
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    if (QIcon::themeName().isEmpty()) QIcon::setThemeName(QStringLiteral("Adwaita"));
    if (const QIcon icon = tavrel::settingsResourceIcon("TavrelSettings"); !icon.isNull()) {
        QApplication::setWindowIcon(icon);
    }

    // A load that migrates or moves aside settings.json backs the documents up first.
    tavrel::installSettingsBackupHook(
        std::make_shared<tavrel::SettingsTransferBackupHook>(TAVREL_APP_VERSION, nullptr));

    tavrel::SettingsApplication::Options options;
    options.arguments = arguments;
    auto application = tavrel::SettingsApplication::make(std::move(options));
    if (!application) {
        fail(application.error().message);
        return 1;
    }

    FirstPaintReporter reporter;
    const char* benchmark = std::getenv("TAVREL_SETTINGS_EXIT_AFTER_FIRST_PAINT");
    const bool reportFirstPaint = benchmark && std::string(benchmark) == "1";

    (*application)->start();
    if (reportFirstPaint) {
        if (auto* panel = (*application)->panel()) panel->window()->installEventFilter(&reporter);
    }
    const int status = QApplication::exec();
    application->reset();
    return status;
}
