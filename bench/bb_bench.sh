#!/usr/bin/env bash
# The branch and bound side by side with cbc and glpsol: generated integer
# models and the small MIPLIB 3 instances, each solved by `tavo solve`, by
# `cbc MODEL.lp solve` and by `glpsol --lp MODEL.lp` on the same model
# (model text and CPLEX LP format written by bench/solve_gen).
#
#   bench/bb_bench.sh BUILD_DIR [VARS...]
#
# BUILD_DIR is a configured and built tree holding tavo and bench/solve_gen
# (this script builds nothing). VARS are the sizes of the generated models
# (default 10 15 20 25 30 variables, rows = VARS/2 + 2; general integers in
# boxes, binaries, a few continuous columns, a budget row, one goal). The
# MIPLIB instances come from TAVO_DATA_DIR (default: the data folder beside
# the checkout): those up to 150 rows and 400 columns, or all with
# BENCH_MIPLIB_ALL=1; BENCH_MIPLIB=0 leaves them out. Each run is limited to
# BENCH_LIMIT seconds (default 60; tavo gets SIGINT, which asks for forced
# termination and keeps the incumbent).
#
# Columns per solver: status, nodes (tavo: the "Branches" of its log, the
# node solves after the root that ended optimal; cbc: enumerated nodes after
# its root cuts; glpsol: subproblems done), nodes per second, wall time, peak
# resident memory, objective; then the time ratios tavo/cbc and tavo/glpsol.
set -euo pipefail

build=${1:?usage: bb_bench.sh BUILD_DIR [VARS...]}
shift
sizes=("$@")
[[ ${#sizes[@]} -gt 0 ]] || sizes=(10 15 20 25 30)
tavo="$build/tavo"
gen="$build/bench/solve_gen"
for f in "$tavo" "$gen"; do
  [[ -x $f ]] || { echo "bb_bench: $f is missing; build $build first" >&2; exit 66; }
done
have_cbc=0 have_glpk=0
command -v cbc >/dev/null && have_cbc=1
command -v glpsol >/dev/null && have_glpk=1
[[ $have_cbc == 1 || $have_glpk == 1 ]] || { echo "bb_bench: neither cbc nor glpsol is installed" >&2; exit 66; }
here=$(cd "$(dirname "$0")" && pwd)
data=${TAVO_DATA_DIR:-$here/../../shared/data}
limit=${BENCH_LIMIT:-60}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '%-10s %4s %4s %4s | %-4s %7s %8s %7s %5s %13s | %-4s %7s %8s %7s %5s %13s | %-4s %7s %8s %7s %5s %13s | %6s %6s\n' \
  model rows cols int tavo nodes nodes/s time_s MB objective cbc nodes nodes/s time_s MB objective \
  glp nodes nodes/s time_s MB objective t/cbc t/glp
printf '%s\n' "$(printf '%.0s-' {1..190})"

# Prints "status nodes nodes/s time MB objective" for one solver's run.
cell() {
  awk -v s="$1" -v n="$2" -v w="$3" -v r="$4" -v o="$5" 'BEGIN {
    printf "%-4s %7d %8.0f %7.2f %5.1f %13s", s, n, (w > 0 ? n / w : 0), w, r / 1024, (o == "" ? "-" : o) }'
}

bench_one() {
  local name=$1 base=$2
  local rows cols ints sense
  read -r rows cols ints sense <"$base.info"

  local t_wall t_rss t_exit t_nodes t_obj t_stat
  read -r t_wall t_rss t_exit < <("$gen" run "$base.tavo.log" -- \
    timeout --preserve-status -s INT -k 10 "$limit" "$tavo" solve "$base.tvd" --report log,rows)
  t_nodes=$(sed -n 's/.*Branches = \([0-9]*\).*/\1/p' "$base.tavo.log" | tail -1)
  t_obj=$(awk -F'\t' '$1 == "目標行1" && $2 == "BS" {print $3; exit}' "$base.tavo.log")
  case $t_exit in
    0) t_stat=opt ;; 2) t_stat=inf ;; 3) t_stat=unb ;; 4) t_stat=itl ;; 5) t_stat=err ;; 6) t_stat=stop ;;
    7) t_stat=none ;; *) t_stat="e$t_exit" ;;
  esac
  if [[ -n $t_obj && $sense == min ]]; then t_obj=$(awk -v v="$t_obj" 'BEGIN {printf "%.10g", -v}'); fi
  [[ $t_stat == opt || $t_stat == stop ]] || t_obj=""

  local c_cell="-" c_wall=0
  if [[ $have_cbc == 1 ]]; then
    local c_rss c_exit c_nodes c_obj c_stat
    read -r c_wall c_rss c_exit < <("$gen" run "$base.cbc.log" -- cbc "$base.lp" sec "$limit" solve)
    c_nodes=$(sed -n 's/^Enumerated nodes: *\([0-9]*\).*/\1/p' "$base.cbc.log" | tail -1)
    c_obj=$(sed -n 's/^Objective value: *\([-0-9.e+]*\).*/\1/p' "$base.cbc.log" | tail -1)
    if grep -q '^Result - Optimal' "$base.cbc.log"; then c_stat=opt
    elif grep -q '^Result - Problem proven infeasible' "$base.cbc.log"; then c_stat=inf
    elif grep -q '^Result - Stopped' "$base.cbc.log"; then c_stat=stop
    else c_stat="?"; fi
    [[ $c_stat == opt || $c_stat == stop ]] || c_obj=""
    [[ -n $c_obj ]] && c_obj=$(awk -v v="$c_obj" 'BEGIN {printf "%.10g", v}')
    c_cell=$(cell "$c_stat" "${c_nodes:-0}" "$c_wall" "$c_rss" "$c_obj")
  fi

  local g_cell="-" g_wall=0
  if [[ $have_glpk == 1 ]]; then
    local g_rss g_exit g_nodes g_obj g_stat
    read -r g_wall g_rss g_exit < <("$gen" run "$base.glpk.log" -- \
      glpsol --tmlim "$limit" --lp "$base.lp" -w "$base.raw")
    g_nodes=$(sed -n 's/^+ .*(\([0-9]*\); \([0-9]*\))$/\2/p' "$base.glpk.log" | tail -1)
    g_stat=$(awk '$1 == "s" && $2 == "mip" {print ($5 == "o") ? "opt" : ($5 == "f") ? "stop" : ($5 == "n") ? "inf" : "?"; exit}' "$base.raw" 2>/dev/null)
    g_obj=$(awk '$1 == "s" && $2 == "mip" {printf "%.10g", $6; exit}' "$base.raw" 2>/dev/null)
    [[ $g_stat == opt || $g_stat == stop ]] || g_obj=""
    g_cell=$(cell "${g_stat:-?}" "${g_nodes:-0}" "$g_wall" "$g_rss" "$g_obj")
  fi

  printf '%-10s %4d %4d %4d | %s | %s | %s | %6s %6s\n' "$name" "$rows" "$cols" "$ints" \
    "$(cell "$t_stat" "${t_nodes:-0}" "$t_wall" "$t_rss" "$t_obj")" "$c_cell" "$g_cell" \
    "$(awk -v a="$t_wall" -v b="$c_wall" 'BEGIN {if (b > 0) printf "%.2f", a / b; else printf "-"}')" \
    "$(awk -v a="$t_wall" -v b="$g_wall" 'BEGIN {if (b > 0) printf "%.2f", a / b; else printf "-"}')"
}

for vars in "${sizes[@]}"; do
  "$gen" mip "$vars" $((vars / 2 + 2)) 1 "$work/mip$vars"
  bench_one "gen$vars" "$work/mip$vars"
done

if [[ ${BENCH_MIPLIB:-1} != 0 && -d $data/miplib3 ]]; then
  for f in "$data"/miplib3/*.mps.gz; do
    name=$(basename "$f" .mps.gz)
    "$gen" mps "$f" "$work/$name"
    read -r rows cols _ <"$work/$name.info"
    if [[ ${BENCH_MIPLIB_ALL:-0} != 1 && ($rows -gt 150 || $cols -gt 400) ]]; then continue; fi
    bench_one "$name" "$work/$name"
  done
fi
