// Drawing the Dock tiles, next to a peer in the same run: a bare canvas of the same size that
// is cleared and gets one antialiased rounded rectangle, the least any tile picture costs.
// Run: helper_render_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include "core/helper/launcher_tile_layout.h"
#include "core/helper/widget_tile_geometry.h"
#include "ui/helper/launcher_tile_renderer.h"
#include "ui/helper/widget_tile_renderer.h"

namespace {

using namespace tavrel;

const CalendarComponents kDate{1, 2025, 3, 9, 1};

void BM_PeerBareCanvas512(benchmark::State& state) {
    for (auto _ : state) {
        QImage image(1024, 1024, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(QRectF(45.88, 45.88, 420.24, 420.24), 105, 105);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_MemoryTile512(benchmark::State& state) {
    int percentage = 0;
    for (auto _ : state) {
        // A new percentage each time, as a tick that redraws has.
        QImage image = WidgetTileRenderer::tileImage(TavrelWidgetKind::memory, 512, 1,
                                                     percentage++ % 101, kDate);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_TimeTile512(benchmark::State& state) {
    for (auto _ : state) {
        QImage image = WidgetTileRenderer::tileImage(TavrelWidgetKind::time, 512, 1, 0, kDate);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// What a redraw of the running helper does: draw straight into the Dock tile picture.
void BM_MemoryTile512IntoDockPicture(benchmark::State& state) {
    int percentage = 0;
    for (auto _ : state) {
        const platform::DockTileImage image = WidgetTileRenderer::tileDockImage(
            TavrelWidgetKind::memory, 512, 1, percentage++ % 101, kDate);
        benchmark::DoNotOptimize(image.pixels().data());
    }
}

void BM_LauncherTileWithAvatar(benchmark::State& state) {
    QImage avatar(512, 512, QImage::Format_ARGB32_Premultiplied);
    avatar.fill(QColor(40, 90, 200));
    const LauncherTileContent content{true, {1, 1, 1, 1}, 2};
    for (auto _ : state) {
        QImage image = LauncherTileRenderer::tileImage(content, avatar, QImage());
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK(BM_PeerBareCanvas512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryTile512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeTile512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryTile512IntoDockPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LauncherTileWithAvatar)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
