#!/usr/bin/env bash
# harvex-batch on a generated 200 MB Gaussian log gzipped at level 6, side by
# side, in one run, with `zcat FILE > /dev/null` on the same file plus
# harvex-batch on the plain log. Goal: the gzipped log reports at least 0.9x
# as fast as the two together, with the same row. Generated files go to /tmp,
# never into the repository.
#   bench/gzip.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build/bench}
rounds=${2:-3}
ensure_bench_build "$build" harvex-batch
ensure_big_log
batch=$build/app/harvex-batch/harvex-batch

gzipped=$big_log.gz
[ -s "$gzipped" ] || gzip -6 -c "$big_log" >"$gzipped"
cat "$gzipped" >/dev/null

report() { "$batch" --results "$bench_scratch/$2" "$1"; }
zcat_ms=$(best_of "$rounds" sh -c 'zcat "$1" >/dev/null' zcat "$gzipped")
plain_ms=$(best_of "$rounds" report "$big_log" plain.txt)
gzip_ms=$(best_of "$rounds" report "$gzipped" gzipped.txt)
rows_match=yes
cmp -s <(tail -n +2 "$bench_scratch/plain.txt" | cut -f 2-) <(tail -n +2 "$bench_scratch/gzipped.txt" | cut -f 2-) ||
  rows_match=NO
ls -l "$big_log" "$gzipped"
echo "zcat > /dev/null:          $zcat_ms ms"
echo "harvex-batch, plain log:   $plain_ms ms, $(throughput "$plain_ms") MB/s"
echo "harvex-batch, gzipped log: $gzip_ms ms, $(throughput "$gzip_ms") MB/s of text; same row: $rows_match"
echo "speed ratio ((zcat + plain) / gzipped): $(awk -v a="$zcat_ms" -v b="$plain_ms" -v c="$gzip_ms" \
  'BEGIN { printf "%.2f", (a + b) / c }'), goal at least 0.9"
