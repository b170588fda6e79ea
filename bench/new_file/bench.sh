#!/bin/sh
# tavrel-new-file listen under a burst of 420 MB of sync payloads, next to a bare GDBus
# subscriber. Run by scripts/run-bench (private world and bus).
set -eu
"$1/bench/new_file/new_file_listen_burst" --megabytes 420 --payload-kib 1024
