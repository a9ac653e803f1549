#!/usr/bin/env bash
# The end-to-end tests: the real bridge under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset mingw64 >/dev/null
cmake --build build/mingw64 -j "$(nproc)"
# shellcheck source=wine-env.sh
source scripts/wine-env.sh
status=0
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir build/mingw64 -L e2e --output-on-failure || status=$?
wineserver -k >/dev/null 2>&1 || true
exit $status
