#!/usr/bin/env bash
# harvex-batch --jobs 1 against --jobs 2 over the shared real outputs,
# repeated to 2,000 files by a list file that names them again and again (the
# page cache holds them after the first pass, so the disk is not measured).
# Runs alternate, best of three each. Goal: --jobs 2 gives at least 1.7 times
# the files per second of --jobs 1 on two cores.
#   bench/batch_jobs.sh [BUILD_DIR] [COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build/bench}
count=${2:-2000}
batch=$(bench_batch_program "$build")

mapfile -t outputs < <(find "$shared/testdata/real" -type f \( -name '*.out' -o -name '*.zip' \) | sort)
list=$bench_scratch/list.txt
for i in $(seq 0 $((count - 1))); do realpath "${outputs[$((i % ${#outputs[@]}))]}"; done >"$list"
cat "${outputs[@]}" >/dev/null

# Real outputs include failed jobs, so the exit status is 1.
run_ms() {
  local start end
  start=$(date +%s%N)
  "$batch" --quiet --jobs "$1" --results "$bench_scratch/res.txt" "$list" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(( (end - start) / 1000000 ))
}
best1=; best2=
for _ in 1 2 3; do
  best1=$(smaller "$best1" "$(run_ms 1)")
  best2=$(smaller "$best2" "$(run_ms 2)")
done
rate() { awk -v ms="$1" -v n="$count" 'BEGIN { printf "%.0f", n * 1000 / ms }'; }
echo "files: $count (${#outputs[@]} real outputs, listed repeatedly); load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "--jobs 1: $best1 ms, $(rate "$best1") files/s"
echo "--jobs 2: $best2 ms, $(rate "$best2") files/s"
awk -v a="$best1" -v b="$best2" 'BEGIN { printf "ratio: %.2f (goal: at least 1.7)\n", a / b }'
