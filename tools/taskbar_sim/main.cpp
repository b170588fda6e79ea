// tavrel-taskbar-sim: the taskbar application's side of the settings protocol, for tests and
// demos. See --help.

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include <unistd.h>

#include <QCoreApplication>
#include <QMetaObject>

#include "core/settings/tavrel_resources.h"
#include "platform/notifications.h"
#include "platform/process_identity.h"
#include "tools/taskbar_sim/taskbar_sim.h"

namespace {

void printLine(FILE* stream, std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void printUsage(FILE* stream) {
    std::string text =
        "usage: tavrel-taskbar-sim [--screen-recording=true|false] [--accessibility=true|false]\n"
        "       tavrel-taskbar-sim COMMAND [ARGUMENTS]\n"
        "\n"
        "Stands in for the taskbar application on the session bus.\n"
        "\n"
        "Without a command it runs until interrupted: it prints every message the settings\n"
        "application sends to the taskbar (settingsChanged, settingsCommand, settingsWillClose,\n"
        "permissionQuery, the native Dock folder change) as one JSON line on standard output,\n"
        "answers each permission query with its token and the configured grants (default: both\n"
        "granted), and reads commands from standard input, one per line (\"quit\" ends it).\n"
        "With a command it runs that one command and exits.\n"
        "\n"
        "Commands:\n";
    text += tavrel::TaskbarSim::commandHelp();
    text += "\nsettings.json is $XDG_DATA_HOME/Tavrel/settings.json (default ~/.local/share).\n";
    std::fputs(text.c_str(), stream);
}

// Reads standard input on a thread of its own and hands each line to the main thread.
void readCommands(tavrel::TaskbarSim& sim) {
    std::thread([&sim] {
        std::string pending;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            pending.append(buffer, static_cast<std::size_t>(n));
            std::size_t end;
            while ((end = pending.find('\n')) != std::string::npos) {
                std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                QMetaObject::invokeMethod(
                    qApp,
                    [&sim, line] {
                        if (line == "quit") {
                            QCoreApplication::quit();
                            return;
                        }
                        if (tavrel::Status status = sim.execute(line); !status) {
                            printLine(stderr, "tavrel-taskbar-sim: " + status.error().message);
                        }
                    },
                    Qt::QueuedConnection);
            }
        }
    }).detach();
}

}  // namespace

int main(int argc, char** argv) {
    tavrel::platform::declareBundleIdentifier("com.local.tavrel.taskbar-sim");
    tavrel::PermissionGrants grants;
    std::string command;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printUsage(stdout);
            return 0;
        }
        if (arg.starts_with("--screen-recording=") || arg.starts_with("--accessibility=")) {
            const auto value = arg.substr(arg.find('=') + 1);
            if (value != "true" && value != "false") {
                printLine(stderr,
                          "tavrel-taskbar-sim: " + std::string(arg) + ": expected true or false");
                return 2;
            }
            (arg.starts_with("--screen") ? grants.screenRecording : grants.accessibility) =
                value == "true";
            continue;
        }
        if (arg.starts_with("--")) {
            printLine(stderr, "tavrel-taskbar-sim: unknown option " + std::string(arg));
            printUsage(stderr);
            return 2;
        }
        // The rest of the command line is one command.
        for (int j = i; j < argc; ++j) {
            if (j > i) command += ' ';
            command += argv[j];
        }
        break;
    }

    QCoreApplication app(argc, argv);
    // `set` starts a missing document from the shipped defaults, found as tavrel-settings finds
    // them.
    tavrel::TavrelResources::setExecutableDirectory(
        QCoreApplication::applicationDirPath().toStdString());
    auto center = tavrel::platform::makeSessionNotificationCenter();
    if (!center) {
        printLine(stderr, "tavrel-taskbar-sim: " + center.error().message);
        return 1;
    }
    tavrel::TaskbarSim sim(
        **center, grants, [](std::string_view line) { printLine(stdout, line); },
        [](std::string_view line) {
            printLine(stderr, "tavrel-taskbar-sim: " + std::string(line));
        });

    if (!command.empty()) {
        if (tavrel::Status status = sim.execute(command); !status) {
            printLine(stderr, "tavrel-taskbar-sim: " + status.error().message);
            return 2;
        }
        return 0;
    }

    sim.start();
    readCommands(sim);
    return app.exec();
}
