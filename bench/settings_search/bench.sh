#!/bin/sh
# One query over the whole settings search index, next to a plain std::string::find scan of the
# same titles in the same run; and a query typed into the window's field until painted, next to a
# plain Qt list filter. Run by scripts/run-bench (private world, offscreen Qt).
set -eu
"$1/bench/settings_search/bench_settings_search" --benchmark_repetitions=10 \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$HOME/settings_search.json" --benchmark_out_format=json
bench/gbench-result "$HOME/settings_search.json" \
    "settings search, one query over every row" BM_SearchIndex BM_PeerTitleScan 'ours<=1'
# A query typed into the window's field up to the painted frame, next to a plain QLineEdit
# filtering a QListWidget of the same rows.
"$1/bench/settings_search/settings_search_window_bench" --benchmark_repetitions=10 \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$HOME/settings_search_window.json" --benchmark_out_format=json
bench/gbench-result "$HOME/settings_search_window.json" \
    "settings window, a query typed until painted" BM_WindowSearchQuery BM_PlainListFilterPeer \
    'ratio<=1.5'
