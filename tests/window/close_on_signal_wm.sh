#!/usr/bin/env bash
# The real program in a real window under a window manager, asked to end by
# SIGTERM (the session logging out), SIGINT (Ctrl+C) or SIGHUP (the terminal
# closing): it closes as its close button does and ends with status 0, and
# the settings file holds the map chosen during the run with the window's
# geometry and port. Without a change, the file stays byte for byte the same.
#   close_on_signal_wm.sh <padscope executable>
set -euo pipefail
program="$1"
source "$(dirname "$0")/../../testing/window_session.sh"

copy_program
settings() {  # settings <map index>
  printf '[window]\r\nHeight=600\r\nWidth=790\r\nTop=70\r\nLeft=90\r\n\r\n[dev]\r\nnum=0\r\ngakki=Padscope GS Synth\r\n\r\n[gen]\r\nbank=%d\r\n\r\n' "$1"
}

# run_and_signal <signal> <click|none>: starts on map SC-88, with "click"
# chooses SC-55 on the second page, then sends the signal.
run_and_signal() {
  settings 2 > "$work/padscope.ini"
  launch_program 20
  sleep 0.5  # let the window manager frame it
  if [ "$2" = click ]; then
    window="$(program_window)"
    xdotool mousemove --window "$window" 100 10 click 1
    sleep 0.5
    xdotool mousemove --window "$window" 630 393 click 1
    sleep 0.5
  fi
  kill -s "$1" "$app"
  wait_for 20 sh -c "! kill -0 $app" || { echo "SIG$1: the program did not end"; exit 1; }
  status=0
  wait "$app" || status=$?
  [ "$status" -eq 0 ] || { echo "SIG$1: the program ended with status $status"; describe_program; exit 1; }
}

# expect_settings <what ran> <map index>
expect_settings() {
  settings "$2" > "$work/expected.ini"
  if ! cmp -s "$work/padscope.ini" "$work/expected.ini"; then
    echo "$1 left the settings file:"
    diff <(tr -d '\r' < "$work/expected.ini") <(tr -d '\r' < "$work/padscope.ini") || true
    exit 1
  fi
}

for signal in TERM INT HUP; do
  run_and_signal "$signal" click
  expect_settings "SIG$signal after choosing SC-55" 1
done
run_and_signal TERM none
expect_settings "SIGTERM without a change" 2
echo "SIGTERM, SIGINT and SIGHUP closed the window and saved its settings"
