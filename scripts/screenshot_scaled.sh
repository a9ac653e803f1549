#!/usr/bin/env bash
# A screenshot of the bridge's window at another scale, for the guide: the
# Wine prefix set to DPI (192 for 200 %), a stand-in Logvex and WSJT-X so
# both lights are green, the bridge, a picture of its window alone; 96 DPI
# is put back afterwards.
#   scripts/screenshot_scaled.sh [DPI] [OUT]   (default: 192 docs/screenshot-200.png)
set -euo pipefail
cd "$(dirname "$0")/.."
dpi=${1:-192}
out=${2:-docs/screenshot-200.png}
cmake --preset mingw64 >/dev/null
cmake --build build/mingw64 -j "$(nproc)" --target plovik_bridge logvex-peer wsjtx-peer >/dev/null
# shellcheck source=wine-env.sh
source scripts/wine-env.sh

# Wide enough that the frame's default size (Wine makes it three quarters of
# the screen) holds the whole form at 200 %.
own_display :78 1600x1000x24
work=$PWD/build/screenshot
rm -rf "$work" && mkdir -p "$work"
cleanup() {
  set_dpi 96
  [ -z "$own_xvfb" ] || kill "$own_xvfb" 2>/dev/null || true
}
trap cleanup EXIT
set_dpi "$dpi"
wineserver -p

wine build/mingw64/tools/peers/logvex-peer.exe --out "Z:${work//\//\\}\\received.txt" \
  --ready "Z:${work//\//\\}\\logvex-ready" </dev/null >/dev/null 2>&1 &
for _ in $(seq 100); do [ -e "$work/logvex-ready" ] && break; sleep 0.1; done
wine build/mingw64/tools/peers/wsjtx-peer.exe </dev/null >/dev/null 2>&1 &
wine build/mingw64/shell/plovik_bridge.exe </dev/null >/dev/null 2>&1 &
title=$(scripts/version.sh --title)
for _ in $(seq 100); do xwininfo -name "$title" >/dev/null 2>&1 && break; sleep 0.1; done
sleep 2 # two ticks: both lights and the status line are up to date
geometry=$(xwininfo -name "$title")
x=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$geometry")
y=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$geometry")
w=$(awk '/Width:/ { print $NF }' <<<"$geometry")
h=$(awk '/Height:/ { print $NF }' <<<"$geometry")
/usr/bin/import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out"
echo "== $out: the bridge at $dpi DPI, ${w}x${h}"
