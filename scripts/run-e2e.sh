#!/usr/bin/env bash
# The end-to-end tests: builds the Windows programs, then runs the real
# bridge with the test peers under Wine on a virtual display. The bridge and
# adif2msg are those of the release build, the programs that ship.
#   scripts/run-e2e.sh        x86_64: every suite
#   scripts/run-e2e.sh x86    i686, through Wine's 32-bit support: a contact
#                             arriving byte for byte, the check box, adif2msg,
#                             the start-up files and the window with its lights
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-x64}" in
x64) export PLOVIK_TESTS_PRESET=mingw64 suites='' ;;
x86) export PLOVIK_TESTS_PRESET=mingw32 suites='^e2e\.(Transfer|Startup|Window)$' ;;
*) echo "usage: scripts/run-e2e.sh [x64|x86]" >&2; exit 64 ;;
esac
release=release-${1:-x64}
# shellcheck source=wine-build.sh
source scripts/wine-build.sh
cmake --preset "$release" >/dev/null
cmake --build "build/$release" -j "$(nproc)" --target plovik_bridge adif2msg
export PLOVIK_E2E_PROGRAMS=$PWD/build/$release
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir "build/$PLOVIK_TESTS_PRESET" -L e2e ${suites:+-R "$suites"} \
  --no-tests=error --output-on-failure
