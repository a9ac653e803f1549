#!/usr/bin/env bash
# The window's scale test at another DPI: the prefix's LogPixels is set,
# Wine restarted to take it, the test run, and 96 DPI put back for the
# other suites, pass or fail.
#   tests/e2e/dpi_test.sh DPI BUILD_DIR [GTEST_FILTER]
# Run under xvfb-run, as scripts/run-e2e.sh does.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
dpi=${1:?usage: dpi_test.sh DPI BUILD_DIR [GTEST_FILTER]}
build=${2:?usage: dpi_test.sh DPI BUILD_DIR [GTEST_FILTER]}
filter=${3:-Window.LightsAndBadgeAreDrawnAtTheScreensScale}

# shellcheck source=../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
trap 'set_dpi 96' EXIT
set_dpi "$dpi"
PLOVIK_E2E_DPI=$dpi "$root/tests/e2e/e2e_tests.sh" "$build" --gtest_filter="$filter"
