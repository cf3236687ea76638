#!/usr/bin/env bash
# Line-source throughput on a generated 200 MB Gaussian log, side by side
# with `wc -l` on the same page-cached file. Goal: at least half of wc -l.
#   bench/line_source.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build/bench}
ensure_bench_build "$build" bench_line_source
ensure_big_log

wc_ms=$(best_of 3 wc -l "$big_log")
ours_ms=$(best_of 3 "$build/bench/bench_line_source" "$big_log")
echo "file: $big_log_mb MB"
echo "wc -l:       $wc_ms ms, $(throughput "$wc_ms") MB/s"
echo "line source: $ours_ms ms, $(throughput "$ours_ms") MB/s"
echo "ratio (ours / wc -l throughput): $(awk -v a="$wc_ms" -v b="$ours_ms" 'BEGIN { printf "%.2f", a / b }'), goal at least 0.5"
