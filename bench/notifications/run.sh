#!/bin/sh
# Runs the notification latency benchmark in a private session bus.
# Usage: bench/notifications/run.sh [build directory] [runs] [benchmark options...]
#   e.g. bench/notifications/run.sh build/default 3 --count 1000 --interval-us 1000
set -eu
build=${1:-build/default}
runs=${2:-1}
[ $# -ge 1 ] && shift
[ $# -ge 1 ] && shift
bench="$build/bench/notifications/notification_latency_bench"
if [ ! -x "$bench" ]; then
    echo "run.sh: $bench is not built (cmake --build $build --target notification_latency_bench)" >&2
    exit 1
fi
i=1
while [ "$i" -le "$runs" ]; do
    echo "== run $i of $runs"
    dbus-run-session -- "$bench" "$@" 2>&1 | grep -v "Failed to set fd limit" || true
    i=$((i + 1))
done
