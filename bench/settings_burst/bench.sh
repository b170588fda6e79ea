#!/bin/sh
# The settings window under bursts of 1 000 notifications of each kind it acts on: when it
# answers a request sent after the burst (next to a bare subscriber's hop) and its resident
# memory before, at peak and after settling. Run by scripts/run-bench (private world and bus;
# it starts its own Xvfb).
set -eu
"$1/bench/settings_burst/settings_notification_burst" --count 1000
