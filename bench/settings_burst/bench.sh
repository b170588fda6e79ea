#!/bin/sh
# The settings window under bursts of 1 000 notifications of each kind it acts on: when it
# answers a request sent after the burst (next to a bare subscriber's hop) and its resident
# memory before, at peak and after settling. Run by scripts/run-bench (private world and bus;
# it starts its own Xvfb). Then the memory of many rebuilds within one turn, both ways.
set -eu
"$1/bench/settings_burst/settings_notification_burst" --count 1000
# Many rebuilds in one turn: the page replaced from outside is freed at once, one replaced by
# its own row waits for the next turn.
"$1/bench/settings_burst/settings_page_memory" --rebuilds 100
