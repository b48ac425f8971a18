#!/usr/bin/env bash
# The simplex side by side with glpsol: generated LP families and the netlib
# problems, each solved by `tavo solve` and by `glpsol --simplex` on the same
# model (model text and CPLEX LP format written by bench/solve_gen).
#
#   bench/solve_bench.sh BUILD_DIR [SIZES...]
#
# BUILD_DIR is a configured and built tree holding tavo and bench/solve_gen
# (this script builds nothing). SIZES are the row counts of the generated
# families (default 100 200 400 800; each has twice as many columns, about
# eight terms per row, a budget row, one MAX goal). The netlib problems come
# from TAVO_DATA_DIR (default: the data folder beside the checkout): those up
# to 300 rows, or all of them with BENCH_NETLIB_ALL=1; BENCH_NETLIB=0 leaves
# them out. Each run is limited to BENCH_LIMIT seconds (default 300; tavo gets
# SIGINT, which asks for forced termination).
#
# Columns: iterations, wall time (the median of 5 runs for runs under a
# second), time per iteration, peak resident memory of
# the process (getrusage of the child), objective, and the time ratio
# tavo / glpsol. The "txtbk" columns run glpsol once more with --nosteep, the
# textbook pricing rule (most negative reduced cost) that TAVO also uses, so
# that iteration counts and time per iteration compare like with like; their
# ratio is tavo / that run. "agree" compares the objectives of tavo and the
# default glpsol run to a relative 1e-6.
set -euo pipefail

build=${1:?usage: solve_bench.sh BUILD_DIR [SIZES...]}
shift
sizes=("$@")
[[ ${#sizes[@]} -gt 0 ]] || sizes=(100 200 400 800)
tavo="$build/tavo"
gen="$build/bench/solve_gen"
for f in "$tavo" "$gen"; do
  [[ -x $f ]] || { echo "solve_bench: $f is missing; build $build first" >&2; exit 66; }
done
command -v glpsol >/dev/null || { echo "solve_bench: glpsol is not installed" >&2; exit 66; }
here=$(cd "$(dirname "$0")" && pwd)
data=${TAVO_DATA_DIR:-$here/../../shared/data}
limit=${BENCH_LIMIT:-300}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '%-10s %5s %5s | %-4s %7s %8s %9s %7s %16s | %-4s %7s %8s %9s %7s %16s | %7s | %7s %8s %9s %7s | %s\n' \
  model rows cols tavo iter time_s us/iter rss_MB objective glp iter time_s us/iter rss_MB objective ratio \
  txtbk_it time_s us/iter ratio check
printf '%s\n' "$(printf '%.0s-' {1..200})"

# Runs PROGRAM ARGS... with its output in LOG and prints "wall rss exit". A
# run shorter than a second is repeated (BENCH_REPEAT times in all, default
# 5) and the median wall time is printed, so that the few milliseconds of the
# small models are not at the mercy of one noisy process start.
timed_run() {
  local log=$1
  shift
  local wall rss code walls=()
  read -r wall rss code < <("$gen" run "$log" -- "$@")
  walls+=("$wall")
  if awk -v w="$wall" 'BEGIN {exit !(w < 1)}'; then
    local i
    for ((i = 1; i < ${BENCH_REPEAT:-5}; i++)); do
      read -r wall _ _ < <("$gen" run "$log" -- "$@")
      walls+=("$wall")
    done
  fi
  wall=$(printf '%s\n' "${walls[@]}" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}')
  echo "$wall $rss $code"
}

# One model: OUT.tvd, OUT.lp, OUT.info already written.
bench_one() {
  local name=$1 base=$2
  local rows cols ints sense
  read -r rows cols ints sense <"$base.info"

  # TAVO: exit status 0 is optimal; the log gives the iterations, the rows
  # report the first goal row's activity (a MIN goal's activity is the
  # objective negated).
  local t_wall t_rss t_exit
  read -r t_wall t_rss t_exit < <(timed_run "$base.tavo.log" \
    timeout --preserve-status -s INT -k 10 "$limit" "$tavo" solve "$base.tvd" --report log,rows)
  local t_iter t_obj t_stat
  t_iter=$(sed -n 's/^ *Iterations = \([0-9]*\).*/\1/p' "$base.tavo.log" | head -1)
  t_obj=$(awk -F'\t' '$1 == "目標行1" && $2 == "BS" {print $3; exit}' "$base.tavo.log")
  case $t_exit in
    0) t_stat=opt ;; 2) t_stat=inf ;; 3) t_stat=unb ;; 4) t_stat=itl ;; 6 | 7) t_stat=stop ;; *) t_stat="e$t_exit" ;;
  esac
  if [[ -n $t_obj && $sense == min ]]; then t_obj=$(awk -v v="$t_obj" 'BEGIN {printf "%.10g", -v}'); fi
  [[ $t_stat == opt ]] || t_obj=""

  local g_wall g_rss g_iter g_stat g_obj
  read -r g_wall g_rss g_iter g_stat g_obj < <(run_glpsol "$base" default)
  local x_wall x_rss x_iter x_stat x_obj
  read -r x_wall x_rss x_iter x_stat x_obj < <(run_glpsol "$base" textbook --nosteep)

  local check="-"
  if [[ -n $t_obj && $g_obj != - ]]; then
    check=$(awk -v a="$t_obj" -v b="$g_obj" 'BEGIN {d = a - b; if (d < 0) d = -d; s = b < 0 ? -b : b; if (s < 1) s = 1; print (d <= 1e-6 * s) ? "agree" : "DIFFER"}')
  fi
  awk -v n="$name" -v r="$rows" -v c="$cols" \
    -v ts="$t_stat" -v ti="${t_iter:-0}" -v tw="$t_wall" -v tr="$t_rss" -v to="${t_obj:--}" \
    -v gs="$g_stat" -v gi="$g_iter" -v gw="$g_wall" -v gr="$g_rss" -v go="$g_obj" \
    -v xi="$x_iter" -v xw="$x_wall" -v ck="$check" 'BEGIN {
      tpi = ti > 0 ? tw / ti * 1e6 : 0; gpi = gi > 0 ? gw / gi * 1e6 : 0; xpi = xi > 0 ? xw / xi * 1e6 : 0
      printf "%-10s %5d %5d | %-4s %7d %8.3f %9.1f %7.1f %16s | %-4s %7d %8.3f %9.1f %7.1f %16s | %7.2f | %7d %8.3f %9.1f %7.2f | %s\n",
        n, r, c, ts, ti, tw, tpi, tr / 1024, to, gs, gi, gw, gpi, gr / 1024, go, (gw > 0 ? tw / gw : 0),
        xi, xw, xpi, (xw > 0 ? tw / xw : 0), ck }'
}

# glpsol on BASE.lp with its default pricing or, with --nosteep, the textbook
# rule (the most negative reduced cost) that TAVO's pricing also follows.
# It runs under the same `timeout` wrapper as tavo, so that both times include
# the same extra process start.
# Prints: wall time, peak memory, iterations, status, objective (- if none).
run_glpsol() {
  local base=$1 tag=$2
  shift 2
  local wall rss code iter stat obj
  read -r wall rss code < <(timed_run "$base.glpk-$tag.log" \
    timeout --preserve-status -s INT -k 10 "$limit" glpsol --simplex "$@" --tmlim "$limit" --lp "$base.lp" -w "$base.$tag.raw")
  iter=$(sed -n 's/^[ *] *\([0-9][0-9]*\): obj = .*/\1/p' "$base.glpk-$tag.log" | tail -1)
  stat=$(awk '$1 == "s" && $2 == "bas" {print ($5 == "f" && $6 == "f") ? "opt" : "no"; exit}' "$base.$tag.raw" 2>/dev/null)
  obj=$(awk '$1 == "s" && $2 == "bas" {printf "%.10g", $7; exit}' "$base.$tag.raw" 2>/dev/null)
  [[ $stat == opt ]] || obj=""
  echo "$wall $rss ${iter:-0} ${stat:-?} ${obj:--}"
}

for rows in "${sizes[@]}"; do
  "$gen" lp "$rows" 1 "$work/lp$rows"
  bench_one "gen$rows" "$work/lp$rows"
done

if [[ ${BENCH_NETLIB:-1} != 0 && -d $data/netlib ]]; then
  for f in "$data"/netlib/*.mps.gz; do
    name=$(basename "$f" .mps.gz)
    "$gen" mps "$f" "$work/$name"
    read -r rows _ <"$work/$name.info"
    if [[ ${BENCH_NETLIB_ALL:-0} != 1 && $rows -gt 300 ]]; then continue; fi
    bench_one "$name" "$work/$name"
  done
fi
