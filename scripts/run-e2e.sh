#!/usr/bin/env bash
# The end-to-end tests: builds the Windows programs, then runs the real
# bridge with the test peers under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=wine-build.sh
source scripts/wine-build.sh
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir build/mingw64 -L e2e --no-tests=error --output-on-failure
