#!/usr/bin/env bash
# The Python module's read_many over the shared real outputs, named over and
# over in a list to 2,000 files, against harvex-batch --json on the same list
# and against cclib's ccread (Debian's python3-cclib) on the same files, all
# in one run; and read_many with jobs=2 against jobs=1. Best of three for the
# Harvex runs, one run of cclib (files it fails on are counted). Goals:
# read_many at most 1.3 times harvex-batch --json, at least 30 times faster
# than ccread; jobs=2 at least 1.6 times jobs=1.
#   bench/python_read_many.sh [BUILD_DIR] [COUNT] [CCLIB_COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build/bench}
count=${2:-2000}
cclib_count=${3:-$count}
python=/usr/bin/python3
batch=$(bench_batch_program "$build")
ensure_bench_build "$build" harvex_python

mapfile -t outputs < <(find "$shared/testdata/real" -type f \( -name '*.out' -o -name '*.zip' \) | sort)
list=$bench_scratch/list.txt
for i in $(seq 0 $((count - 1))); do realpath "${outputs[$((i % ${#outputs[@]}))]}"; done >"$list"
cat "${outputs[@]}" >/dev/null

# Real outputs include failed jobs, so the exit status is 1.
batch_ms() {
  local start end
  start=$(date +%s%N)
  "$batch" --quiet --json --jobs 1 --results "$bench_scratch/res.txt" "$list" >"$bench_scratch/json" 2>/dev/null || true
  end=$(date +%s%N)
  echo $(( (end - start) / 1000000 ))
}

# Milliseconds of one way of reading the list inside one Python process
# (the interpreter's start and imports not counted).
python_ms() {
  PYTHONPATH="$build/python" "$python" - "$list" "$@" <<'PY'
import sys, time
how = sys.argv[2]
paths = open(sys.argv[1]).read().split("\n")[:-1]
if how == "cclib":
    import contextlib, io, logging, os
    # cclib prints its own notices (a missing Open Babel) on standard output.
    quiet = contextlib.redirect_stdout(io.StringIO())
    quiet.__enter__()
    import cclib
    count = int(sys.argv[3])
    failed = 0
    start = time.perf_counter()
    for path in paths[:count]:
        try:
            data = cclib.io.ccread(path, loglevel=logging.CRITICAL)
            if data is None or not hasattr(data, "scfenergies"):
                failed += 1
        except Exception:
            failed += 1
    quiet.__exit__(None, None, None)
    print(round((time.perf_counter() - start) * 1000), failed)
    sys.exit()
import harvex
jobs = int(sys.argv[3])
start = time.perf_counter()
for output in harvex.read_many([sys.argv[1]], jobs=jobs, errors="keep"):
    output.energy, output.status
    if how == "dict":
        output.as_dict()
print(round((time.perf_counter() - start) * 1000))
PY
}

best_batch=; best1=; best2=; best_dict=
for _ in 1 2 3; do
  best_batch=$(smaller "$best_batch" "$(batch_ms)")
  best1=$(smaller "$best1" "$(python_ms values 1)")
  best2=$(smaller "$best2" "$(python_ms values 2)")
  best_dict=$(smaller "$best_dict" "$(python_ms dict 1)")
done
read -r cclib_ms cclib_failed < <(python_ms cclib "$cclib_count")

rate() { awk -v ms="$1" -v n="$2" 'BEGIN { printf "%.0f", n * 1000 / (ms > 0 ? ms : 1) }'; }
echo "files: $count (${#outputs[@]} real outputs, listed repeatedly); load: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
echo "harvex-batch --json:             $best_batch ms, $(rate "$best_batch" "$count") files/s"
echo "read_many jobs=1 (energy, status): $best1 ms, $(rate "$best1" "$count") files/s"
echo "read_many jobs=1 + as_dict():    $best_dict ms, $(rate "$best_dict" "$count") files/s"
echo "read_many jobs=2:                $best2 ms, $(rate "$best2" "$count") files/s"
echo "cclib ccread:                    $cclib_ms ms for $cclib_count files, $(rate "$cclib_ms" "$cclib_count") files/s, $cclib_failed failed"
awk -v a="$best1" -v d="$best_dict" -v b="$best_batch" 'BEGIN { printf "read_many / harvex-batch --json: %.2f (with as_dict %.2f; goal: at most 1.3)\n", a / b, d / b }'
awk -v a="$best1" -v c="$cclib_ms" -v n="$count" -v m="$cclib_count" \
  'BEGIN { printf "ccread / read_many per file: %.0f (goal: at least 30)\n", (c / m) / (a / n) }'
awk -v a="$best1" -v b="$best2" 'BEGIN { printf "jobs=2 speed-up: %.2f (goal: at least 1.6)\n", a / b }'
