// One idle copy of the helper (a memory widget) next to a bare Qt tray program, both on the same
// private X server and session bus, with this program as the tray host:
//   - resident memory (VmRSS) and proportional memory (Pss) of each after they settle;
//   - wake-ups over a window: the context switches of every thread of each process
//     (voluntary_ctxt_switches + nonvoluntary_ctxt_switches in /proc/<pid>/task/<tid>/status),
//     and how often the helper redrew its tile (NewIcon signals of its tray item).
// With --strace FILE the helper's system calls during the window go to FILE (strace -f -tt).
// Run it with scripts/run-bench helper (it needs a private session bus).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "bench/bench_result.h"
#include "tests/helper/tray_test_support.h"
#include "tests/platform_qt/qt_test_support.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

long field(const std::string& text, const std::string& name) {
    const auto at = text.find(name + ":");
    if (at == std::string::npos) return -1;
    return std::strtol(text.c_str() + at + name.size() + 1, nullptr, 10);
}

struct ThreadCount {
    std::string name;
    long switches = 0;
};

std::map<std::string, ThreadCount> threadSwitches(qint64 pid) {
    std::map<std::string, ThreadCount> result;
    const fs::path tasks = fs::path("/proc") / std::to_string(pid) / "task";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(tasks, error)) {
        const std::string status = readAll(entry.path() / "status");
        std::string name = readAll(entry.path() / "comm");
        if (!name.empty() && name.back() == '\n') name.pop_back();
        result[entry.path().filename().string()] = {
            name,
            field(status, "voluntary_ctxt_switches") + field(status, "nonvoluntary_ctxt_switches")};
    }
    return result;
}

long printWakeups(const char* label, const std::map<std::string, ThreadCount>& before,
                  const std::map<std::string, ThreadCount>& after) {
    long total = 0;
    std::printf("%s:\n", label);
    for (const auto& [tid, count] : after) {
        const auto was = before.find(tid);
        const long delta = count.switches - (was == before.end() ? 0 : was->second.switches);
        total += delta;
        std::printf("  thread %-8s %-16s %ld\n", tid.c_str(), count.name.c_str(), delta);
    }
    std::printf("  all threads                %ld\n", total);
    return total;
}

fs::path makeCopy(const fs::path& bundle, const fs::path& directory) {
    const fs::path copy = directory / "MemoryWidget.app";
    fs::copy(bundle, copy, fs::copy_options::recursive);
    const fs::path plist = copy / "Contents" / "Info.plist";
    std::string text = readAll(plist);
    text.insert(text.rfind("</dict>"),
                "\t<key>TavrelWidgetIdentifier</key>\n\t<string>memory</string>\n");
    std::ofstream(plist, std::ios::trunc) << text;
    return copy / "Contents" / "MacOS" / "TavrelHelperLauncher";
}

}  // namespace

int main(int argc, char** argv) {
    double settleSeconds = 5;
    double windowSeconds = 64;
    std::string straceLog;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--settle")
            settleSeconds = std::atof(argv[i + 1]);
        else if (option == "--window")
            windowSeconds = std::atof(argv[i + 1]);
        else if (option == "--strace")
            straceLog = argv[i + 1];
    }
    tavrel::testing::application();
    const fs::path binary = fs::canonical("/proc/self/exe").parent_path();
    const fs::path build = binary.parent_path().parent_path();
    const fs::path bundle = build / "bundles" / "TavrelHelperLauncher.app";
    const fs::path bareTray = binary / "helper_bare_tray";

    tavrel::testing::PrivateDisplay display;
    if (!display.name()) {
        std::fputs("helper_idle_bench: cannot start Xvfb\n", stderr);
        return 1;
    }
    tavrel::testing::TrayHost host;
    if (!host.ok()) {
        std::fputs("helper_idle_bench: no session bus (run it with scripts/run-bench helper)\n",
                   stderr);
        return 1;
    }
    QTemporaryDir directory;
    const fs::path helperExecutable = makeCopy(bundle, directory.path().toStdString());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), *display.name());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcess helper;
    QProcess bare;
    for (QProcess* process : {&helper, &bare}) {
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
    }
    helper.start(QString::fromStdString(helperExecutable.string()),
                 {QStringLiteral("--tavrel-widget-sync")});
    bare.start(QString::fromStdString(bareTray.string()), {});
    if (!tavrel::testing::runUntil([&] { return host.watcher().senders().size() >= 2; }, 60s)) {
        std::fputs("helper_idle_bench: the tray items did not register\n", stderr);
        return 1;
    }
    // Which registration is the helper's: its bus name belongs to its pid.
    QString helperService;
    for (const QString& sender : host.watcher().senders()) {
        const auto pid = QDBusConnection::sessionBus().interface()->servicePid(sender).value();
        if (static_cast<qint64>(pid) == helper.processId()) helperService = sender;
    }
    tavrel::testing::SignalCounter redraws;
    QDBusConnection::sessionBus().connect(helperService, QStringLiteral("/StatusNotifierItem"),
                                          QStringLiteral("org.kde.StatusNotifierItem"),
                                          QStringLiteral("NewIcon"), &redraws, SLOT(onSignal()));

    const auto wait = [](double seconds) {
        tavrel::testing::runUntil([] { return false; },
                                  std::chrono::milliseconds(static_cast<long>(seconds * 1000)));
    };
    wait(settleSeconds);

    // What a tray host fetches for the tile: the sizes Qt offers in IconPixmap (a(iiay)).
    {
        QDBusMessage get = QDBusMessage::createMethodCall(
            helperService, QStringLiteral("/StatusNotifierItem"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("IconPixmap");
        const QDBusMessage reply = QDBusConnection::sessionBus().call(get);
        std::printf("tray picture sizes offered:");
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            const QDBusArgument pixmaps =
                reply.arguments().at(0).value<QDBusVariant>().variant().value<QDBusArgument>();
            pixmaps.beginArray();
            while (!pixmaps.atEnd()) {
                int width = 0;
                int height = 0;
                QByteArray bytes;
                pixmaps.beginStructure();
                pixmaps >> width >> height >> bytes;
                pixmaps.endStructure();
                std::printf(" %dx%d (%lld bytes)", width, height,
                            static_cast<long long>(bytes.size()));
            }
            pixmaps.endArray();
        }
        std::printf("\n");
    }

    auto memory = [](qint64 pid, const char* name) {
        return field(readAll(fs::path("/proc") / std::to_string(pid) /
                             (std::string(name) == "Pss" ? "smaps_rollup" : "status")),
                     name);
    };
    const long helperRss = memory(helper.processId(), "VmRSS");
    const long bareRss = memory(bare.processId(), "VmRSS");
    const long helperPss = memory(helper.processId(), "Pss");
    const long barePss = memory(bare.processId(), "Pss");
    std::printf("resident memory after %.0f s idle (KiB):\n", settleSeconds);
    std::printf("  VmRSS helper %ld, bare tray %ld, ratio %.3f\n", helperRss, bareRss,
                static_cast<double>(helperRss) / static_cast<double>(bareRss));
    std::printf("  Pss   helper %ld, bare tray %ld, ratio %.3f\n", helperPss, barePss,
                static_cast<double>(helperPss) / static_cast<double>(barePss));
    std::fflush(stdout);
    tavrel::bench::printResult("idle helper copy, VmRSS", double(helperRss), double(bareRss), "KiB",
                               "-");
    tavrel::bench::printResult("idle helper copy, Pss", double(helperPss), double(barePss), "KiB",
                               "-");

    const auto helperBefore = threadSwitches(helper.processId());
    const auto bareBefore = threadSwitches(bare.processId());
    const int redrawsBefore = redraws.count;
    // Optionally every system call of the helper's threads during the window, with times.
    QProcess tracer;
    if (!straceLog.empty()) {
        tracer.start(QStringLiteral("strace"),
                     {QStringLiteral("-f"), QStringLiteral("-tt"), QStringLiteral("-o"),
                      QString::fromStdString(straceLog), QStringLiteral("-p"),
                      QString::number(helper.processId())});
        tracer.waitForStarted(5000);
    }
    wait(windowSeconds);
    if (tracer.state() != QProcess::NotRunning) {
        tracer.terminate();
        tracer.waitForFinished(5000);
    }
    std::printf("context switches over %.0f s idle:\n", windowSeconds);
    const long helperWakeups =
        printWakeups("helper (memory widget)", helperBefore, threadSwitches(helper.processId()));
    const long bareWakeups =
        printWakeups("bare tray", bareBefore, threadSwitches(bare.processId()));
    const std::string figure =
        "idle helper copy, context switches in " + std::to_string(int(windowSeconds)) + " s";
    tavrel::bench::printResult(figure.c_str(), double(helperWakeups), double(bareWakeups), "", "-");
    std::printf("helper tile redraws in the window: %d\n", redraws.count - redrawsBefore);

    for (QProcess* process : {&helper, &bare}) {
        process->terminate();
        process->waitForFinished(5000);
    }
    return 0;
}
