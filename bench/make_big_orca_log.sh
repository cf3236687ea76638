#!/usr/bin/env bash
# Builds a large, realistic ORCA optimisation(+frequency) output out of real
# ORCA output text, for throughput benchmarks.
#
#   make_big_orca_log.sh OPT_OUT TARGET_MB OUT [FREQ_OUT]
#
# OPT_OUT   a real ORCA geometry-optimisation output with at least three
#           optimisation cycles (e.g. cclib's data/ORCA/basicORCA6.0/dvb_gopt.out)
# TARGET_MB wanted size in MB (10^6 bytes); the result is within one body copy
# OUT       output file (keep it out of the repository, e.g. under /tmp)
# FREQ_OUT  optional real ORCA frequency output appended at the end, as a
#           second job would print it (e.g. dvb_ir.out)
#
# Layout of OUT:
#   head = OPT_OUT up to the banner of cycle 2 (input, first geometry and
#          SCF, first gradient and step)
#   body = cycles 2 .. N-1 (each with its geometry blocks, SCF iterations,
#          SCF summary, "FINAL SINGLE POINT ENERGY", gradient, step),
#          repeated K times, verbatim
#   tail = cycle N to the end (final geometry, properties, termination)
#   FREQ_OUT, verbatim (optional)
# Every byte comes from the real files; only the repetition count is chosen.
set -euo pipefail
if [ $# -lt 3 ]; then
  echo "usage: $0 OPT_OUT TARGET_MB OUT [FREQ_OUT]" >&2; exit 2
fi
opt=$1; target_mb=$2; out=$3; freq=${4:-}
marker='GEOMETRY OPTIMIZATION CYCLE'
# Each cycle's banner starts on the row of stars above the marker line.
mapfile -t starts < <(grep -n -F "$marker" "$opt" | cut -d: -f1 | awk '{ print $1 - 1 }')
if [ "${#starts[@]}" -lt 3 ]; then
  echo "error: $opt needs at least three optimisation cycles ('$marker' lines)" >&2; exit 1
fi
second=${starts[1]}
last=${starts[${#starts[@]}-1]}
tmp=$(mktemp -d -t mkbigorca.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
sed -n "1,$((second - 1))p" "$opt" > "$tmp/head"
sed -n "${second},$((last - 1))p" "$opt" > "$tmp/body"
sed -n "${last},\$p" "$opt" > "$tmp/tail"
: > "$tmp/freq"
if [ -n "$freq" ]; then cat "$freq" > "$tmp/freq"; fi
size() { wc -c < "$1"; }
target=$(( target_mb * 1000000 ))
fixed=$(( $(size "$tmp/head") + $(size "$tmp/tail") + $(size "$tmp/freq") ))
bodysz=$(size "$tmp/body")
k=$(( (target - fixed + bodysz / 2) / bodysz ))
[ "$k" -ge 1 ] || k=1
for _ in $(seq 64); do cat "$tmp/body"; done > "$tmp/body64"
{
  cat "$tmp/head"
  for _ in $(seq $(( k / 64 ))); do cat "$tmp/body64"; done
  for _ in $(seq $(( k % 64 ))); do cat "$tmp/body"; done
  cat "$tmp/tail" "$tmp/freq"
} > "$out"
echo "$out: $(size "$out") bytes, body ($bodysz bytes, lines $second-$((last - 1)) of $opt) x $k," \
     "$(grep -c -F 'FINAL SINGLE POINT ENERGY' "$out") energy lines," \
     "$(grep -c -F 'CARTESIAN COORDINATES (ANGSTROEM)' "$out") geometry blocks"
