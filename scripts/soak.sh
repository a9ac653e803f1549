#!/usr/bin/env bash
# The long soaks: N contacts (default 200) at WSJT-X's pace, about 2 s each;
# builds first, runs the bridge under Wine on a virtual display and prints
# the figures.
#   scripts/soak.sh [N]          Logvex closes and comes back now and then
#   scripts/soak.sh --kill [N]   the bridge is also killed hard about every
#                                3 s and started again, at times while
#                                Logvex hangs (scripts/kill_soak.sh)
# PLOVIK_SOAK_SEED picks another schedule.
set -euo pipefail
cd "$(dirname "$0")/.."
suite=Soak label=soak count_variable=PLOVIK_SOAK_CONTACTS
if [ "${1:-}" = --kill ]; then
  suite=KillSoak label="kill soak" count_variable=PLOVIK_KILL_SOAK_CONTACTS
  shift
fi
count=${1:-200}
[[ $count =~ ^[1-9][0-9]*$ ]] || { echo "usage: scripts/soak.sh [--kill] [N]" >&2; exit 64; }
# shellcheck source=wine-build.sh
source scripts/wine-build.sh
output=build/mingw64/tests/e2e/$suite-output.txt
echo "== $label: $count contacts, about $((count * 2 / 60 + 1)) minutes"
start=$(date +%s)
status=0
env "$count_variable=$count" xvfb-run -a -s "-screen 0 1024x768x24" \
  tests/e2e/e2e_tests.sh build/mingw64 "--gtest_filter=$suite.*" \
  2>&1 | tee "$output" || status=$?
end=$(date +%s)
figures=$(grep "^$label: " "$output" || true)
echo
if [ -z "$figures" ]; then
  echo "$label: the test gave no figures (see $output)" >&2
  exit 1
fi
echo "$figures" | sed "s/^$label: //; s/, /\n/g"
echo "whole run, build excluded: $((end - start)) s"
if [ "$status" -ne 0 ] || ! grep -q '^\[  PASSED  \] 1 test' "$output"; then
  echo "$label: FAILED (which contacts: above, and in $output)"
  exit 1
fi
echo "$label: passed"
