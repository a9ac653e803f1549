#!/usr/bin/env bash
# End-to-end with real WSJT-X: three contacts logged through its own Log QSO
# window reach the stand-in Logvex through the real bridge under Wine, each
# once, in order, byte for byte. What each message must be is worked out
# from WSJT-X's own CSV log (wsjtx.log), by the message rules, not by the
# engine. WSJT-X is a Linux program here: it shows real appends and the real
# file format; share modes are not its (they stay with wsjtx-peer).
#   tests/e2e/real_wsjtx_test.sh BUILD_DIR
# Run under xvfb-run (Wine's display) with the project's Wine prefix, as
# scripts/run-e2e.sh does; PLOVIK_E2E_PROGRAMS names the build of the bridge.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: real_wsjtx_test.sh BUILD_DIR}" && pwd)
programs=${PLOVIK_E2E_PROGRAMS:-$build}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
for tool in wsjtx xdotool; do
  command -v "$tool" >/dev/null ||
    fail "$tool is missing: this test needs real WSJT-X; scripts/setup.sh installs it"
done
[ -n "${DISPLAY:-}" ] || fail "no display for Wine; run under xvfb-run"

scratch=$build/tests/e2e/run/RealWsjtx
home=$scratch/home
data=$home/.local/share/WSJT-X
rm -rf "$scratch"
mkdir -p "$data"
winpath() { echo "Z:${1//\//\\}"; }

# shellcheck source=../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
wineserver -k >/dev/null 2>&1 || true
wineserver -p
folder=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' </dev/null 2>/dev/null | tr -d '\r')\\WSJT-X")

# The bridge watches WSJT-X's own data folder: the prefix's folder becomes a
# link to it, and the folder the other tests use is put back afterwards.
aside=""
restore() {
  wineserver -k >/dev/null 2>&1 || true
  rm -f "$folder"
  [ -z "$aside" ] || mv "$aside" "$folder"
}
trap restore EXIT
if [ -L "$folder" ]; then
  rm "$folder"
elif [ -e "$folder" ]; then
  aside=$folder.aside-real-wsjtx
  rm -rf "$aside"
  mv "$folder" "$aside"
fi
ln -s "$data" "$folder"

wait_for() { # WHAT TENTHS COMMAND...
  local what=$1 tenths=$2
  shift 2
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  fail "$what"
}
wine "$build/tools/peers/logvex-peer.exe" --out "$(winpath "$scratch/received.txt")" \
  --ready "$(winpath "$scratch/logvex-ready")" </dev/null &
wait_for "the stand-in Logvex did not start" 200 test -e "$scratch/logvex-ready"
wine "$programs/shell/plovik_bridge.exe" </dev/null &
# The bridge's first start in the folder makes its outbox there.
wait_for "the bridge made no outbox in $data" 200 test -d "$data/plovik_bridge_outbox"

# Reports below zero and above, a name, a comment, powers, a lower-case and a
# six-character grid, a contact without name and comment. No comma: the CSV
# log does not quote one.
cat >"$scratch/contacts.txt" <<'EOF'
K1ABC|-15|-12|FN42|Bob|100|tnx fer QSO
ja1xyz|+05|-03|pm95tq|Taro|5|via real WSJT-X 73
G4XYZ|-20|-09|IO91||1500W|
EOF
"$root/scripts/real_wsjtx.sh" "$home" "$scratch/contacts.txt"

# One message a CSV line: call, RST received, RST sent, frequency in kHz
# (megahertz with three decimals cut, then ".00"), name, mode, grid (four or
# six characters, upper case), (empty), "RSTS s  RSTR r   comment", (empty)
# x3, "RSTS s", "RSTR r", power (four characters at most). CSV fields: dates
# and times on and off, call, grid, MHz, mode, sent, received, power, comment,
# name.
export LC_ALL=C
csv=$(awk -F, '
  NF < 13 { print "a line of " NF " fields: " $0 > "/dev/stderr"; exit 1 }
  {
    call = toupper($5); grid = toupper($6); mhz = $7; mode = toupper($8)
    sent = $9; rcvd = $10; power = substr($11, 1, 4); comment = $12; name = $13
    if (length(grid) < 4) grid = ""; else if (length(grid) != 6) grid = substr(grid, 1, 4)
    if (length(sent) > 4) sent = ""
    if (length(rcvd) > 4) rcvd = ""
    dot = index(mhz, ".")
    khz = dot ? substr(mhz, 1, dot - 1) substr(substr(mhz, dot + 1) "000", 1, 3) : mhz "000"
    sub(/^[ \t]+/, "", comment); comment = substr(comment, 1, 50)
    printf "%s#%s#%s#%s.00#%s#%s#%s##RSTS %s  RSTR %s   %s####RSTS %s#RSTR %s#%s#\n",
      call, rcvd, sent, khz, name, mode, grid, sent, rcvd, comment, sent, rcvd, power
  }' "$data/wsjtx.log") || fail "WSJT-X's CSV log is not as expected"
mapfile -t expected <<<"$csv"
[ "${#expected[@]}" -eq 3 ] || fail "WSJT-X's CSV log holds ${#expected[@]} contacts, not 3"

# logvex-peer's record of each message: "kind size time sender", its bytes, "\n".
read_received() {
  local kind size body
  got=()
  [ -f "$scratch/received.txt" ] || return 0
  while read -r kind size _ _; do
    IFS= read -r -N "$size" body || fail "received.txt ends inside a message"
    read -r _
    [ "$kind" = 10001 ] || fail "Logvex received a message of kind $kind"
    got+=("$body")
  done <"$scratch/received.txt"
}
for _ in $(seq 150); do
  read_received
  [ "${#got[@]}" -lt 3 ] || break
  sleep 0.1
done
sleep 2 # two ticks more: a contact sent twice would show
read_received
status=0
for i in "${!expected[@]}"; do
  if [ "${got[$i]-(nothing)}" != "${expected[$i]}" ]; then
    printf 'contact %d\n  expected %s\n  received %s\n' $((i + 1)) "${expected[$i]}" "${got[$i]-(nothing)}" >&2
    status=1
  fi
done
[ "${#got[@]}" -eq 3 ] || { echo "Logvex received ${#got[@]} messages, not 3" >&2 && status=1; }
[ "$status" -eq 0 ] || fail "what Logvex received differs from what WSJT-X logged"
echo "PASS: 3 contacts logged through real WSJT-X reached Logvex once each, in order, byte for byte"
