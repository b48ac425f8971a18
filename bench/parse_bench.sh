#!/usr/bin/env bash
# Times the model reader against glpsol's CPLEX LP reader on the same model.
#
#   bench/parse_bench.sh BUILD_DIR [REPETITIONS]
#
# BUILD_DIR is a configured and built tree (it must hold tavo and
# bench/parse_gen; this script builds nothing). The model has 10,000
# variables, 2,000 rows and 100,000 terms; it is written to a temporary folder
# as .tvd and .lp. Each program reads it REPETITIONS times (default 7):
# `tavo check MODEL --report none` and `glpsol --check --lp FILE`. The script
# prints the median wall time of each and their ratio.
set -euo pipefail

build=${1:?usage: parse_bench.sh BUILD_DIR [REPETITIONS]}
reps=${2:-7}
tavo="$build/tavo"
gen="$build/bench/parse_gen"
for f in "$tavo" "$gen"; do
  [[ -x $f ]] || { echo "parse_bench: $f is missing; build $build first" >&2; exit 66; }
done
command -v glpsol >/dev/null || { echo "parse_bench: glpsol is not installed" >&2; exit 66; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$gen" "$work" >/dev/null

# Check both readers accept the model before timing them.
"$tavo" check "$work/parse_bench.tvd" --report none ||
  { echo "parse_bench: tavo check rejected the generated model" >&2; exit 1; }
glpsol --check --lp "$work/parse_bench.lp" >/dev/null ||
  { echo "parse_bench: glpsol rejected the generated model" >&2; exit 1; }

# Wall time of one run in milliseconds (three decimals).
run_ms() {
  local t0 t1
  t0=$(date +%s%N)
  "$@" >/dev/null 2>&1
  t1=$(date +%s%N)
  echo "scale=3; ($t1 - $t0) / 1000000" | bc
}

median() { sort -n | awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else printf "%.3f\n", (a[NR/2]+a[NR/2+1])/2}'; }

tavo_times=() glpk_times=()
for ((i = 0; i < reps; i++)); do  # interleaved, so both see the same machine load
  tavo_times+=("$(run_ms "$tavo" check "$work/parse_bench.tvd" --report none)")
  glpk_times+=("$(run_ms glpsol --check --lp "$work/parse_bench.lp")")
done
tavo_med=$(printf '%s\n' "${tavo_times[@]}" | median)
glpk_med=$(printf '%s\n' "${glpk_times[@]}" | median)

echo "model: 10000 variables, 2000 rows, 100000 terms ($(stat -c %s "$work/parse_bench.tvd") bytes .tvd, $(stat -c %s "$work/parse_bench.lp") bytes .lp)"
echo "repetitions: $reps (medians of wall time)"
printf 'tavo check      %10.1f ms   (%s)\n' "$tavo_med" "${tavo_times[*]}"
printf 'glpsol --check  %10.1f ms   (%s)\n' "$glpk_med" "${glpk_times[*]}"
printf 'ratio tavo/glpsol  %.2f\n' "$(echo "scale=4; $tavo_med / $glpk_med" | bc)"
