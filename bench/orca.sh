#!/usr/bin/env bash
# ORCA reader throughput on a generated 200 MB optimisation + frequency
# output, side by side with `grep -c -F` given the reader's marker texts on
# the same page-cached file, and with the Gaussian reader on the Gaussian
# benchmark log. Goal: per MB, the ORCA reader is at least as fast as the
# Gaussian one.
#   bench/orca.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build/bench}
ensure_bench_build "$build" bench_load_output bench_marker_filter
ensure_big_log
ensure_big_orca_log

mapfile -t markers < <("$build/bench/bench_marker_filter" --markers orca)
grep_ms=$(grep_markers_ms "$big_orca_log" "${markers[@]}")
orca_ms=$(best_of 5 "$build/bench/bench_load_output" "$big_orca_log")
orca_result=$(tail -n 1 "$bench_scratch/out" | cut -d';' -f1)
gaussian_ms=$(best_of 5 "$build/bench/bench_load_output" "$big_log")
orca_rate=$(throughput "$orca_ms" "$big_orca_log_mb")
gaussian_rate=$(throughput "$gaussian_ms" "$big_log_mb")
echo "file: $big_orca_log_mb MB, ${#markers[@]} markers"
echo "grep -c -F:      $grep_ms ms, $(throughput "$grep_ms" "$big_orca_log_mb") MB/s"
echo "orca reader:     $orca_ms ms, $orca_rate MB/s ($orca_result)"
echo "gaussian reader: $gaussian_ms ms, $gaussian_rate MB/s on the $big_log_mb MB Gaussian log"
echo "rate ratio (orca / gaussian): $(awk -v a="$orca_rate" -v b="$gaussian_rate" 'BEGIN { printf "%.2f", a / b }'), goal at least 1"
