#!/usr/bin/env bash
# Hostile log files through the engine (adif2msg): time and peak memory of
# each read, and a check that the contact at the end comes out whole.
#   bench/hostile.sh [GiB of blank lines, default 2]
# PLOVIK_HOSTILE_NATIVE_ONLY=1 leaves out the run of the bridge under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
gib=${1:-2}
work=${PLOVIK_BENCH_DIR:-/tmp/plovik-bench}/hostile
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

scripts/setup.sh
cmake --preset native >/dev/null
cmake --build build/native -j "$(nproc)" --target adif2msg run_cmd >/dev/null
bin=build/native

header=$'ADIF Export\r\n<adif_ver:5>3.1.1\r\n<programid:6>WSJT-X\r\n<eoh>\r\n'
contact=$'<call:5>K1ABC <mode:3>FT8 <freq:9>14.074000 <eor>\r\n'
expected='K1ABC###14074.00##FT8###RSTS   RSTR    ####RSTS #RSTR ##'
bytes=$((gib * 1024 * 1024 * 1024))

make_file() { # name, then a command that writes the middle part
  local file=$work/$1
  shift
  { printf '%s' "$header"; "$@"; printf '%s' "$contact"; } >"$file"
}
blank_crlf() { yes $'\r' | head -c "$bytes" || true; }
blank_lf() { yes '' | head -c "$bytes" || true; }
blanks() { yes '                              '$'\r' | head -c "$bytes" || true; }
long_line() { head -c $((50 * 1024 * 1024)) /dev/zero | tr '\0' 'x' || true; printf '\r\n'; }
long_call() { printf '<call:10000>%s <eor>\r\n' "$(head -c 10000 /dev/zero | tr '\0' 'k')"; }
odd_bytes() { printf '<call:6>k1\0ab\351 <name:12>J\303\274rgen \377\200\0. <eor>\r\n'; }
nothing() { :; }

printf '  %-34s %10s %10s %12s\n' "file" "size" "time" "peak RSS"
measure() { # name, generator, expected last line of output
  local name=$1 generator=$2 want=$3 file=$work/$1
  make_file "$name" "$generator"
  local size
  size=$(stat -c %s "$file")
  read -r seconds kib < <("$bin/bench/run_cmd" 1 "$bin/tools/adif2msg" "$file")
  local last
  last=$("$bin/tools/adif2msg" "$file" | tail -n 1 | head -c 100)
  [ "$last" = "$want" ] || { echo "hostile: $name: the last contact came out as '$last'" >&2; exit 1; }
  awk -v n="$name" -v s="$size" -v t="$seconds" -v k="$kib" 'BEGIN {
    printf "  %-34s %7.1f MB %8.2f s %9.1f MB\n", n, s / 1048576, t, k / 1024 }'
  rm -f "$file"
}

measure "one contact" nothing "$expected"
measure "$gib GiB of CRLF blank lines" blank_crlf "$expected"
measure "$gib GiB of LF blank lines" blank_lf "$expected"
measure "$gib GiB of lines of 30 blanks" blanks "$expected"
measure "a 50 MB line" long_line "$expected"
measure "a 10 000-character call sign" long_call "$expected"
measure "NUL and bytes above 127" odd_bytes "$expected"

# The same blank lines through the real bridge under Wine, when it can run:
# the read time, and the bridge's peak memory before and after.
if [ "${PLOVIK_HOSTILE_NATIVE_ONLY:-}" != 1 ] && command -v wine >/dev/null &&
  command -v xvfb-run >/dev/null; then
  cmake --preset mingw64 >/dev/null
  cmake --build build/mingw64 -j "$(nproc)" >/dev/null
  echo "== the bridge under Wine: $gib GiB of CRLF blank lines, then one contact"
  PLOVIK_HOSTILE_BLANK_MB=$((gib * 1024)) xvfb-run -a -s "-screen 0 1024x768x24" \
    tests/e2e/e2e_tests.sh build/mingw64 \
    --gtest_filter='Hostile.MassesOfBlankLines*' 2>&1 | grep -a -E 'blank lines read|OK \]|FAILED' |
    sed 's/^/  /'
fi
