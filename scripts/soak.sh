#!/usr/bin/env bash
# The long soak: N contacts (default 200) at WSJT-X's pace, about 2 s each,
# while Logvex closes and comes back now and then; builds first, runs the
# bridge under Wine on a virtual display and prints the figures.
#   scripts/soak.sh [N]     PLOVIK_SOAK_SEED picks another schedule
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-200}
[[ $count =~ ^[1-9][0-9]*$ ]] || { echo "usage: scripts/soak.sh [N]" >&2; exit 64; }
# shellcheck source=wine-build.sh
source scripts/wine-build.sh
output=build/mingw64/tests/e2e/soak-output.txt
echo "== soak: $count contacts, about $((count * 2 / 60 + 1)) minutes"
start=$(date +%s)
status=0
PLOVIK_SOAK_CONTACTS=$count xvfb-run -a -s "-screen 0 1024x768x24" \
  scripts/wine-run.sh build/mingw64/tests/e2e/e2e_tests.exe --gtest_filter=Soak.* \
  2>&1 | tee "$output" || status=$?
end=$(date +%s)
figures=$(grep '^soak: ' "$output" || true)
echo
if [ -z "$figures" ]; then
  echo "soak: the test gave no figures (see $output)" >&2
  exit 1
fi
echo "$figures" | sed 's/^soak: //; s/, /\n/g'
echo "whole run, build excluded: $((end - start)) s"
if [ "$status" -ne 0 ] || ! grep -q '^\[  PASSED  \] 1 test' "$output"; then
  echo "soak: FAILED (which contacts: above, and in $output)"
  exit 1
fi
echo "soak: passed"
