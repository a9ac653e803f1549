#!/usr/bin/env bash
# Runs every benchmark and prints its figures. Native ones always; the
# Wine ones (latency, idle cost) when the Windows build can run.
#   bench/run.sh [--native-only]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
work=${PLOVIK_BENCH_DIR:-/tmp/plovik-bench}
mkdir -p "$work"

scripts/setup.sh
command -v npm >/dev/null || { echo "bench: npm is needed for the comparison parser" >&2; exit 1; }

cmake --preset native >/dev/null
cmake --build build/native -j "$(nproc)" --target adif2msg gen_wsjtx_log run_cmd outbox_drain sent_record_load >/dev/null
bin=build/native
run() { "$bin/bench/run_cmd" "$@"; }

echo "== read throughput: 100 000 WSJT-X contacts"
log="$work/log-100k.adi"
[ -f "$log" ] || "$bin/bench/gen_wsjtx_log" 100000 "$log"
bytes=$(stat -c %s "$log")
mb=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1048576 }')

(cd bench/node && npm install --silent --no-audit --no-fund >/dev/null)
read -r t_wc _ < <(run 7 wc -l "$log")
read -r t_engine _ < <(run 7 "$bin/tools/adif2msg" "$log")
read -r t_node _ < <(run 3 node bench/node/adif_parse.js "$log")
awk -v mb="$mb" -v wc="$t_wc" -v e="$t_engine" -v n="$t_node" 'BEGIN {
  printf "  file: %s MB\n", mb
  printf "  %-28s %8.3f s %9.1f MB/s\n", "wc -l (the floor)", wc, mb / wc
  printf "  %-28s %8.3f s %9.1f MB/s\n", "engine (adif2msg)", e, mb / e
  printf "  %-28s %8.3f s %9.1f MB/s\n", "adif-parser-ts (Node.js)", n, mb / n
  printf "  engine vs adif-parser-ts: %.1fx faster (goal: at least 10x)\n", n / e
  printf "  engine vs wc -l: %.0f %% of its speed (goal: at least 20 %%)\n", 100 * wc / e
}'

echo "== backlog: 10 000 contacts in one outbox file reach a Logvex that takes each at once"
read -r n t < <("$bin/bench/outbox_drain" "$work/drain" 10000)
awk -v n="$n" -v t="$t" 'BEGIN { printf "  %d contacts: %.2f s, %.0f us a contact (a read, a rename and a folder sync each)\n", n, t, 1e6 * t / n }'

echo "== the record of what Logvex took: 100 000 contacts read at the first send"
read -r n t kib < <("$bin/bench/sent_record_load" "$work/sent" 100000)
awk -v n="$n" -v t="$t" -v k="$kib" 'BEGIN { printf "  %d contacts: read in %.3f s, %d KiB kept\n", n, t, k }'

echo "== memory: peak RSS of adif2msg"
small="$work/log-1M.adi"; large="$work/log-100M.adi"
[ -f "$small" ] || "$bin/bench/gen_wsjtx_log" 1M "$small"
[ -f "$large" ] || "$bin/bench/gen_wsjtx_log" 100M "$large"
read -r _ rss_small < <(run 1 "$bin/tools/adif2msg" "$small")
read -r _ rss_large < <(run 1 "$bin/tools/adif2msg" "$large")
awk -v s="$rss_small" -v l="$rss_large" 'BEGIN {
  printf "  1 MB log: %d KiB, 100 MB log: %d KiB, difference %d KiB (goal: within 2048 KiB)\n", s, l, l - s
}'

if [ "${1:-}" != "--native-only" ] && [ -x bench/wine.sh ]; then
  bench/wine.sh "$work"
fi
