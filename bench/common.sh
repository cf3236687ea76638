# Shared by the benchmark scripts: the benchmark build, the generated 200 MB
# Gaussian and ORCA logs (kept out of the repository) and best-of-N timing.
# Source it from the project's top folder.

shared=${HARVEX_SHARED:-../shared}
big_log=${HARVEX_BIG_LOG:-/tmp/harvex-big.out}
big_orca_log=${HARVEX_BIG_ORCA_LOG:-/tmp/harvex-big-orca.out}
bench_scratch=$(mktemp -d)
trap 'rm -rf "$bench_scratch"' EXIT

# Configures a Release build folder for the benchmarks when missing and
# brings the named targets up to date.
ensure_bench_build() {
  local build=$1; shift
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHARVEX_BENCH=ON \
      -DHARVEX_TESTS=OFF -DHARVEX_GUI=OFF >/dev/null
  fi
  cmake --build "$build" -j 2 --target "$@" >/dev/null 2>&1
}

# The path of harvex-batch in the build folder, brought up to date first.
bench_batch_program() {
  ensure_bench_build "$1" harvex-batch
  realpath "$1/app/harvex-batch/harvex-batch"
}

# Generates the big log from two real outputs, once, and reads it into the
# page cache.
ensure_big_log() {
  if [ ! -s "$big_log" ]; then
    "$shared/bench/make_big_log.sh" "$shared/testdata/real/gaussian/dvb_gopt.out" 200 "$big_log" \
      "$shared/testdata/real/gaussian/dvb_ir.out" >/dev/null
  fi
  cat "$big_log" >/dev/null
  big_log_mb=$(( $(stat -c %s "$big_log") / 1000000 ))
}

# The same for the big ORCA log, from an ORCA optimisation and frequency job.
ensure_big_orca_log() {
  if [ ! -s "$big_orca_log" ]; then
    bench/make_big_orca_log.sh "$shared/testdata/real/orca/dvb_gopt.out" 200 "$big_orca_log" \
      "$shared/testdata/real/orca/dvb_ir.out" >/dev/null
  fi
  cat "$big_orca_log" >/dev/null
  big_orca_log_mb=$(( $(stat -c %s "$big_orca_log") / 1000000 ))
}

# Milliseconds of the fastest of N runs of a command. Its output goes to
# $bench_scratch/out (GNU grep stops at its first match when writing to
# /dev/null, even with -c), its standard error (harvex-batch's closing
# summary) to $bench_scratch/err.
best_of() {
  local rounds=$1; shift
  local best= t0 t1 ms
  for _ in $(seq "$rounds"); do
    t0=$(date +%s%N); "$@" >"$bench_scratch/out" 2>"$bench_scratch/err"; t1=$(date +%s%N)
    ms=$(( (t1 - t0) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}

# The smaller of two numbers, the second where the first is empty.
smaller() { if [ -z "$1" ] || [ "$2" -lt "$1" ]; then echo "$2"; else echo "$1"; fi; }

# Milliseconds of the fastest of five runs of `grep -c -F` over a file, one
# -e per marker given.
grep_markers_ms() {
  local file=$1; shift
  local args=() marker
  for marker in "$@"; do args+=(-e "$marker"); done
  best_of 5 grep -c -F "${args[@]}" "$file"
}

# MB/s of a run of the given milliseconds over the given MB (the big
# Gaussian log's size unless named).
throughput() { local mb=${2:-$big_log_mb}; echo $(( mb * 1000 / ($1 > 0 ? $1 : 1) )); }
