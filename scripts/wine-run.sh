#!/usr/bin/env bash
# Runs a Windows program of the build under the project's Wine prefix, on
# the current display (the caller provides one, e.g. with xvfb-run).
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
[ -n "${DISPLAY:-}" ] || { echo "wine-run: no display; run under xvfb-run" >&2; exit 1; }
# Wine's desktop stays bound to the display it started on: end a server
# left from another display, and start ours here. Kept alive (-p), it makes
# each program start in ~50 ms. Its helpers get null stdio, or they would
# hold the caller's output pipe open.
wineserver -k >/dev/null 2>&1 || true
wineserver -p
wine cmd.exe /c exit </dev/null >/dev/null 2>&1
status=0
wine "$@" </dev/null || status=$?
wineserver -k >/dev/null 2>&1 || true
exit "$status"
