// Start to first shown window: TavrelSettings next to a bare Qt Widgets window, measured in the
// same run, alternating, from the spawn of the process to its report of the first paint.
//
//   settings_startup_bench [--rounds N]      (run it through scripts/run-bench settings_app)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include "bench/bench_result.h"
#include "bench/settings_app/bench_statistics.h"

namespace {

// Milliseconds from start to the report, or a negative number when it did not come.
double measure(const QString& program, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    const auto start = std::chrono::steady_clock::now();
    process.start(program, {});
    if (!process.waitForStarted(10000)) return -1;
    QByteArray output;
    while (!output.contains("first window painted")) {
        if (!process.waitForReadyRead(20000)) return -1;
        output += process.readAllStandardOutput();
    }
    const auto end = std::chrono::steady_clock::now();
    process.waitForFinished(10000);
    return std::chrono::duration<double, std::milli>(end - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 15;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    QCoreApplication app(argc, argv);
    const QString settings = QStringLiteral(
        TAVREL_BINARY_DIR "/bundles/TavrelSettings.app/Contents/MacOS/TavrelSettings");
    const QString bare =
        QStringLiteral(TAVREL_BINARY_DIR "/bench/settings_app/settings_bare_window");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TAVREL_SETTINGS_EXIT_AFTER_FIRST_PAINT", "1");
    if (!environment.contains("QT_QPA_PLATFORM"))
        environment.insert("QT_QPA_PLATFORM", "offscreen");

    // One start of each first: the settings document is written on the very first start, and
    // the system's caches (fonts, libraries) warm up for both.
    if (measure(settings, environment) < 0 || measure(bare, environment) < 0) {
        std::fprintf(stderr, "settings_startup_bench: a program did not report its first paint\n");
        return 1;
    }
    std::vector<double> settingsTimes;
    std::vector<double> bareTimes;
    for (int round = 0; round < rounds; ++round) {
        const double s = measure(settings, environment);
        const double b = measure(bare, environment);
        if (s < 0 || b < 0) {
            std::fprintf(stderr,
                         "settings_startup_bench: a program did not report its first paint\n");
            return 1;
        }
        settingsTimes.push_back(s);
        bareTimes.push_back(b);
    }
    std::printf("start to first shown window (platform %s), %d rounds each, alternating\n",
                environment.value("QT_QPA_PLATFORM").toUtf8().constData(), rounds);
    tavrel::bench::printRow("TavrelSettings", settingsTimes);
    tavrel::bench::printRow("bare Qt Widgets window (peer)", bareTimes);
    std::printf("ratio of medians: %.2f (target <= 1.5)\n",
                tavrel::bench::median(settingsTimes) / tavrel::bench::median(bareTimes));
    tavrel::bench::printResult("settings window start to first paint, median",
                               tavrel::bench::median(settingsTimes),
                               tavrel::bench::median(bareTimes), "ms", "ratio<=1.5");
    return 0;
}
