#!/usr/bin/env bash
# Peak memory of harvex-batch on inputs that have no line end for a very
# long way, generated here in a scratch folder under /tmp and removed at the
# end. Goal: every peak (maximum resident set size) under 16 MB.
#   - a 1 GB .out file without a line end;
#   - a .zip of about 1 MB whose .out member is 1 GB of NUL bytes;
#   - a .out.gz of about 1 MB that unpacks to 1 GB of NUL bytes;
#   - a 200 MB .cdf: one section, then a 200 MB line of text.
# Needs GNU time (/usr/bin/time) and python3 (its zipfile writes the archive
# without putting the member on disk).
#   bench/peak_memory.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build/bench}
ensure_bench_build "$build" harvex-batch
batch=$build/app/harvex-batch/harvex-batch
goal_kb=$((16 * 1024))

no_line_end=$bench_scratch/no_line_end.out
nul_member=$bench_scratch/nul_member.zip
nul_gzip=$bench_scratch/nul.out.gz
big_cdf=$bench_scratch/big.cdf

head -c 1G /dev/zero | tr '\0' 'x' >"$no_line_end"
python3 - "$nul_member" <<'PY'
import sys, zipfile
chunk = bytes(1 << 20)
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as archive:
    with archive.open("nul.out", "w") as member:
        for _ in range(1024):
            member.write(chunk)
PY
head -c 1G /dev/zero | gzip -6 >"$nul_gzip"
{ printf '[conformer]\nGeomFileName='; head -c 200M /dev/zero | tr '\0' 'y'; } >"$big_cdf"

status=0
for input in "$no_line_end" "$nul_member" "$nul_gzip" "$big_cdf"; do
  size_mb=$(( $(stat -c %s "$input") / 1000000 ))
  /usr/bin/time -v "$batch" --results "$bench_scratch/Harvex_res.txt" "$input" \
    >"$bench_scratch/out" 2>"$bench_scratch/time" </dev/null || true
  peak_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$bench_scratch/time")
  seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ { print $2 }' "$bench_scratch/time")
  verdict=ok
  if [ "$peak_kb" -ge "$goal_kb" ]; then verdict="OVER THE GOAL"; status=1; fi
  printf '%-16s %6d MB on disk: peak %6d KB in %s  %s\n' "$(basename "$input")" "$size_mb" "$peak_kb" "$seconds" "$verdict"
done
echo "goal: every peak under $goal_kb KB"
exit $status
