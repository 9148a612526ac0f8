#!/usr/bin/env bash
# Starts a program on a virtual display, waits, saves a screenshot of the whole screen.
# Usage: scripts/screenshot.sh OUTPUT.png SECONDS PROGRAM [ARGS...]
set -euo pipefail
out=$1 wait=$2
shift 2
xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
    "$@" & pid=$!
    sleep '"$wait"'
    import -window root '"'$out'"'
    kill $pid 2>/dev/null || true
' _ "$@"
