#!/usr/bin/env bash
# The real program in a real window under a window manager: a start and a
# close with no change leave the settings file byte for byte the same, so the
# saved outer frame gives back the same window.
#   outer_geometry_wm.sh <padscope executable>
set -euo pipefail
program="$1"
work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

wait_for() {  # wait_for <seconds> <command...>
  local limit=$(( $1 * 10 )); shift
  for _ in $(seq "$limit"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 10 test -s "$work/display" || { echo "Xvfb did not start: skipped"; exit 77; }
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &
pids+=($!)
wait_for 10 wmctrl -m || { echo "the window manager did not start: skipped"; exit 77; }

# No sound here: a null ALSA device lets the built-in synth open quietly.
mkdir -p "$work/home"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$work/home/.asoundrc"
export HOME="$work/home"
cp "$program" "$work/padscope"
printf '[window]\r\nHeight=600\r\nWidth=790\r\nTop=70\r\nLeft=90\r\n\r\n[dev]\r\nnum=0\r\ngakki=Padscope GS Synth\r\n\r\n[gen]\r\nbank=2\r\n\r\n' \
  > "$work/padscope.ini"
cp "$work/padscope.ini" "$work/expected.ini"

for run in 1 2 3; do
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
echo "3 runs left the settings file unchanged"
