#!/usr/bin/env bash
# The whole test suite: engine tests natively and under the sanitizers,
# both Windows cross builds, the release zips (reproducible, the .exe
# small), and the end-to-end tests under Wine.
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

echo "== the record torn at every byte, read by another program's reader"
scripts/check-torn-record.sh build/native

echo "== fuzz: a short time-boxed pass over each target"
cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j "$jobs"
for target in log_reader set_field; do
  corpus=build/fuzz/corpus-$target
  mkdir -p "$corpus"
  seeds=tests/fuzz/corpus/log
  [ "$target" = set_field ] && seeds=tests/fuzz/corpus/field
  "build/fuzz/tests/fuzz/fuzz_$target" -max_total_time=20 -max_len=4096 "$corpus" "$seeds" 2>&1 | tail -1
done

for preset in mingw64 mingw32; do
  echo "== $preset: Windows build"
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" -j "$jobs"
  scripts/check-dlls.sh "build/$preset"
done

echo "== release: both zips, then once more from a copy of the tree in another folder"
scripts/release.sh
scripts/check-dlls.sh build/release-x64
scripts/check-dlls.sh build/release-x86
scripts/check-reproducible.sh

echo "== the end-to-end suite for Windows: its zips, its workflow, the x64 zip under Wine"
scripts/windows-tests.sh
scripts/check-windows-tests.sh

echo "== end-to-end tests under Wine, x86_64, the release's programs"
scripts/run-e2e.sh x64
if scripts/runs-32bit.sh && dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  echo "== end-to-end tests under Wine, i686, the release's programs"
  scripts/run-e2e.sh x86
else
  echo "== end-to-end tests, i686: NOT RUN: this machine's kernel runs no 32-bit programs, or wine32 could not be installed"
fi

# Last, so that everything else has been seen when it fails.
scripts/check-size.sh
