#!/usr/bin/env bash
# Installs what is missing, builds Harvex twice (plain, and with
# AddressSanitizer + UndefinedBehaviorSanitizer), runs every test in both
# builds, runs the tests of loads on several threads with ThreadSanitizer,
# then runs each fuzz target briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
jobs=2

build_and_test() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$jobs"
  # The tests' locales are compiled afresh by the first test, as on a machine
  # that never ran them.
  rm -rf "$dir/test-locales"
  ctest --test-dir "$dir" -j "$jobs" --output-on-failure
}

build_and_test build/plain -DCMAKE_BUILD_TYPE=RelWithDebInfo
build_and_test build/sanitize -DCMAKE_BUILD_TYPE=Debug -DHARVEX_SANITIZE=ON

# ThreadSanitizer: only the tests that load on several threads.
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHARVEX_TSAN=ON -DHARVEX_GUI=OFF
cmake --build build/tsan -j "$jobs" --target test_parallel
rm -rf build/tsan/test-locales
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan -j "$jobs" --output-on-failure -R 'compile_test_locales|^Parallel'

# Fuzz targets: a short run each over its seed inputs.
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHARVEX_GUI=OFF -DHARVEX_TESTS=OFF -DHARVEX_FUZZ=ON
cmake --build build/fuzz -j "$jobs"
fuzz_seconds=${HARVEX_FUZZ_SECONDS:-20}
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=$(mktemp -d)
  [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$corpus/"
  echo "fuzzing $name for ${fuzz_seconds}s"
  "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 "$corpus" 2>&1 | tail -n 3
  rm -rf "$corpus"
done
