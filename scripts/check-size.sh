#!/usr/bin/env bash
# Fails when the stripped x86_64 plovik_bridge.exe of the release build is
# above its limit, 256 KiB: a small download, and a guard against the C++
# stream and locale machinery (a quarter of a megabyte and more) coming in.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=$((256 * 1024))
status=0
for arch in x64 x86; do
  exe=build/release-$arch/shell/plovik_bridge.exe
  [ -f "$exe" ] || { echo "check-size: no $exe; run scripts/release.sh" >&2; exit 1; }
  size=$(stat -c %s "$exe")
  echo "== size: $exe: $size bytes ($((size / 1024)) KiB)"
  if [ "$arch" = x64 ] && [ "$size" -gt "$limit" ]; then
    echo "check-size: $exe is $size bytes, above the limit of $limit" >&2
    status=1
  fi
done
exit $status
