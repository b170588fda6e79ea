#!/bin/sh
# The Dock tile helper: one idle memory-widget copy next to a bare Qt tray program (memory,
# wake-ups; on a private Xvfb of its own), then drawing the tiles next to a bare canvas. Run by
# scripts/run-bench (private world and bus).
set -eu
build=$1
"$build/bench/helper/helper_idle_bench" --settle 5 --window 64
"$build/bench/helper/helper_render_bench" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$HOME/render.json" --benchmark_out_format=json
bench/gbench-result "$HOME/render.json" \
    "memory tile 512 pt" BM_MemoryTile512 BM_PeerBareCanvas512 - \
    "time tile 512 pt" BM_TimeTile512 BM_PeerBareCanvas512 - \
    "memory tile 512 pt into the Dock picture" BM_MemoryTile512IntoDockPicture \
        BM_PeerBareCanvas512 - \
    "launcher tile with avatar" BM_LauncherTileWithAvatar BM_PeerBareCanvas512 -
