#!/bin/sh
# Post→receive latency of a notification between two processes, next to a bare QtDBus signal
# hop between the same two processes. Run by scripts/run-bench (private world and bus).
set -eu
"$1/bench/notifications/notification_latency_bench"
