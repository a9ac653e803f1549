#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test the bridge.
set -euo pipefail
cd "$(dirname "$0")/.."

# wsjtx, jtdx and xdotool: real WSJT-X and JTDX in the demo and an end-to-end
# test, driven through their own windows (scripts/real_wsjtx.sh).
packages=(cmake g++ make libgtest-dev clang mingw-w64 wine wine64 xvfb xauth x11-utils imagemagick
  zip unzip libc6-i386 wsjtx jtdx xdotool)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
# A mirror caught mid-sync fails an index or two for a minute: tried again,
# and what could be read is used all the same.
update() {
  for attempt in 1 2 3; do
    $sudo apt-get update -qq && return 0
    echo "== apt-get update failed (attempt $attempt); trying again"
    sleep 10
  done
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
# npm: the check of the Windows workflow (scripts/check-windows-tests.sh).
# Any node that brings its own npm will do; else Debian's.
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing: ${missing[*]}"
  update
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# 32-bit Windows programs need wine32, and wine32 a kernel that runs 32-bit
# programs. Without one, wine32 would stop Wine altogether: the wine command
# prefers its 32-bit loader once it is there.
# A failed try is not made again for an hour: every script of the suite
# runs this one.
failed_mark=${TMPDIR:-/tmp}/plovik-wine32-failed
if scripts/runs-32bit.sh && ! installed wine32:i386 &&
  ! { [ -f "$failed_mark" ] && [ -n "$(find "$failed_mark" -mmin -60)" ]; }; then
  echo "== installing: wine32 (the i386 architecture added)"
  $sudo dpkg --add-architecture i386
  update
  # Only the i686 end-to-end run needs it, and it says so when it is missing.
  if ! $sudo apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null; then
    echo "== wine32 could not be installed: the i686 end-to-end tests will not run"
    touch "$failed_mark"
  fi
fi
