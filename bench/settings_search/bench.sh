#!/bin/sh
# One query over the whole settings search index, next to a plain std::string::find scan of the
# same titles in the same run. Run by scripts/run-bench (private world).
set -eu
"$1/bench/settings_search/bench_settings_search" --benchmark_repetitions=10 \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$HOME/settings_search.json" --benchmark_out_format=json
bench/gbench-result "$HOME/settings_search.json" \
    "settings search, one query over every row" BM_SearchIndex BM_PeerTitleScan 'ours<=1'
