#!/usr/bin/env bash
# The cost of the desktop's progress window: one generated LP solved by
# `tavo solve` and by the progress window (bench/gui_progress_bench, offscreen,
# one message pump per simplex iteration, counters repainted at most about 30
# times a second), and by the same process with a port that shows nothing.
#
#   bench/gui_progress_bench.sh BUILD_DIR [ROWS] [RUNS] [SEED]
#
# BUILD_DIR holds tavo, bench/solve_gen and bench/gui_progress_bench (a build
# with the desktop program; this script builds nothing). ROWS (default 600)
# rows and twice as many columns; RUNS (default 3) runs of each, interleaved;
# the medians of wall and CPU time are compared. Settings are the defaults
# (an empty profile folder).
set -euo pipefail

build=${1:?usage: gui_progress_bench.sh BUILD_DIR [ROWS] [RUNS] [SEED]}
rows=${2:-600}
runs=${3:-3}
seed=${4:-1}
tavo="$build/tavo"
gen="$build/bench/solve_gen"
gui="$build/bench/gui_progress_bench"
for f in "$tavo" "$gen" "$gui"; do
  [[ -x $f ]] || { echo "gui_progress_bench: $f is missing; build $build first" >&2; exit 66; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
export QT_QPA_PLATFORM=offscreen
"$gen" lp "$rows" "$seed" "$work/model" >/dev/null

median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }

: >"$work/cli" ; : >"$work/window" ; : >"$work/plain"
TIMEFORMAT='%R %U'
for ((i = 1; i <= runs; i++)); do
  # tavo solve: the whole process, wall and user CPU.
  { time "$tavo" solve "$work/model.tvd" --report none >/dev/null 2>&1 || true; } 2>>"$work/cli"
  "$gui" "$work/model.tvd" | awk '{print $1, $2}' >>"$work/window"
  "$gui" "$work/model.tvd" --plain | awk '{print $1, $2}' >>"$work/plain"
  echo "run $i: tavo solve $(tail -1 "$work/cli")  window $(tail -1 "$work/window")  plain $(tail -1 "$work/plain")" >&2
done

cli_wall=$(cut -d' ' -f1 "$work/cli" | median); cli_cpu=$(cut -d' ' -f2 "$work/cli" | median)
win_wall=$(cut -d' ' -f1 "$work/window" | median); win_cpu=$(cut -d' ' -f2 "$work/window" | median)
pl_wall=$(cut -d' ' -f1 "$work/plain" | median); pl_cpu=$(cut -d' ' -f2 "$work/plain" | median)
iters=$("$tavo" solve "$work/model.tvd" --report log 2>/dev/null | sed -n 's/.*Iterations = //p' | tail -1)

printf 'model: %s rows, %s columns, %s iterations; %s runs each, medians\n' "$rows" "$((2 * rows))" "${iters:-?}" "$runs"
printf '%-28s %9s %9s\n' "" wall_s cpu_s
printf '%-28s %9.3f %9.3f\n' "tavo solve" "$cli_wall" "$cli_cpu"
printf '%-28s %9.3f %9.3f\n' "progress window" "$win_wall" "$win_cpu"
printf '%-28s %9.3f %9.3f\n' "same process, no window" "$pl_wall" "$pl_cpu"
awk -v a="$win_wall" -v b="$cli_wall" -v c="$win_cpu" -v d="$cli_cpu" -v e="$win_cpu" -v f="$pl_cpu" 'BEGIN {
  printf "ratio window / tavo solve: wall %.3f, cpu %.3f\n", a / b, c / d
  printf "ratio window / no window (same process): cpu %.3f\n", e / f
}'
