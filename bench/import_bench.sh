#!/usr/bin/env bash
# Times `tavo import` against glpsol's MPS reader on the same file.
#
#   bench/import_bench.sh BUILD_DIR [REPETITIONS]
#
# BUILD_DIR is a configured and built tree holding tavo (this script builds
# nothing). The script writes a free MPS file with 10,000 columns, 2,000 rows
# and 100,000 nonzeros (ten per column, a right-hand side per row, an upper
# bound on every tenth column) into a temporary folder, and a gzip copy. Each
# program reads it REPETITIONS times (default 7), interleaved:
# `tavo import FILE -o MODEL` (read, convert and write the model text and the
# name map) and `glpsol --check --freemps FILE` (read and check only). It
# prints the median wall times and their ratio, for the plain and the gzip file.
set -euo pipefail

build=${1:?usage: import_bench.sh BUILD_DIR [REPETITIONS]}
reps=${2:-7}
tavo="$build/tavo"
[[ -x $tavo ]] || { echo "import_bench: $tavo is missing; build $build first" >&2; exit 66; }
command -v glpsol >/dev/null || { echo "import_bench: glpsol is not installed" >&2; exit 66; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mps="$work/import_bench.mps"

# A deterministic generator: column j has entries in rows (j*7 + k*211) mod 2000, k = 0..9.
awk -v n=10000 -v m=2000 -v per=10 'BEGIN {
  print "NAME IMPBENCH"
  print "ROWS"
  print " N COST"
  for (i = 0; i < m; i++) print " L R" i
  print "COLUMNS"
  seed = 12345
  for (j = 0; j < n; j++) {
    seed = (seed * 1103515245 + 12345) % 2147483648
    printf " X%d COST %.4f\n", j, (seed % 1000) / 100 - 5
    for (k = 0; k < per; k++) {
      seed = (seed * 1103515245 + 12345) % 2147483648
      printf " X%d R%d %.3f\n", j, (j * 7 + k * 211) % m, (seed % 9000) / 1000 + 0.5
    }
  }
  print "RHS"
  for (i = 0; i < m; i++) printf " RHS R%d %d\n", i, 100 + i % 50
  print "BOUNDS"
  for (j = 0; j < n; j += 10) printf " UP BND X%d %d\n", j, 10 + j % 7
  print "ENDATA"
}' >"$mps"
gzip -k "$mps"

# Check both readers accept the file before timing them.
"$tavo" import "$mps" -o "$work/check.tvd" 2>/dev/null ||
  { echo "import_bench: tavo import rejected the generated file" >&2; exit 1; }
glpsol --check --freemps "$mps" >/dev/null ||
  { echo "import_bench: glpsol rejected the generated file" >&2; exit 1; }

# Wall time of one run in milliseconds (three decimals).
run_ms() {
  local t0 t1
  t0=$(date +%s%N)
  "$@" >/dev/null 2>&1
  t1=$(date +%s%N)
  echo "scale=3; ($t1 - $t0) / 1000000" | bc
}

median() { sort -n | awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else printf "%.3f\n", (a[NR/2]+a[NR/2+1])/2}'; }

echo "file: 10000 columns, 2000 rows, 100000 nonzeros ($(stat -c %s "$mps") bytes; gzip $(stat -c %s "$mps.gz") bytes)"
echo "repetitions: $reps (medians of wall time)"
for file in "$mps" "$mps.gz"; do
  tavo_times=() glpk_times=()
  for ((i = 0; i < reps; i++)); do  # interleaved, so both see the same machine load
    tavo_times+=("$(run_ms "$tavo" import "$file" -o "$work/out.tvd")")
    glpk_times+=("$(run_ms glpsol --check --freemps "$file")")
  done
  tavo_med=$(printf '%s\n' "${tavo_times[@]}" | median)
  glpk_med=$(printf '%s\n' "${glpk_times[@]}" | median)
  echo "${file##*/}:"
  printf '  tavo import     %10.1f ms   (%s)\n' "$tavo_med" "${tavo_times[*]}"
  printf '  glpsol --check  %10.1f ms   (%s)\n' "$glpk_med" "${glpk_times[*]}"
  printf '  ratio tavo/glpsol  %.2f\n' "$(echo "scale=4; $tavo_med / $glpk_med" | bc)"
done
