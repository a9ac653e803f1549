#!/usr/bin/env bash
# Runs a Windows program of the build under the project's Wine prefix, on
# the current display (the caller provides one, e.g. with xvfb-run).
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
[ -n "${DISPLAY:-}" ] || { echo "wine-run: no display; run under xvfb-run" >&2; exit 1; }
# The program's output goes through a file: Wine's helper processes (the
# desktop, the services) inherit its handles and outlive it, and a pipe
# they hold would keep ctest waiting after the program has ended.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
wine "$@" </dev/null >"$out" 2>&1 || status=$?
cat "$out"
exit $status
