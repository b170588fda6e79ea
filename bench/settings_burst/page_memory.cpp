// Resident memory of the settings window while many rebuilds of its page run within one turn of
// the event loop, as they do when requests are not coalesced: rebuilds asked for from outside
// the page (a notification, the sidebar), which free the page they replace at once, next to
// the same number asked for by the page itself, whose old pages must wait for the next turn.
// Each way runs in a fresh process of its own (offscreen), so neither inherits the other's heap.
//
//   settings_page_memory [--rebuilds N]
//   settings_page_memory --way outside|page --rebuilds N   (one way: prints its three figures)

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include <QApplication>

#include "bench/bench_result.h"
#include "bench/settings_app/bench_window_services.h"
#include "ui/settings/settings_panel_controller.h"

namespace tavrel {
namespace {

long residentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

// The rest of a turn: the retired pages that waited are deleted, what changed is painted.
void finishTurn() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

struct Window final : bench::BenchWindowServices {
    std::unique_ptr<SettingsPanelController> controller;

    Window() {
        addStandardSettingsViews(views);
        TaskbarSettings settings;
        settings.theme = TaskbarTheme::windows;
        controller = std::make_unique<SettingsPanelController>(settings, SettingsWindowCallbacks{},
                                                               *this, views);
        controller->showWindow();
        finishTurn();
    }
    ~Window() override {
        controller->prepareForClose();
        finishTurn();
    }
};

int runOneWay(const std::string& way, int rebuilds, int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Window window;
    // One round first, so what every build shares (fonts, pictures, styles) is loaded before.
    for (int i = 0; i < 2; ++i) window.controller->refreshNativeDockFolderState();
    finishTurn();
    const long before = residentKiB();
    for (int i = 0; i < rebuilds; ++i) {
        if (way == "outside") {
            window.controller->refreshNativeDockFolderState();
        } else {
            // What a row of the page does when its change adds or removes rows.
            window.controller->applyLiveChange(/*rebuild=*/true);
        }
    }
    const long peak = residentKiB();
    finishTurn();
    const long after = residentKiB();
    std::printf("%ld %ld %ld\n", before, peak, after);
    return 0;
}

struct Figures {
    long before = 0;
    long peak = 0;
    long after = 0;
};

bool measure(const char* program, const char* way, int rebuilds, Figures& figures) {
    const std::string command =
        std::string(program) + " --way " + way + " --rebuilds " + std::to_string(rebuilds);
    FILE* child = ::popen(command.c_str(), "r");
    if (!child) return false;
    const int read =
        std::fscanf(child, "%ld %ld %ld", &figures.before, &figures.peak, &figures.after);
    return ::pclose(child) == 0 && read == 3;
}

}  // namespace
}  // namespace tavrel

int main(int argc, char** argv) {
    int rebuilds = 100;
    std::string way;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--rebuilds") rebuilds = std::max(1, std::atoi(argv[i + 1]));
        if (option == "--way") way = argv[i + 1];
    }
    if (!way.empty()) return tavrel::runOneWay(way, rebuilds, argc, argv);

    tavrel::Figures outside;
    tavrel::Figures page;
    if (!tavrel::measure(argv[0], "outside", rebuilds, outside) ||
        !tavrel::measure(argv[0], "page", rebuilds, page)) {
        std::fputs("settings_page_memory: a measuring process failed\n", stderr);
        return 1;
    }
    std::printf(
        "%d rebuilds of the taskbar page in one turn, VmRSS KiB before / at the end of the "
        "turn / after the next turn:\n"
        "  asked for from outside (old page freed at once): %ld / %ld / %ld\n"
        "  asked for by the page (old pages wait for the next turn): %ld / %ld / %ld\n",
        rebuilds, outside.before, outside.peak, outside.after, page.before, page.peak, page.after);
    tavrel::bench::printResult(
        "rebuild burst in one turn: VmRSS growth, freed at once vs. next turn",
        static_cast<double>(outside.peak - outside.before),
        static_cast<double>(page.peak - page.before), "KiB", "-");
    tavrel::bench::printResult(
        "rebuild burst in one turn: VmRSS after the turn / before (at once, next turn)",
        100.0 * outside.after / outside.before, 100.0 * page.after / page.before, "%", "ours<=110");
    return 0;
}
