#!/usr/bin/env bash
# The release: both Windows architectures built from scratch, each zipped
# with the operator's guide and the licence, plus SHA256SUMS, into dist/
# (or the folder given). Any clone of the same commit gives the same bytes:
# the builds carry no time stamp and no path, and the zips are made as
# zip-lib.sh makes them.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=zip-lib.sh
source scripts/zip-lib.sh
start_zips "${1:-dist}"
rm -f "$out"/plovik-bridge-*-windows-x??.zip "$out/SHA256SUMS"
stage=build/release-stage
rm -rf "$stage"
for arch in x64 x86; do
  build=build/release-$arch
  echo "== release: windows-$arch"
  rm -rf "$build"
  cmake --preset "release-$arch" >/dev/null
  cmake --build "$build" -j "$(nproc)" --target plovik_bridge adif2msg >/dev/null
  dir=$stage/$arch
  mkdir -p "$dir"
  cp "$build/shell/plovik_bridge.exe" "$build/tools/adif2msg.exe" "$dir/"
  # Text with Windows line ends, for Notepad; the guide's picture stays out.
  grep -v '^!\[' docs/guide.md | sed 's/$/\r/' >"$dir/guide.txt"
  sed 's/$/\r/' LICENSE >"$dir/LICENSE.txt"
  zip_folder "$dir" "$out/plovik-bridge-$version-windows-$arch.zip" \
    plovik_bridge.exe adif2msg.exe guide.txt LICENSE.txt
done
(cd "$out" && sha256sum plovik-bridge-"$version"-windows-x64.zip \
  plovik-bridge-"$version"-windows-x86.zip >SHA256SUMS)
echo "== release: $out"
cat "$out/SHA256SUMS"
