#!/usr/bin/env bash
# The demo: the bridge under Wine hands three contacts, logged the way
# WSJT-X logs them, to a stand-in Logvex, and a screenshot is saved.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

echo "== installing what is missing"
scripts/setup.sh
echo "== building the Windows program and the test peers"
cmake --preset mingw64 >/dev/null
cmake --build build/mingw64 -j "$(nproc)" --target plovik_bridge logvex-peer wsjtx-peer >/dev/null
# shellcheck source=wine-env.sh
source scripts/wine-env.sh

xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:77
  Xvfb "$DISPLAY" -screen 0 800x500x24 >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
fi
work=$root/build/demo
rm -rf "$work" && mkdir -p "$work" "$root/docs"
winpath() { echo "Z:${1//\//\\}"; }
folder=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')'\WSJT-X'
unix_folder=$(winepath -u "$folder" 2>/dev/null)
mkdir -p "$unix_folder"
rm -f "$unix_folder/wsjtx_log.adi" "$unix_folder/wsjtx_log_bak.adi"

pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

echo "== starting a stand-in Logvex and the bridge (watching $folder)"
wine build/mingw64/tools/peers/logvex-peer.exe --out "$(winpath "$work/received.txt")" &
pids+=($!)
sleep 1
wine build/mingw64/shell/plovik_bridge.exe &
pids+=($!)
sleep 2

echo "== WSJT-X logs three contacts"
tail -n 2 tests/data/wsjtx/wsjtx-2.6.1-linux-two-contacts.adi > "$work/records.txt"
echo "<call:6>JA1XYZ <gridsquare:4>PM95 <mode:3>FT8 <rst_sent:3>-08 <rst_rcvd:3>-11 <band:3>15m <freq:9>21.074300 <tx_pwr:2>50 <name:4>Taro <eor>" >> "$work/records.txt"
wine build/mingw64/tools/peers/wsjtx-peer.exe --log "$folder\\wsjtx_log.adi" \
  --append "$(winpath "$work/records.txt")" --gap-min-ms 1200 --stay &
pids+=($!)
for _ in $(seq 1 100); do
  n=$(grep -c '^10001 ' "$work/received.txt" 2>/dev/null) || n=0
  [ "$n" -ge 3 ] && break
  sleep 0.1
done
sleep 1
/usr/bin/import -window root "$root/docs/screenshot.png"

echo "== Logvex received:"
grep -A1 '^10001 ' "$work/received.txt" | grep -v '^--$' | paste - - | \
  awk -F'\t' '{ split($1, h, " "); printf "  kind %s, %s bytes: %s\n", h[1], h[2], $2 }'
echo "== screenshot: docs/screenshot.png"
