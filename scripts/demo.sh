#!/usr/bin/env bash
# The demo: the bridge under Wine hands three contacts, logged through real
# WSJT-X's own Log QSO window, to a stand-in Logvex, and a screenshot is saved.
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

own_display :77 800x500x24
work=$root/build/demo
rm -rf "$work" && mkdir -p "$work" "$root/docs"
winpath() { echo "Z:${1//\//\\}"; }
folder=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')'\WSJT-X'
unix_folder=$(winepath -u "$folder" 2>/dev/null)
# Real WSJT-X, a Linux program, writes into its own home: for the demo's
# length, the folder the bridge watches is a link to that.
wsjtx_home=$work/wsjtx-home
mkdir -p "$wsjtx_home/.local/share/WSJT-X"
aside=""
if [ -L "$unix_folder" ]; then
  rm "$unix_folder"
elif [ -e "$unix_folder" ]; then
  aside=$unix_folder.aside-demo
  rm -rf "$aside"
  mv "$unix_folder" "$aside"
fi
ln -s "$wsjtx_home/.local/share/WSJT-X" "$unix_folder"

pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wineserver -k >/dev/null 2>&1 || true
  rm -f "$unix_folder"
  [ -z "$aside" ] || mv "$aside" "$unix_folder"
  [ -z "$own_xvfb" ] || kill "$own_xvfb" 2>/dev/null || true
}
trap cleanup EXIT
wait_for() { # FILE, up to 20 s
  for _ in $(seq 200); do [ -e "$1" ] && return 0; sleep 0.1; done
  echo "demo: $1 did not appear" >&2
  exit 1
}

echo "== starting a stand-in Logvex and the bridge (watching $folder)"
wine build/mingw64/tools/peers/logvex-peer.exe --out "$(winpath "$work/received.txt")" \
  --ready "$(winpath "$work/logvex-ready")" &
pids+=($!)
wait_for "$work/logvex-ready"
wine build/mingw64/shell/plovik_bridge.exe &
pids+=($!)
wait_for "$unix_folder/plovik_bridge_outbox"
# A Linux program has no Windows window for the bridge's WSJT-X light to
# find: a stand-in window, which logs nothing, lights it.
wine build/mingw64/tools/peers/wsjtx-peer.exe &
pids+=($!)

echo "== real WSJT-X logs three contacts through its Log QSO window"
printf '%s\n' 'K1ABC|-15|-12|FN42|Bob|100|tnx fer QSO' 'G4XYZ|-10|+02|IO91|Jim|50|FT8 test QSO' \
  'JA1XYZ|-08|-11|PM95|Taro|50|' >"$work/contacts.txt"
scripts/real_wsjtx.sh "$wsjtx_home" "$work/contacts.txt"
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
