#!/usr/bin/env bash
# The cost of --check on a batch of real outputs: harvex-batch over the
# shared Gaussian and ORCA outputs, named over and over in a list up to the
# count, with and without the study checks (their findings to a file).
# Goal: under 10 % more time.
#   bench/check.sh [BUILD_DIR] [FILES]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
batch=$(bench_batch_program "${1:-build/bench}")
count=${2:-2000}

mapfile -t outputs < <(ls "$(realpath "$shared")"/testdata/real/{gaussian,orca}/*.out | sort)
for ((n = 0; n < count; n++)); do echo "${outputs[n % ${#outputs[@]}]}"; done >"$bench_scratch/list.txt"
for output in "${outputs[@]}"; do cat "$output" >/dev/null; done

cd "$bench_scratch"
plain= checked=
# Alternating runs, so that a slow spell of the machine falls on both.
for _ in 1 2 3 4 5; do
  plain=$(smaller "$plain" "$(best_of 1 "$batch" --quiet list.txt)")
  checked=$(smaller "$checked" "$(best_of 1 "$batch" --quiet --check=check.tsv list.txt)")
done
echo "harvex-batch over $count files (${#outputs[@]} real outputs repeated): $plain ms;" \
  "with --check: $checked ms ($(( (checked - plain) * 100 / (plain > 0 ? plain : 1) )) % more," \
  "$(wc -l <check.tsv) findings)"
