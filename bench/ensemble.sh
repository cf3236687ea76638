#!/usr/bin/env bash
# The cost of --ensemble on a batch of many small conformer outputs of one
# molecule: harvex-batch over the same list with and without it. Energies
# are spread so that the duplicate search meets a few members in each energy
# window; the geometries are turned copies of one another, so most members
# are duplicates found by a superposition. Goal: at most 5 % more time.
#   bench/ensemble.sh [BUILD_DIR] [FILES]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build/bench}
count=${2:-10000}
ensure_bench_build "$build" harvex-batch
batch=$(realpath "$build/app/harvex-batch/harvex-batch")

# Gaussian frequency jobs of water, 1e-5 Hartree apart (about eight members
# in each 0.05 kcal/mol window), each turned about z by its own angle.
write_outputs() {
  awk -v folder="$1" -v count="$2" 'BEGIN {
    split("8 1 1", z, " "); split("0 0.7572 -0.7572", y, " "); split("0.1173 -0.4692 -0.4692", w, " ")
    for (n = 1; n <= count; n++) {
      file = folder "/c" n ".out"
      angle = (n * 37 % 360) * 3.14159265 / 180
      e = -76.4 + n * 1e-5
      print " This is part of the Gaussian(R) 16 program." >file
      print "                         Standard orientation:" >file
      print " ---------------------------------------------------------------------" >file
      print " Center     Atomic     Atomic              Coordinates (Angstroms)" >file
      print " Number     Number      Type              X           Y           Z" >file
      print " ---------------------------------------------------------------------" >file
      for (i = 1; i <= 3; i++)
        printf " %6d %10d %13d %15.6f %11.6f %11.6f\n", i, z[i], 0, -sin(angle) * y[i], cos(angle) * y[i], w[i] >file
      print " ---------------------------------------------------------------------" >file
      printf " SCF Done:  E(RB3LYP) =  %.10f     A.U. after   10 cycles\n", e >file
      print " Harmonic frequencies (cm**-1), IR intensities (KM/Mole), Raman scattering" >file
      print "                      1                      2                      3" >file
      print "                     A1                     A1                     B2" >file
      print " Frequencies --   1743.1470              3998.2391              4136.9014" >file
      print " Red. masses --      1.0840                 1.0452                 1.0825" >file
      print "  Atom  AN      X      Y      Z        X      Y      Z        X      Y      Z" >file
      print "     1   8     0.00   0.00   0.07     0.00   0.00  -0.05     0.00   0.07   0.00" >file
      print "     2   1     0.00   0.43  -0.56     0.00   0.58   0.40     0.00  -0.56   0.43" >file
      print "     3   1     0.00  -0.43  -0.56     0.00  -0.58   0.40     0.00  -0.56  -0.43" >file
      print "" >file
      printf " Sum of electronic and thermal Free Energies=  %.6f\n", e + 0.02 >file
      print " Normal termination of Gaussian 16." >file
      close(file)
      print file
    }
  }'
}

mkdir -p "$bench_scratch/conformers"
write_outputs "$bench_scratch/conformers" "$count" >"$bench_scratch/list.txt"

cd "$bench_scratch"
plain=$(best_of 3 "$batch" list.txt)
ensemble=$(best_of 3 "$batch" --ensemble=ensemble.tsv list.txt)
echo "harvex-batch over $count conformer outputs: $plain ms; with --ensemble: $ensemble ms" \
  "($(( (ensemble - plain) * 100 / (plain > 0 ? plain : 1) )) % more)"
