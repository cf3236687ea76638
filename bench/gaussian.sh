#!/usr/bin/env bash
# Gaussian reader throughput on a generated 200 MB optimisation + frequency
# log, side by side with `grep -c -F` given the reader's marker texts (one -e
# per marker) on the same page-cached file. Goal: harvex-batch takes at most
# 0.8 of grep's time.
#   bench/gaussian.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build/bench}
ensure_bench_build "$build" bench_load_output harvex-batch
ensure_big_log
log=$big_log

markers=(
  "Counterpoise: doing MCBS calculation for fragment"
  "Counterpoise: doing DCBS calculation for fragment"
  "Counterpoise: doing calculation for fragment"
  "Counterpoise: corrected energy"
  "Counterpoise corrected energy"
  "Berny optimization"
  "SCF Done:"
  "EUMP2"
  "ONIOM: extrapolated energy"
  "Total Energy, E(TD-HF/TD-"
  " E2("
  "CCSD(T)="
  "QCISD(T)="
  "(0 K)="
  " Free Energy="
  "Dipole moment (field-independent basis, Debye):"
  "Recovering previously computed normal modes"
  "Dipole moment (Debye):"
  "Harmonic frequencies"
  "Molecular mass:"
  "Rotational symmetry number"
  "ROTATIONAL SYMMETRY NUMBER"
  "Rotational temperature (Kelvin)"
  "ROTATIONAL TEMPERATURE (KELVIN)"
  "Rotational temperatures (Kelvin)"
  "ROTATIONAL TEMPERATURES (KELVIN)"
  "Zero-point correction"
  "Thermal correction to Gibbs Free Energy"
  "Sum of electronic and thermal Free Energies"
  "---------------------------------------------------------------------"
  "Fundamental Bands"
  "N A T U R A L   A T O M I C   O R B I T A L"
  "Summary of Natural Population Analysis:"
  "Second Order Perturbation Theory Analysis of Fock Matrix in NBO Basis"
  "Mulliken atomic charges:"
  "Mulliken charges:"
  "Mulliken charges and spin densities:"
  "Total atomic charges:"
  "APT atomic charges:"
  "APT charges:"
  "Electrostatic Properties Using The SCF Density"
  " Normal termination of Gaussian"
  " Error termination"
)
grep_ms=$(grep_markers_ms "$log" "${markers[@]}")
ours_ms=$(best_of 5 "$build/bench/bench_load_output" "$log")
echo "file: $big_log_mb MB, ${#markers[@]} markers"
echo "grep -c -F:      $grep_ms ms, $(throughput "$grep_ms") MB/s"
echo "gaussian reader: $ours_ms ms, $(throughput "$ours_ms") MB/s ($(tail -n 1 "$bench_scratch/out" | cut -d';' -f1))"
batch=$build/app/harvex-batch/harvex-batch
if [ -x "$batch" ]; then
  batch_ms=$(best_of 5 "$batch" --results "$bench_scratch/res.txt" "$log")
  echo "harvex-batch:    $batch_ms ms, $(throughput "$batch_ms") MB/s"
  echo "time ratio (harvex-batch / grep): $(awk -v a="$batch_ms" -v b="$grep_ms" 'BEGIN { printf "%.2f", a / b }'), goal at most 0.8"
fi
echo "time ratio (reader / grep): $(awk -v a="$ours_ms" -v b="$grep_ms" 'BEGIN { printf "%.2f", a / b }')"
