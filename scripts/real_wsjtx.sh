#!/usr/bin/env bash
# Logs contacts through real WSJT-X or JTDX (Debian's Linux programs), as an
# operator does: the DX Call field, "Log QSO", the fields of the Log QSO
# window, OK. The program runs with HOME as its home, on a virtual display
# of its own, and is ended afterwards.
#   scripts/real_wsjtx.sh [--jtdx | --rig-name NAME] HOME CONTACTS
# CONTACTS has one contact a line, its fields separated by "|":
#   call|report sent|report received|grid|name|power|comment
# (an empty field leaves that box empty; no comma: the CSV log, by which
# each contact is checked, does not quote one). The program writes its ADIF
# log wsjtx_log.adi, and beside it its CSV log wsjtx.log, into
# HOME/.local/share/APP, APP being "WSJT-X", "WSJT-X - NAME" or "JTDX".
set -euo pipefail

die() {
  echo "real_wsjtx: $*" >&2
  exit 1
}

program=wsjtx app=WSJT-X args=()
case "${1:-}" in
--jtdx) program=jtdx app=JTDX && shift ;;
--rig-name) program=wsjtx app="WSJT-X - ${2:?}" args=("--rig-name=$2") && shift 2 ;;
--rig-name=*) program=wsjtx app="WSJT-X - ${1#*=}" args=("$1") && shift ;;
esac
[ $# -eq 2 ] || {
  echo "usage: scripts/real_wsjtx.sh [--jtdx | --rig-name NAME] HOME CONTACTS" >&2
  exit 64
}
home=$(mkdir -p "$1" && cd "$1" && pwd)
contacts=$2
[ -r "$contacts" ] || die "cannot read $contacts"
for tool in "$program" xdotool Xvfb; do
  command -v "$tool" >/dev/null || die "$tool is missing (scripts/setup.sh installs it)"
done

# Where each control is, relative to its window, in the layout of a first
# start (no window manager, so the windows keep Qt's default sizes).
if [ "$program" = jtdx ]; then
  main_title='^JTDX  by HF community'
  dx_call=(311 125) log_button=(294 361)
  fields=(123:124 190:124 253:124 330:124 195:155 202:186) ok=(258 240)
else
  main_title="^$app   v"
  dx_call=(176 507) log_button=(134 395)
  fields=(139:123 202:123 269:123 367:123 217:154 222:185) ok=(305 309)
fi
csv=$home/.local/share/$app/wsjtx.log

# Its own temporary folder too: there the program keeps the lock and shared
# memory by which a second instance of the same name refuses to start.
mkdir -p "$home/tmp/runtime"
chmod 700 "$home/tmp/runtime"
first_start=1
[ -e "$home/.config/$app.ini" ] && first_start=0

# Qt keeps the program's shared memory (the decoder's buffer: 48 MB with
# WSJT-X, 13 MB with JTDX) and its semaphores under System V keys made by
# ftok(file, 'Q') from files in its temporary folder. A program ended by a
# signal leaves them behind: they would hold the memory for good, and a later
# program whose file got the same key could not make its own ("Unable to
# create shared memory segment"). So they are removed once no process has
# them attached; semaphores (no count of users) only after the program ended.
ipc_keys() {
  local file dev ino
  for file in "$home"/tmp/qipc_*; do
    [ -e "$file" ] || continue
    read -r dev ino < <(stat -c '%d %i' "$file" 2>/dev/null) || continue
    printf '0x%08x\n' $(((0x51 << 24) | ((dev & 0xff) << 16) | (ino & 0xffff)))
  done
}
remove_ipc() { # [semaphores]
  local key
  for key in $(ipc_keys); do
    if ipcs -m | awk -v key="$key" '$1 == key && $6 == 0 { found = 1 } END { exit !found }'; then
      ipcrm -M "$key" 2>/dev/null || true
    fi
    [ -z "${1:-}" ] || ipcrm -S "$key" 2>/dev/null || true
  done
}

xvfb_pid="" program_pid=""
stop() {
  # The program and its decoder (jt9) share a process group.
  if [ -n "$program_pid" ]; then
    kill -TERM -- "-$program_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 -- "-$program_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$program_pid" 2>/dev/null || true
    for _ in $(seq 20); do kill -0 -- "-$program_pid" 2>/dev/null || break; sleep 0.1; done
    remove_ipc semaphores
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap stop EXIT

display_file=$home/tmp/display
rm -f "$display_file"
# -noreset: by default Xvfb resets when its last client leaves, and a client
# connecting meanwhile (the program, while xdotool looks for its window) fails.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || die "Xvfb did not start"
DISPLAY=:$(head -n 1 "$display_file")
export DISPLAY

# What a run killed before its end left in this home.
remove_ipc
started=$(date +%s.%N)
HOME=$home TMPDIR=$home/tmp XDG_RUNTIME_DIR=$home/tmp/runtime \
  setsid "$program" "${args[@]}" >"$home/tmp/$program.out" 2>&1 </dev/null &
program_pid=$!

elapsed() { echo "$(date +%s.%N) $1" | awk '{ printf "%.1f s", $1 - $2 }'; }

# wait_for WHAT SECONDS COMMAND...: until COMMAND succeeds.
wait_for() {
  local what=$1 tenths=$(($2 * 10))
  shift 2
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    kill -0 "$program_pid" 2>/dev/null || die "$program ended while waiting for $what (see $home/tmp/$program.out)"
    sleep 0.1
  done
  die "waited $((tenths / 10)) s in vain for $what"
}
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(visible "$1")" ]; }
# Its splash window has no WM_NAME, which is what --name searches: it is
# found by class and told by its title.
splash() {
  local w
  for w in $(xdotool search --onlyvisible --classname "$program" 2>/dev/null); do
    [ "$(xdotool getwindowname "$w")" = "$app" ] && echo "$w" && return 0
  done
  return 1
}
# Without a window manager the window mapped last is on top, whatever it
# asks for: each window is raised before it is clicked.
click() { xdotool windowraise "$1" mousemove --window "$1" "$2" "$3" click 1; }
# A click that comes while the splash is still being set up is lost: again
# until it has gone.
dismiss_splash() {
  local w
  w=$(splash) || return 0
  click "$w" 100 100
  sleep 0.3
  ! splash >/dev/null
}

wait_for "the $app main window" 60 has_window "$main_title"
main=$(visible "$main_title")
echo "real_wsjtx: $app is up after $(elapsed "$started") (display $DISPLAY)"
if [ "$program" = wsjtx ] && [ "$first_start" = 1 ]; then
  wait_for "the $app splash window" 15 splash >/dev/null
  wait_for "the splash window to close" 10 dismiss_splash
fi

# Replaces a box's text; "--" so that a report like -15 is not an option.
fill() {
  click "$1" "$2" "$3"
  xdotool key ctrl+a BackSpace
  [ -z "$4" ] || xdotool type --delay 5 -- "$4"
}
logged() { [ -f "$csv" ] && wc -l <"$csv" || echo 0; }
logged_more() { [ "$(logged)" -gt "$before" ]; }
no_log_window() { ! has_window 'Log QSO$'; }

count=0
while IFS='|' read -r call sent rcvd grid name power comment || [ -n "$call" ]; do
  [ -n "$call" ] || continue
  before=$(logged)
  fill "$main" "${dx_call[@]}" "$call"
  click "$main" "${log_button[@]}"
  wait_for "the Log QSO window" 15 has_window 'Log QSO$'
  dialog=$(visible 'Log QSO$')
  values=("$sent" "$rcvd" "$grid" "$name" "$power" "$comment")
  for i in "${!values[@]}"; do
    fill "$dialog" "${fields[$i]%:*}" "${fields[$i]#*:}" "${values[$i]}"
  done
  ok_at=$(date +%s.%N)
  click "$dialog" "${ok[@]}"
  wait_for "$call in $csv" 15 logged_more
  line=$(tail -n 1 "$csv")
  # What the fields were meant to hold, in the order of its CSV line. WSJT-X
  # upper-cases the call and grid as they are typed, JTDX only the call.
  IFS=, read -r _ _ _ _ got_call got_grid _ _ got_sent got_rcvd got_power got_comment got_name _ <<<"$line"
  [ "${got_call^^},${got_grid^^},$got_sent,$got_rcvd,$got_power,$got_comment,$got_name" = \
    "${call^^},${grid^^},$sent,$rcvd,$power,$comment,$name" ] ||
    die "$app logged \"$line\"; a field of the Log QSO window took another value than $call, $sent, $rcvd, $grid, $name, $power, $comment"
  count=$((count + 1))
  echo "real_wsjtx: $app logged $call, in its CSV log $(elapsed "$ok_at") after OK"
  wait_for "the Log QSO window to close" 10 no_log_window
done <"$contacts"
echo "real_wsjtx: $count contacts logged through $app in $(elapsed "$started")"
