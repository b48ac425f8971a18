#!/bin/sh
# Makes the README's and the manual's pictures of the desktop program again:
# the main window with a model, the progress window during a run, the results
# dialog, the settings dialog and the marks of data-error lines.
#
#   scripts/screenshots.sh [BUILD_DIR]       (default: build)
#
# Needs a build with tavo-gui and bench/solve_gen (for a model large enough
# to catch the progress window), and from Debian: xvfb, xdotool, imagemagick,
# x11-utils, fonts-ipafont-gothic. Runs on its own X display with a fresh
# profile, so neither the user's screen nor settings are touched. Writes
# docs/images/*.png.
set -eu

cd "$(dirname "$0")/.."
BUILD=${1:-build}
GUI=$BUILD/tavo-gui
OUT=docs/images
for tool in Xvfb xdotool import xwininfo; do
  command -v $tool >/dev/null || { echo "missing: $tool (apt-get install xvfb xdotool imagemagick x11-utils)" >&2; exit 1; }
done
[ -x "$GUI" ] || { echo "no $GUI: build the desktop program first" >&2; exit 1; }
mkdir -p "$OUT"

WORK=$(mktemp -d)
DISPLAY_NUMBER=${SCREENSHOT_DISPLAY:-97}
export DISPLAY=:$DISPLAY_NUMBER
export XDG_CONFIG_HOME=$WORK/config
export XDG_RUNTIME_DIR=$WORK/runtime
# The optimise command runs under a Japanese locale only.
export LANG=ja_JP.UTF-8 LC_ALL=
export QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME/Marvolen" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# The main window at a known place and size.
printf '[Window size]\nRect=0000 0000 0860 0600\nicon=0\nmax=0\n' > "$XDG_CONFIG_HOME/Marvolen/TAVO.ini"

Xvfb ":$DISPLAY_NUMBER" -screen 0 1100x720x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
GUI_PID=
cleanup() {
  [ -n "$GUI_PID" ] && kill "$GUI_PID" 2>/dev/null || true
  kill "$XVFB" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT INT TERM
sleep 1

# Waits for a window of the program whose title is exactly $1; prints its id.
# (Titles are compared as xdotool getwindowname prints them: search --name
# would see Japanese titles in the X server's older text encoding.)
wait_window() {
  i=0
  while [ $i -lt 300 ]; do
    for id in $(xdotool search --onlyvisible --pid "$GUI_PID" 2>/dev/null || true); do
      if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ]; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.2
    i=$((i + 1))
  done
  echo "window '$1' did not appear" >&2
  return 1
}

shoot() {  # window id, file name
  sleep 0.6
  import -window "$1" "$OUT/$2"
  echo "$OUT/$2"
}

# Focuses the window and types keys into it.
keys() {
  win=$1
  shift
  sleep 0.8
  xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
  sleep 0.3
  xdotool key --delay 80 "$@"
}

start() {
  "$GUI" "$@" >/dev/null 2>&1 &
  GUI_PID=$!
}

stop() {
  kill "$GUI_PID" 2>/dev/null || true
  wait "$GUI_PID" 2>/dev/null || true
  GUI_PID=
}

# 1. The main window with a model.
cp examples/goals.tvd "$WORK/goals.tvd"
start "$WORK/goals.tvd"
MAIN=$(wait_window "goals.tvd - TAVO")
shoot "$MAIN" main-window.png

# 2. The settings dialog (the menu-bar command Alt+I).
keys "$MAIN" alt+i
DLG=$(wait_window "TAVO初期値設定")
shoot "$DLG" settings-dialog.png
keys "$DLG" Escape

# 3. The results dialog after a run (Alt+G optimises, Enter closes the
#    closing message, Alt+O shows the results).
keys "$MAIN" alt+g
BOX=$(wait_window "TAVO")
keys "$BOX" Return
sleep 0.5
keys "$MAIN" alt+o
RES=$(wait_window "TAVO計算結果出力")
xdotool windowsize "$RES" 860 560 2>/dev/null || true
# The rows tab (the third): clicked, as the tabs take no keyboard focus.
xdotool mousemove --window "$RES" 335 24 click 1
sleep 0.3
xdotool mousemove 1090 710
shoot "$RES" results-dialog.png
keys "$RES" Escape
stop

# 4. Data errors and a warning marked in the editor.
cat > "$WORK/errors.tvd" <<'MODEL'
TITLE SLIPS
MAX 3X + 2Y
ST
C1) X + Y <= 4O
C2) X + 3Y-Z <= 6
END
FIX Z 2
MODEL
start "$WORK/errors.tvd"
MAIN=$(wait_window "errors.tvd - TAVO")
keys "$MAIN" alt+g
BOX=$(wait_window "TAVO")
keys "$BOX" Return
sleep 0.5
keys "$MAIN" F4
shoot "$MAIN" error-lines.png
stop

# 5. The progress window during a long run (a generated 600-row LP).
if [ -x "$BUILD/bench/solve_gen" ]; then
  "$BUILD/bench/solve_gen" lp 600 1 "$WORK/large" >/dev/null
  start "$WORK/large.tvd"
  MAIN=$(wait_window "large.tvd - TAVO")
  keys "$MAIN" alt+g
  PROG=$(wait_window "TAVO最適化計算状態")
  sleep 2
  shoot "$PROG" progress-window.png
  stop
else
  echo "no $BUILD/bench/solve_gen: progress window not shot" >&2
fi
