#!/usr/bin/env bash
# The cost of --thermo on a batch of real frequency outputs: harvex-batch over
# the shared Gaussian and ORCA frequency jobs, named over and over in a list
# up to the count, with and without the recomputed table. Goal: under 10 %
# more time.
#   bench/thermo.sh [BUILD_DIR] [FILES]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
batch=$(bench_batch_program "${1:-build/bench}")
count=${2:-1000}

# The outputs that print a thermochemistry block after their modes.
mapfile -t outputs < <(grep -l -e "- Thermochemistry -" -e "THERMOCHEMISTRY AT" \
  "$(realpath "$shared")"/testdata/real/{gaussian,orca}/*.out | sort)
for ((n = 0; n < count; n++)); do echo "${outputs[n % ${#outputs[@]}]}"; done >"$bench_scratch/list.txt"
for output in "${outputs[@]}"; do cat "$output" >/dev/null; done

cd "$bench_scratch"
plain=$(best_of 5 "$batch" --quiet list.txt)
thermo=$(best_of 5 "$batch" --quiet --thermo=thermo.tsv --temperatures 298.15,310 --concentration 1 list.txt)
echo "harvex-batch over $count files (${#outputs[@]} frequency outputs repeated): $plain ms;" \
  "with --thermo at two temperatures: $thermo ms ($(( (thermo - plain) * 100 / (plain > 0 ? plain : 1) )) % more)"
