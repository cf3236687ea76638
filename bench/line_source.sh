#!/usr/bin/env bash
# Line-source throughput on a generated 200 MB Gaussian log, side by side
# with `wc -l` on the same page-cached file. Goal: at least half of wc -l.
#   bench/line_source.sh [BUILD_DIR]   (a build with -DHARVEX_BENCH=ON)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
log=${HARVEX_BIG_LOG:-/tmp/harvex-big.out}
shared=../shared
if [ ! -f "$log" ]; then
  "$shared/bench/make_big_log.sh" "$shared/testdata/real/gaussian/dvb_gopt.out" 200 "$log" \
    "$shared/testdata/real/gaussian/dvb_ir.out" >/dev/null
fi
cat "$log" >/dev/null   # into the page cache

mb=$(( $(stat -c %s "$log") / 1000000 ))
best_of_three() {
  local best=
  for _ in 1 2 3; do
    local t0 t1 ms
    t0=$(date +%s%N); "$@" >/dev/null; t1=$(date +%s%N)
    ms=$(( (t1 - t0) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}
wc_ms=$(best_of_three wc -l "$log")
ours_ms=$(best_of_three "$build/bench/bench_line_source" "$log")
echo "file: $mb MB"
echo "wc -l:       $wc_ms ms, $(( mb * 1000 / (wc_ms > 0 ? wc_ms : 1) )) MB/s"
echo "line source: $ours_ms ms, $(( mb * 1000 / (ours_ms > 0 ? ours_ms : 1) )) MB/s"
echo "ratio (ours / wc -l throughput): $(awk -v a="$wc_ms" -v b="$ours_ms" 'BEGIN { printf "%.2f", a / b }')"
