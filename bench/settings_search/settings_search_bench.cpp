// One search over every row of every page and tab: the index's query (title and help text,
// ASCII letters folded, title matches first) against a plain std::string::find over the same
// titles, as typed, with the same queries in the same run. Both keep their result buffer between
// queries, as a search field does while the user types.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/settings_search/settings_search_index.h"

namespace {

using namespace tavrel;

// Queries as typed: Chinese that many rows hold, Latin in another case than the rows, a longer
// phrase, and one that matches nothing (the whole scan, no results).
constexpr std::array<std::string_view, 5> kQueries = {"显示", "DOCK", "窗口标题", "颜色", "zzzz"};

const SettingsSearchIndex& index() {
    static const SettingsSearchIndex built = SettingsSearchIndex::build(TaskbarSettings{});
    return built;
}

void BM_SearchIndex(benchmark::State& state) {
    const SettingsSearchIndex& searched = index();
    std::vector<std::size_t> found;
    std::size_t query = 0;
    std::size_t results = 0;
    for (auto _ : state) {
        searched.search(kQueries[query], found);
        results += found.size();
        benchmark::DoNotOptimize(found.data());
        query = (query + 1) % kQueries.size();
    }
    state.counters["rows"] = static_cast<double>(searched.entries().size());
    state.counters["results/query"] =
        benchmark::Counter(static_cast<double>(results), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SearchIndex);

void BM_PeerTitleScan(benchmark::State& state) {
    std::vector<std::string> titles;
    for (const SettingsSearchEntry& entry : index().entries()) titles.push_back(entry.title);
    std::vector<std::size_t> found;
    std::size_t query = 0;
    for (auto _ : state) {
        found.clear();
        const std::string_view text = kQueries[query];
        for (std::size_t i = 0; i < titles.size(); ++i) {
            if (titles[i].find(text) != std::string::npos) found.push_back(i);
        }
        benchmark::DoNotOptimize(found.data());
        query = (query + 1) % kQueries.size();
    }
    state.counters["rows"] = static_cast<double>(titles.size());
}
BENCHMARK(BM_PeerTitleScan);

// Building the index (once per settings window, or after a change of settings), for reference.
void BM_BuildIndex(benchmark::State& state) {
    const TaskbarSettings settings;
    for (auto _ : state) {
        SettingsSearchIndex built = SettingsSearchIndex::build(settings);
        benchmark::DoNotOptimize(built.entries().data());
    }
}
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
