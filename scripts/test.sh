#!/usr/bin/env bash
# The whole test suite: engine tests natively and under the sanitizers,
# both Windows cross builds, and the end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
jobs=$(nproc)

for preset in native sanitize; do
  echo "== $preset: build and unit tests"
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" -j "$jobs"
  ctest --test-dir "build/$preset" --output-on-failure -j "$jobs"
done

for preset in mingw64 mingw32; do
  echo "== $preset: Windows build"
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" -j "$jobs"
  scripts/check-dlls.sh "build/$preset"
done

if [ -x scripts/run-e2e.sh ]; then
  echo "== end-to-end tests under Wine"
  scripts/run-e2e.sh
fi
