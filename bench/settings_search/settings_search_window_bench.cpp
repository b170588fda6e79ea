// A query typed into the settings window's search field: the search, the results shown, laid out
// and painted, up to the next frame. The peer, in the same run: a plain Qt search over the same
// rows, a QLineEdit filtering a QListWidget of every title by hiding the items that do not hold
// the text, painted the same way.
//
//   settings_search_window_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include <array>
#include <memory>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>

#include <benchmark/benchmark.h>

#include "bench/settings_app/bench_window_services.h"
#include "ui/settings/settings_panel_controller.h"

namespace tavrel {
namespace {

QApplication& application() {
    return bench::offscreenApplication("settings_search_window_bench");
}

using bench::finishFrame;

// As typed: a short query many rows hold, Latin in another case, a longer phrase, one that
// matches nothing.
const std::array<QString, 5> kQueries = {QStringLiteral("显示"), QStringLiteral("DOCK"),
                                         QStringLiteral("窗口标题"), QStringLiteral("颜色"),
                                         QStringLiteral("zzzz")};

struct Window final : bench::BenchWindowServices {
    std::unique_ptr<SettingsPanelController> controller;

    Window() {
        application();
        addStandardSettingsViews(views);
        controller = std::make_unique<SettingsPanelController>(
            TaskbarSettings{}, SettingsWindowCallbacks{}, *this, views);
        controller->showWindow();
        finishFrame();
    }
    ~Window() override {
        controller->prepareForClose();
        finishFrame();
    }
};

void BM_WindowSearchQuery(benchmark::State& state) {
    Window window;
    SettingsSearch& search = *window.controller->settingsSearch();
    (void)search.index();  // built when the field gets the focus, before the first key
    std::size_t query = 0;
    for (auto _ : state) {
        search.field()->setText(kQueries[query]);
        finishFrame();
        query = (query + 1) % kQueries.size();
    }
    state.counters["rows"] = static_cast<double>(search.index().entries().size());
}
BENCHMARK(BM_WindowSearchQuery)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_PlainListFilterPeer(benchmark::State& state) {
    Window window;  // the titles of the same rows
    QWidget peer;
    peer.resize(284, 720);
    auto* field = new QLineEdit(&peer);
    field->setGeometry(18, 112, 248, 30);
    auto* list = new QListWidget(&peer);
    list->setGeometry(0, 150, 284, 560);
    for (const SettingsSearchEntry& entry :
         window.controller->settingsSearch()->index().entries()) {
        list->addItem(QString::fromStdString(entry.title) + '\n' +
                      QString::fromStdString(settingsSearchLocationText(entry)));
    }
    QObject::connect(field, &QLineEdit::textChanged, list, [list](const QString& text) {
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            item->setHidden(!item->text().contains(text, Qt::CaseInsensitive));
        }
    });
    peer.show();
    finishFrame();
    std::size_t query = 0;
    for (auto _ : state) {
        field->setText(kQueries[query]);
        finishFrame();
        query = (query + 1) % kQueries.size();
    }
    state.counters["rows"] = list->count();
}
BENCHMARK(BM_PlainListFilterPeer)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
}  // namespace tavrel

BENCHMARK_MAIN();
