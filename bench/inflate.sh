#!/usr/bin/env bash
# Decoding throughput of a 200 MB Gaussian log deflated at level 6 in a ZIP
# archive: Harvex's reader through ReadLine against zlib's inflate driven in
# the same shape, in one run. Generated files go to a scratch folder, never
# into the repository.
#
#   bench/inflate.sh [BUILD_DIR] [ROUNDS]
#
# BUILD_DIR is a Release build with -DHARVEX_BENCH=ON (default build/bench,
# built here when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build/bench}
rounds=${2:-3}
ensure_bench_build "$build" bench_inflate
ensure_big_log

archive=${big_log%.*}.zip
if [ ! -s "$archive" ]; then
  (cd "$(dirname "$big_log")" && zip -q -6 "$(basename "$archive")" "$(basename "$big_log")")
fi
ls -l "$big_log" "$archive"
"$build/bench/bench_inflate" "$archive" "$rounds"
