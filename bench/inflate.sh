#!/usr/bin/env bash
# Decoding throughput of a 200 MB Gaussian log deflated at level 6 in a ZIP
# archive: Harvex's reader through ReadLine against zlib's inflate driven in
# the same shape, in one run. Generated files go to a scratch folder, never
# into the repository.
#
#   bench/inflate.sh [BUILD_DIR] [ROUNDS]
#
# BUILD_DIR is a Release build configured with -DHARVEX_BENCH=ON (default
# build-bench, built here when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
rounds=${2:-3}
shared=../shared
scratch=${HARVEX_BENCH_DIR:-/tmp/harvex-bench-inflate}
mkdir -p "$scratch"

if [ ! -x "$build/bench/bench_inflate" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHARVEX_BENCH=ON \
    -DHARVEX_TESTS=OFF -DHARVEX_GUI=OFF
  cmake --build "$build" -j 2 --target bench_inflate
fi

log=$scratch/big.out
archive=$scratch/big.zip
if [ ! -s "$log" ]; then
  "$shared/bench/make_big_log.sh" "$shared/testdata/real/gaussian/dvb_gopt.out" 200 "$log" \
    "$shared/testdata/real/gaussian/dvb_ir.out"
fi
if [ ! -s "$archive" ]; then
  (cd "$scratch" && zip -q -6 big.zip big.out)
fi
ls -l "$log" "$archive"
"$build/bench/bench_inflate" "$archive" "$rounds"
