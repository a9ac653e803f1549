#!/usr/bin/env bash
# The end-to-end tests: builds the Windows programs, then runs the real
# bridge with the test peers under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
for tool in wine wineserver xvfb-run x86_64-w64-mingw32-g++-posix; do
  command -v "$tool" >/dev/null || { echo "run-e2e: $tool is missing" >&2; exit 1; }
done
cmake --preset mingw64 >/dev/null
cmake --build build/mingw64 -j "$(nproc)"
# shellcheck source=wine-env.sh
source scripts/wine-env.sh # makes the prefix, once
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir build/mingw64 -L e2e --no-tests=error --output-on-failure
