#!/bin/sh
# The settings application: start to first paint next to a bare Qt Widgets window, rebuilding the
# taskbar page and its 图标 tab each next to a plain Qt page with as many rows, and edit→observer
# latency next to a bare post. Run by scripts/run-bench (private world and bus, offscreen Qt).
set -eu
bench="$1/bench/settings_app"
echo "== start to first shown window"
"$bench/settings_startup_bench" --rounds 15
echo "== rebuildContentViewBody() of the taskbar page and of the 图标 tab"
"$bench/settings_rebuild_bench" --benchmark_repetitions=10 \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$HOME/rebuild.json" --benchmark_out_format=json
bench/gbench-result "$HOME/rebuild.json" \
    "taskbar page rebuild" BM_RebuildTaskbarPage BM_PlainWidgetPagePeer 'ratio<=1.5' \
    "图标 tab rebuild" BM_RebuildIconsTab BM_PlainWidgetPagePeerForIconsTab 'ratio<=1.5'
echo "== edit -> observer"
"$bench/settings_edit_latency_bench" --steps 1000
