#!/usr/bin/env bash
# The end-to-end suite for a Windows machine: for each architecture a zip,
# beside the release's in dist/ (or the folder given), holding the test
# program, the release's programs, the test peers, the sample logs and
# run-tests.cmd. Unpacked anywhere, `run-tests.cmd [GTEST_FILTER]` runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=zip-lib.sh
source scripts/zip-lib.sh
start_zips "${1:-dist}"
rm -f "$out"/plovik-bridge-*-windows-x??-tests.zip
stage=build/tests-stage
rm -rf "$stage"
for arch in x64 x86; do
  tests=mingw64
  [ "$arch" = x86 ] && tests=mingw32
  echo "== windows tests: $arch"
  # The programs as the release builds them; the tests from the build that
  # has GoogleTest (the posix thread model).
  cmake --preset "release-$arch" >/dev/null
  cmake --build "build/release-$arch" -j "$(nproc)" --target plovik_bridge adif2msg >/dev/null
  cmake --preset "$tests" >/dev/null
  cmake --build "build/$tests" -j "$(nproc)" --target e2e_tests logvex-peer wsjtx-peer fail-fast-probe >/dev/null
  scripts/check-dlls.sh "build/$tests" >/dev/null
  dir=$stage/$arch
  mkdir -p "$dir/data/wsjtx"
  cp "build/release-$arch/shell/plovik_bridge.exe" "build/release-$arch/tools/adif2msg.exe" \
    "build/$tests/tests/e2e/e2e_tests.exe" "build/$tests/tools/peers/logvex-peer.exe" \
    "build/$tests/tools/peers/wsjtx-peer.exe" "build/$tests/tools/peers/fail-fast-probe.exe" "$dir/"
  cp tests/data/wsjtx/*.adi "$dir/data/wsjtx/"
  sed 's/$/\r/' tests/e2e/run-tests.cmd >"$dir/run-tests.cmd"
  samples=$(cd "$dir" && LC_ALL=C ls data/wsjtx/*.adi)
  # shellcheck disable=SC2086 # the sample names hold no blanks
  zip_folder "$dir" "$out/plovik-bridge-$version-windows-$arch-tests.zip" run-tests.cmd \
    e2e_tests.exe plovik_bridge.exe adif2msg.exe logvex-peer.exe wsjtx-peer.exe fail-fast-probe.exe $samples
done
echo "== windows tests: $out"
ls -l "$out"/plovik-bridge-"$version"-windows-x??-tests.zip
