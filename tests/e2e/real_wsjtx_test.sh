#!/usr/bin/env bash
# End-to-end with real WSJT-X and JTDX: contacts logged through the Log QSO
# windows of WSJT-X, of WSJT-X for a second rig (--rig-name) and of JTDX, all
# three at once, reach the stand-in Logvex through the real bridge under
# Wine, each once, in order within its program, byte for byte. What each
# message must be is worked out from that program's own CSV log (wsjtx.log),
# by the message rules, not by the engine. The programs are Linux programs
# here: they show real appends and the real file formats; share modes are
# not theirs (they stay with wsjtx-peer).
#   tests/e2e/real_wsjtx_test.sh BUILD_DIR
# Run under xvfb-run (Wine's display) with the project's Wine prefix, as
# scripts/run-e2e.sh does; PLOVIK_E2E_PROGRAMS names the build of the bridge.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: real_wsjtx_test.sh BUILD_DIR}" && pwd)
shipped=${PLOVIK_E2E_PROGRAMS:-$build}
export LC_ALL=C

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
for tool in wsjtx jtdx xdotool Xvfb; do
  command -v "$tool" >/dev/null ||
    fail "$tool is missing: this test needs real WSJT-X and JTDX; scripts/setup.sh installs them"
done
[ -n "${DISPLAY:-}" ] || fail "no display for Wine; run under xvfb-run"

# Each program: its real_wsjtx.sh option and its application name, which
# names its data folder. Each has a home of its own, so that all three can
# run at once.
rig=FT991
keys=(wsjtx rig jtdx)
declare -A option=([wsjtx]="" [rig]="--rig-name=$rig" [jtdx]=--jtdx)
declare -A app=([wsjtx]=WSJT-X [rig]="WSJT-X - $rig" [jtdx]=JTDX)
scratch=$build/tests/e2e/run/RealWsjtx
rm -rf "$scratch"
declare -A home data
for key in "${keys[@]}"; do
  home[$key]=$scratch/$key
  data[$key]=${home[$key]}/.local/share/${app[$key]}
  mkdir -p "${data[$key]}"
done
winpath() { echo "Z:${1//\//\\}"; }

# Every contact differs (the bridge skips one identical to one Logvex took).
# Reports below, at and above zero, names, comments, powers, four- and
# six-character grids typed in lower case (JTDX keeps them so in its logs),
# contacts without name, comment or power. No comma: the CSV log does not
# quote one.
cat >"$scratch/wsjtx.txt" <<'EOF'
K1ABC|-15|-12|FN42|Bob|100|tnx fer QSO
ja1xyz|+05|-03|pm95tq|Taro|5|via real WSJT-X 73
G4XYZ|-20|-09|IO91||1500W|
EOF
cat >"$scratch/rig.txt" <<'EOF'
DL2ABC|-08|+02|jo62qm|Hans|50|second rig
VK3XY|+10|-01|QF22||10W|
ZS6ABC|-24|+12|KG46rb|Jan|400|up 2 kHz
EOF
cat >"$scratch/jtdx.txt" <<'EOF'
pa3xyz|-11|-17|jo22ab|Piet|25|via JTDX
W7ABC|-01|+03|dn31|||
OH2XYZ|+00|-05|KP20|Matti|1000W|73 de JTDX
EOF

# shellcheck source=../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
wineserver -k >/dev/null 2>&1 || true
wineserver -p
appdata=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' </dev/null 2>/dev/null | tr -d '\r')")
appdata=${appdata%/}

# The bridge watches each program's own data folder: the prefix's folder of
# that name becomes a link to it, and whatever was there (the other tests
# use the WSJT-X folder) is put back afterwards.
declare -A folder aside=()
restore() {
  local key
  wineserver -k >/dev/null 2>&1 || true
  for key in "${keys[@]}"; do
    if [ -L "${folder[$key]}" ]; then rm "${folder[$key]}"; fi
    if [ -n "${aside[$key]-}" ]; then mv "${aside[$key]}" "${folder[$key]}"; fi
  done
}
for key in "${keys[@]}"; do folder[$key]=$appdata/${app[$key]}; done
trap restore EXIT
for key in "${keys[@]}"; do
  if [ -L "${folder[$key]}" ]; then
    rm "${folder[$key]}"
  elif [ -e "${folder[$key]}" ]; then
    aside[$key]=${folder[$key]}.aside-real-wsjtx
    rm -rf "${aside[$key]}"
    mv "${folder[$key]}" "${aside[$key]}"
  fi
done
link() { ln -s "${data[$1]}" "${folder[$1]}"; }

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
# WSJT-X's and JTDX's folders are there when the bridge starts: its first
# start in each makes the outbox there.
link wsjtx
link jtdx
wine "$shipped/shell/plovik_bridge.exe" </dev/null &
for key in wsjtx jtdx; do
  wait_for "the bridge made no outbox in ${data[$key]}" 200 test -d "${data[$key]}/plovik_bridge_outbox"
done
# The second rig's folder appears while the bridge runs, as when WSJT-X is
# started with a new rig name.
link rig

declare -A pid
for key in "${keys[@]}"; do
  "$root/scripts/real_wsjtx.sh" ${option[$key]:+"${option[$key]}"} "${home[$key]}" "$scratch/$key.txt" &
  pid[$key]=$!
done
status=0
for key in "${keys[@]}"; do
  wait "${pid[$key]}" || { echo "${app[$key]} did not log its contacts" >&2 && status=1; }
done
[ "$status" -eq 0 ] || fail "a real program failed (see above)"

# One message a CSV line: call, RST received, RST sent, frequency in kHz
# (megahertz with three decimals cut, then ".00"), name, mode, grid (four or
# six characters, upper case), (empty), "RSTS s  RSTR r   comment", (empty)
# x3, "RSTS s", "RSTR r", power (four characters at most). CSV fields: dates
# and times on and off, call, grid, MHz, mode, sent, received, power, comment,
# name (WSJT-X ends the line with a comma, JTDX does not).
messages_of() {
  awk -F, '
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
    }' "$1"
}
# expected[KEY]: that program's messages, one a line, in the order logged;
# owner[MESSAGE]: the program that logged it.
declare -A expected owner=()
total=0
for key in "${keys[@]}"; do
  expected[$key]=$(messages_of "${data[$key]}/wsjtx.log") || fail "${app[$key]}'s CSV log is not as expected"
  mapfile -t lines <<<"${expected[$key]}"
  contacts=$(grep -c . "$scratch/$key.txt")
  [ "${#lines[@]}" -eq "$contacts" ] ||
    fail "${app[$key]}'s CSV log holds ${#lines[@]} contacts, not $contacts"
  for message in "${lines[@]}"; do
    [ -z "${owner[$message]-}" ] || fail "two contacts give one message: $message"
    owner[$message]=$key
  done
  total=$((total + contacts))
done

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
# Up to 30 s: on a busy machine the bridge was seen sending one contact a
# tick, all nine may be waiting when the programs end.
for _ in $(seq 300); do
  read_received
  [ "${#got[@]}" -lt "$total" ] || break
  sleep 0.1
done
sleep 2 # two ticks more: a contact sent twice would show
read_received

# Each program's messages as Logvex got them, in the order it got them.
declare -A received=()
for message in "${got[@]}"; do
  key=${owner[$message]-stray}
  received[$key]+=$message$'\n'
done
indent() {
  local line
  while IFS= read -r line; do printf '  %s\n' "$line"; done <<<"${1%$'\n'}" >&2
}
for key in "${keys[@]}"; do
  if [ "${received[$key]-}" != "${expected[$key]}"$'\n' ]; then
    echo "${app[$key]}, expected:" >&2 && indent "${expected[$key]}"
    echo "${app[$key]}, received:" >&2 && indent "${received[$key]-(nothing)}"
    status=1
  fi
done
if [ -n "${received[stray]-}" ]; then
  echo "received, logged by none of them:" >&2 && indent "${received[stray]}"
  status=1
fi
[ "${#got[@]}" -eq "$total" ] || { echo "Logvex received ${#got[@]} messages, not $total" >&2 && status=1; }
[ "$status" -eq 0 ] || fail "what Logvex received differs from what the programs logged"
# What Logvex took, recorded beside each program's log.
for key in "${keys[@]}"; do
  records=$(grep -o '<call:' "${data[$key]}/plovik_bridge_sent.adi" | wc -l) ||
    fail "no record of what Logvex took in ${data[$key]}"
  contacts=$(grep -c . "$scratch/$key.txt")
  [ "$records" -eq "$contacts" ] ||
    fail "${data[$key]}/plovik_bridge_sent.adi records $records contacts, not $contacts"
done
echo "PASS: $total contacts logged through real WSJT-X, WSJT-X for rig $rig and JTDX at once reached Logvex once each, in order within each program, byte for byte"
