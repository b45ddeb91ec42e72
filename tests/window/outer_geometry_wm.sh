#!/usr/bin/env bash
# The real program in a real window under a window manager: a start and a
# close with no change leave the settings file byte for byte the same, so the
# saved outer frame gives back the same window; so do they with drum sound
# edits kept in the file.
#   outer_geometry_wm.sh <padscope executable>
set -euo pipefail
program="$1"
source "$(dirname "$0")/../../testing/window_session.sh"

copy_program
plain=$'[window]\r\nHeight=600\r\nWidth=790\r\nTop=70\r\nLeft=90\r\n\r\n[dev]\r\nnum=0\r\ngakki=Padscope GS Synth\r\n\r\n[gen]\r\nbank=2\r\n\r\n'
edited=$'[drumsound]\r\n2.0=\r\n2.25=36:pitch=52,pan=1 38:level=90\r\n4.0=42:delay=0\r\n\r\n'
for run in 1 2 3 4; do
  case "$run" in
    1) printf '%s' "$plain" > "$work/expected.ini" ;;
    3) printf '%s%s' "$plain" "$edited" > "$work/expected.ini" ;;
  esac
  cp "$work/expected.ini" "$work/padscope.ini"
  "$work/padscope" >"$work/run$run.log" 2>&1 &
  app=$!
  pids+=("$app")
  wait_for 20 sh -c "wmctrl -l | grep -q ' Padscope$'" || { echo "run $run: no window"; exit 1; }
  sleep 0.5  # let the window manager frame it
  wmctrl -c Padscope
  wait_for 20 sh -c "! kill -0 $app" || { echo "run $run: the program did not close"; exit 1; }
  if ! cmp -s "$work/padscope.ini" "$work/expected.ini"; then
    echo "run $run changed the settings file:"
    diff <(tr -d '\r' < "$work/expected.ini") <(tr -d '\r' < "$work/padscope.ini") || true
    exit 1
  fi
done
echo "4 runs, two with drum sound edits, left the settings file unchanged"
