#!/usr/bin/env bash
# Runs a build tree's end-to-end test program under Wine, naming on its
# command line where that tree keeps what it runs and reads. The bridge and
# adif2msg are those of the build PLOVIK_E2E_PROGRAMS names (the release's,
# as scripts/run-e2e.sh sets it), else this build's.
#   tests/e2e/e2e_tests.sh BUILD_DIR [e2e_tests options]
# Run under xvfb-run, as scripts/run-e2e.sh does.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:?usage: e2e_tests.sh BUILD_DIR [e2e_tests options]}")
shift
programs=$(realpath "${PLOVIK_E2E_PROGRAMS:-$build}")
exec "$root/scripts/wine-run.sh" "$build/tests/e2e/e2e_tests.exe" \
  "--bridge=$programs/shell/plovik_bridge.exe" "--adif2msg=$programs/tools/adif2msg.exe" \
  "--test-bridge=$build/shell/plovik_bridge.exe" \
  "--peers=$build/tools/peers" "--data=$root/tests/data" "$@"
