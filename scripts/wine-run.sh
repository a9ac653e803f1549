#!/usr/bin/env bash
# Runs a Windows program of the build under the project's Wine prefix, on
# the current display (the caller provides one, e.g. with xvfb-run).
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
[ -n "${DISPLAY:-}" ] || { echo "wine-run: no display; run under xvfb-run" >&2; exit 1; }
exec wine "$@"
