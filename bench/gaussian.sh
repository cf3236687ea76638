#!/usr/bin/env bash
# Gaussian reader throughput on a generated 200 MB optimisation + frequency
# log, side by side with `grep -c -F` given the reader's marker texts (one -e
# per marker) on the same page-cached file. Goal: the reader takes at most
# twice grep's time.
#   bench/gaussian.sh [BUILD_DIR]   (a build with -DHARVEX_BENCH=ON)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
log=${HARVEX_BIG_LOG:-/tmp/harvex-big.out}
shared=../shared
if [ ! -f "$log" ]; then
  "$shared/bench/make_big_log.sh" "$shared/testdata/real/gaussian/dvb_gopt.out" 200 "$log" \
    "$shared/testdata/real/gaussian/dvb_ir.out" >/dev/null
fi
cat "$log" >/dev/null   # into the page cache

markers=(
  "Counterpoise: doing MCBS calculation for fragment"
  "Counterpoise: doing DCBS calculation for fragment"
  "Counterpoise: corrected energy"
  "SCF Done:"
  "EUMP2"
  "Dipole moment (field-independent basis, Debye):"
  "Harmonic frequencies"
  "Molecular mass:"
  "Rotational symmetry number"
  "Rotational temperature (Kelvin)"
  "Rotational temperatures (Kelvin)"
  "Zero-point correction"
  "Thermal correction to Gibbs Free Energy"
  "Sum of electronic and thermal Free Energies"
  "---------------------------------------------------------------------"
  "Fundamental Bands "
  "N A T U R A L   A T O M I C   O R B I T A L"
  "Summary of Natural Population Analysis:"
  "Second Order Perturbation Theory Analysis of Fock Matrix in NBO Basis"
  "Mulliken atomic charges:"
  "Mulliken charges:"
  "Mulliken charges and spin densities:"
  "APT atomic charges:"
  "APT charges:"
  "Electrostatic Properties Using The SCF Density"
)
grep_args=()
for marker in "${markers[@]}"; do grep_args+=(-e "$marker"); done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# GNU grep stops at its first match when its output is /dev/null, so each
# command writes to a file.
best_of_five() {
  local best=
  for _ in 1 2 3 4 5; do
    local t0 t1 ms
    t0=$(date +%s%N); "$@" >"$scratch/out"; t1=$(date +%s%N)
    ms=$(( (t1 - t0) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}
throughput() { echo $(( mb * 1000 / ($1 > 0 ? $1 : 1) )); }

mb=$(( $(stat -c %s "$log") / 1000000 ))
grep_ms=$(best_of_five grep -c -F "${grep_args[@]}" "$log")
ours_ms=$(best_of_five "$build/bench/bench_gaussian" "$log")
echo "file: $mb MB, ${#markers[@]} markers"
echo "grep -c -F:      $grep_ms ms, $(throughput "$grep_ms") MB/s"
echo "gaussian reader: $ours_ms ms, $(throughput "$ours_ms") MB/s ($(tail -n 1 "$scratch/out" | cut -d';' -f1))"
batch=$build/app/harvex-batch/harvex-batch
if [ -x "$batch" ]; then
  batch_ms=$(best_of_five "$batch" --results "$scratch/res.txt" "$log")
  echo "harvex-batch:    $batch_ms ms, $(throughput "$batch_ms") MB/s"
fi
echo "time ratio (reader / grep): $(awk -v a="$ours_ms" -v b="$grep_ms" 'BEGIN { printf "%.2f", a / b }'), goal at most 2"
