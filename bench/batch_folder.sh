#!/usr/bin/env bash
# harvex-batch over a folder of 10,000 small real outputs (hard links to four
# outputs of the project, in a scratch folder under /tmp that is removed
# afterwards), side by side with the same files named one by one on the
# command line. Goal: the folder takes no longer per file than the names do.
#   bench/batch_folder.sh [BUILD_DIR] [COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build/bench}
count=${2:-10000}
ensure_bench_build "$build" harvex-batch
batch=$build/app/harvex-batch/harvex-batch

sources=(examples/water_mp2.out examples/UMP2_C_ATOM.zip tests/data/gaussian/water.out
  tests/data/gaussian/CH4_before_E.out)
folder=$bench_scratch/outputs
mkdir -p "$folder/originals"
cp "${sources[@]}" "$folder/originals/"
mapfile -t originals < <(find "$folder/originals" -type f | sort)
# A hundred files a subfolder, as a project's conformer runs would lie.
for i in $(seq 0 $((count - 1))); do
  original=${originals[$((i % ${#originals[@]}))]}
  sub=$folder/set$((i / 100))
  [ $((i % 100)) -eq 0 ] && mkdir -p "$sub"
  ln "$original" "$sub/conf$i.${original##*.}"
done
rm -rf "$folder/originals"
mapfile -t named < <(find "$folder" -type f | sort -V)
cat "${named[@]}" >/dev/null

folder_ms=$(best_of 3 "$batch" --quiet --results "$bench_scratch/res.txt" "$folder")
named_ms=$(best_of 3 "$batch" --quiet --results "$bench_scratch/res.txt" "${named[@]}")
per_file() { awk -v ms="$1" -v n="${#named[@]}" 'BEGIN { printf "%.3f", ms / n }'; }
echo "files: ${#named[@]} (${#originals[@]} real outputs, hard-linked)"
echo "harvex-batch FOLDER:   $folder_ms ms, $(per_file "$folder_ms") ms per file"
echo "harvex-batch FILE...:  $named_ms ms, $(per_file "$named_ms") ms per file"
echo "goal: the folder at most the names' time per file (about 0.7 ms)"
