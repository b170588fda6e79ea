#!/bin/sh
# Change→line latency of the media bridge next to playerctl on the same scripted player, CPU time
# per change and of an idle bridge. Run by scripts/run-bench (private world and bus).
set -eu
"$1/bench/media_bridge/media_bridge_latency" --rounds 300 --idle-seconds 60
