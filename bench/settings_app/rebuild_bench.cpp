// rebuildContentViewBody() of the taskbar page (sidebar, selector block, theme picture and the
// "外观与位置" form) and of its "图标" tab, laid out, the previous build deleted, the next frame
// painted, each next to a peer built in the same run: a plain Qt widget page with as many rows
// (label, slider, field) in a scroll view, replaced the same way.
//
//   settings_rebuild_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include <memory>

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include "bench/settings_app/bench_window_services.h"
#include "ui/settings/settings_panel_controller.h"

namespace tavrel {
namespace {

QApplication& application() {
    return bench::offscreenApplication("settings_rebuild_bench");
}

using bench::finishFrame;

struct Window final : bench::BenchWindowServices {
    std::unique_ptr<SettingsPanelController> controller;

    explicit Window(Page subpage) {
        application();
        addStandardSettingsViews(views);
        TaskbarSettings settings;
        settings.theme = TaskbarTheme::windows;
        controller = std::make_unique<SettingsPanelController>(settings, SettingsWindowCallbacks{},
                                                               *this, views);
        controller->showWindow();
        finishFrame();
        if (subpage != Page::taskbar) {
            controller->selectSubpage(subpageIndex(subpage));
            finishFrame();
        }
    }
    ~Window() override {
        controller->prepareForClose();
        finishFrame();
    }

    // Rows of the sub-page (the selector block above it counts as none).
    int rows() const { return static_cast<int>(controller->forms().front()->rows().size()); }
};

// The call and everything up to the next painted frame.
void rebuildUntilPainted(benchmark::State& state, Page subpage) {
    Window window(subpage);
    for (auto _ : state) {
        window.controller->rebuildContentViewBody();
        finishFrame();
    }
    state.counters["rows"] = window.rows();
}

void BM_RebuildTaskbarPage(benchmark::State& state) {
    rebuildUntilPainted(state, Page::taskbar);
}
BENCHMARK(BM_RebuildTaskbarPage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_RebuildIconsTab(benchmark::State& state) {
    rebuildUntilPainted(state, Page::icons);
}
BENCHMARK(BM_RebuildIconsTab)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The call alone; deleting the previous build and painting happen outside the timing.
void BM_RebuildTaskbarPageCallOnly(benchmark::State& state) {
    Window window(Page::taskbar);
    for (auto _ : state) {
        window.controller->rebuildContentViewBody();
        state.PauseTiming();
        finishFrame();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RebuildTaskbarPageCallOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The peer: the same number of plain rows.
QWidget* plainPage(int rows) {
    auto* page = new QWidget();
    auto* column = new QVBoxLayout(page);
    for (int i = 0; i < rows; ++i) {
        auto* row = new QWidget(page);
        auto* layout = new QHBoxLayout(row);
        layout->addWidget(new QLabel(QStringLiteral("任务栏厚度"), row));
        auto* slider = new QSlider(Qt::Horizontal, row);
        slider->setRange(0, 10000);
        layout->addWidget(slider);
        layout->addWidget(new QLineEdit(QStringLiteral("48.0"), row));
        column->addWidget(row);
    }
    column->addStretch(1);
    return page;
}

void plainPagePeer(benchmark::State& state, int rows) {
    application();
    QWidget window;
    window.resize(1040, 720);
    auto* scroll = new QScrollArea(&window);
    scroll->setWidgetResizable(true);
    scroll->setGeometry(312, 38, 722, 672);
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        if (QWidget* old = scroll->takeWidget()) old->deleteLater();
        scroll->setWidget(plainPage(rows));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        finishFrame();
    }
    state.counters["rows"] = rows;
}

// As many plain rows as the taskbar page ("外观与位置", Windows theme) and the "图标" tab show.
void BM_PlainWidgetPagePeer(benchmark::State& state) {
    plainPagePeer(state, Window(Page::taskbar).rows());
}
BENCHMARK(BM_PlainWidgetPagePeer)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_PlainWidgetPagePeerForIconsTab(benchmark::State& state) {
    plainPagePeer(state, Window(Page::icons).rows());
}
BENCHMARK(BM_PlainWidgetPagePeerForIconsTab)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace tavrel

BENCHMARK_MAIN();
