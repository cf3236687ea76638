#!/usr/bin/env bash
# Gaussian reader throughput on a generated 200 MB optimisation + frequency
# log, side by side with `wc -l` and with `grep -c -F` given the reader's
# marker texts (one -e per marker) on the same page-cached file, and the
# share of the lines passing the reader's line filter that hold no marker.
# Goal: harvex-batch takes at most 3.5 times as long as `wc -l`, each timed
# as a whole command in alternating runs.
#   bench/gaussian.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build/bench}
ensure_bench_build "$build" bench_load_output bench_marker_filter harvex-batch
ensure_big_log
log=$big_log

mapfile -t markers < <("$build/bench/bench_marker_filter" --markers)
grep_ms=$(grep_markers_ms "$log" "${markers[@]}")
ours_ms=$(best_of 5 "$build/bench/bench_load_output" "$log")
echo "file: $big_log_mb MB, ${#markers[@]} markers"
echo "grep -c -F:      $grep_ms ms, $(throughput "$grep_ms") MB/s"
echo "gaussian reader: $ours_ms ms, $(throughput "$ours_ms") MB/s ($(tail -n 1 "$bench_scratch/out" | cut -d';' -f1))"
batch=$build/app/harvex-batch/harvex-batch
batch_ms= wc_ms=
for _ in 1 2 3 4 5; do
  wc_ms=$(smaller "$wc_ms" "$(best_of 1 wc -l "$log")")
  batch_ms=$(smaller "$batch_ms" "$(best_of 1 "$batch" --results "$bench_scratch/res.txt" "$log")")
done
echo "wc -l:           $wc_ms ms, $(throughput "$wc_ms") MB/s"
echo "harvex-batch:    $batch_ms ms, $(throughput "$batch_ms") MB/s"
echo "line filter:     $("$build/bench/bench_marker_filter" "$log")"
echo "time ratio (harvex-batch / wc -l): $(awk -v a="$batch_ms" -v b="$wc_ms" 'BEGIN { printf "%.2f", a / b }'), goal at most 3.5"
echo "time ratio (harvex-batch / grep): $(awk -v a="$batch_ms" -v b="$grep_ms" 'BEGIN { printf "%.2f", a / b }')"
echo "time ratio (reader / grep): $(awk -v a="$ours_ms" -v b="$grep_ms" 'BEGIN { printf "%.2f", a / b }')"
