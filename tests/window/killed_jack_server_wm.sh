#!/usr/bin/env bash
# The real program in a real window, playing to a JACK peer, when its JACK
# server is killed or stopped: a click on "音源の変更" then opens the built-in
# synth (with JACK gone, through a null ALSA device), and closing the window
# ends the program cleanly, with the synth saved as its port. With "at-start"
# the server is stopped before the program starts, which must then show its
# window and close all the same.
#   killed_jack_server_wm.sh <padscope executable> <SIGKILL|SIGTERM|SIGSTOP> [at-start]
set -euo pipefail
program="$1"
signal="${2:-SIGKILL}"
when="${3:-under-open-port}"
source "$(dirname "$0")/../../testing/window_session.sh"
start_jack_session
start_peer padscope-peer

copy_program
# Port 0 is the built-in synth, port 1 the peer.
printf '[window]\r\nHeight=600\r\nWidth=790\r\nTop=0\r\nLeft=0\r\n\r\n[dev]\r\nnum=1\r\ngakki=padscope-peer:input\r\n\r\n[gen]\r\nbank=4\r\n\r\n' \
  > "$work/padscope.ini"

signal_server() {
  kill "-$signal" "$sound_server_pid"
  [ "$signal" = SIGSTOP ] && return 0
  wait "$sound_server_pid" 2>/dev/null || true
  sound_server_pid=""
}
[ "$when" = at-start ] && signal_server
launch_program 60
if [ "$when" != at-start ]; then
  wait_for 10 grep -q "f0 41 10 42 12 40 00 7f 00 41 f7" "$work/padscope-peer.dump" \
    || { echo "the peer heard no GS Reset"; cat "$work/padscope-peer.dump"; exit 1; }
  signal_server
fi
if [ "$signal" = SIGKILL ]; then
  # Started once more under its name and stopped cleanly, the server takes
  # the killed one's entry out of JACK's registry.
  restart_jack_server || true
  stop_sound_server
fi

# Button129 "音源の変更": 680,384 (97 × 17) on the pads page, below the page
# tabs (window coordinates, as in port_menu_wm.sh).
window="$(program_window)"
if [ "$when" != at-start ]; then
  xdotool mousemove --window "$window" 728 417 click 1
  sleep 1
fi
wmctrl -c Padscope
status=0
wait "$app" || status=$?
if [ -n "$sound_server_pid" ]; then
  # Let the resumed server see the program's clients go before it stops.
  kill -CONT "$sound_server_pid"
  sleep 1
fi
if [ "$status" -ne 0 ]; then
  echo "the program ended with status $status"
  cat "$work/run.log"
  exit 1
fi
tr -d '\r' < "$work/padscope.ini" | grep -qx 'gakki=Padscope GS Synth' \
  || { echo "the port change did not reach the built-in synth:"; tr -d '\r' < "$work/padscope.ini"; exit 1; }
echo "after the JACK server's $signal ($when) the program went on and closed cleanly"
