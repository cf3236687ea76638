#!/usr/bin/env bash
# Installs what is missing, builds Harvex and starts it in the directory this
# script was called from, where it writes Harvex_res.txt. With a display
# ($DISPLAY or $WAYLAND_DISPLAY) the window opens; without one, harvex-batch
# reports the files in examples/ on the terminal.
set -euo pipefail
start_dir=$PWD
cd "$(dirname "$0")/.."
repo=$PWD
scripts/install-deps.sh

build=build/plain
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 --target harvex harvex-batch

cd "$start_dir"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$repo/$build/app/harvex/harvex"
fi
echo "No display: reporting the files in examples/ with harvex-batch" \
  "(results in $start_dir/Harvex_res.txt)" >&2
# From inside examples/, so the relative names a .cdf gives resolve there;
# full paths, so the results file can be fed back in as a list.
cd "$repo/examples"
mapfile -t examples < <(find "$PWD" -maxdepth 1 -type f ! -name 'NOTICE*' ! -name '*.md' | sort)
exec "$repo/$build/app/harvex-batch/harvex-batch" --results "$start_dir/Harvex_res.txt" "${examples[@]}"
