#!/bin/sh
# The settings document per operation, next to a plain nlohmann::json parse (and dump) of the
# same bytes. Run by scripts/run-bench (private world).
set -eu
"$1/bench/settings/bench_settings" --benchmark_repetitions=10 \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$HOME/settings.json" --benchmark_out_format=json
bench/gbench-result "$HOME/settings.json" \
    "settings.json decode and map" BM_DecodeAndMapFullDocument BM_PeerJsonParse - \
    "settings.json load() from disk" BM_LoadFullDocumentFromDisk BM_PeerJsonParse - \
    "settings.json encode" BM_Encode BM_PeerJsonParseAndDump - \
    "hasSameStoredValues" BM_HasSameStoredValues BM_PeerJsonParse - \
    "save() without fsync" BM_SaveWithoutFsync BM_PeerJsonParseAndDump - \
    "save() with fsync" BM_SaveDurable BM_PeerJsonParseAndDump -
