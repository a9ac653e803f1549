#!/usr/bin/env bash
# Runs a Windows program of the build under the project's Wine prefix, on
# the current display (the caller provides one, e.g. with xvfb-run).
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
[ -n "${DISPLAY:-}" ] || { echo "wine-run: no display; run under xvfb-run" >&2; exit 1; }
status=0
wine "$@" </dev/null || status=$?
# Wine's helper processes inherit our output; end them so the caller's
# pipe closes when the program has.
wineserver -k >/dev/null 2>&1 || true
exit $status
