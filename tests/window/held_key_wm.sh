#!/usr/bin/env bash
# The real program in a real window under a window manager, playing into a
# JACK peer: a key held on a focused pad while the X server auto-repeats it
# sounds the note once and stops it once, five holds in a row. Before that, a
# key typed right after start reaches the first kit button; after them, a
# place found with Ctrl+F and chosen with Enter sends only its kit.
#   held_key_wm.sh <padscope executable>
# Exits 77 (skipped) when the X or JACK server cannot be started.
set -euo pipefail
program="$1"
source "$(dirname "$0")/../../testing/window_session.sh"

start_jack_session
peer=heldpeer
start_peer "$peer"

copy_program

start_program_on_peer "$peer"

window="$(program_window)"
xdotool windowactivate --sync "$window" 2>/dev/null || true
wait_for 10 active_window_is Padscope || { echo "the window did not take the focus"; describe_program; exit 1; }

# The first kit button has the focus: a typed character chooses its kit,
# which sends the program change of kit 1.
before="$(events "$peer" 'c9 00')"
xdotool key x
program_changed() { [ "$(events "$peer" 'c9 00')" -gt "$before" ]; }
wait_for 10 program_changed || true
settle 0.5
after="$(events "$peer" 'c9 00')"
if [ "$after" -ne $(( before + 1 )) ]; then
  echo "a key typed after start did not reach the first kit button ($before then $after program changes)"
  exit 1
fi

# Back from the first kit button to the last pad, Button128 (note 127).
xdotool key shift+Tab
sleep 0.3
xdotool key shift+Tab
sleep 1
start="$(wc -l < "$work/$peer.dump")"

for hold in 1 2 3 4 5; do
  xdotool keydown a
  sleep 1.5
  xdotool keyup a
  sleep 0.5
done
sleep 0.5

# Ctrl+F on the pad opens "探す", and a place chosen there with Enter sends
# its kit's program change (TR-909, 0B) and nothing else: the shortcut plays
# no pad, and Enter's release lands on the pad the place focused.
found_from="$(wc -l < "$work/$peer.dump")"
since_find() { tail -n +"$(( found_from + 1 ))" "$work/$peer.dump" | grep -oE ':([[:space:]]+[0-9a-f]{2})+' | tr -s ' \t' ' '; }
xdotool key ctrl+f
wait_for 10 active_window_is "探す" || { echo "Ctrl+F opened no find dialog"; describe_program; exit 1; }
xdotool type --delay 20 tr909claps
xdotool key Return
wait_for 10 active_window_is Padscope \
  || { echo "Enter in the find dialog did not bring the window back"; describe_program; exit 1; }
settle 1
if [ "$(since_find | tr '\n' ' ')" != ": c9 0b " ]; then
  echo "Ctrl+F, a search and Enter sent: $(since_find | tr '\n' ' ')"
  echo "expected:                        : c9 0b"
  exit 1
fi

wmctrl -c Padscope
wait_for 20 sh -c "! kill -0 $app" || { echo "the program did not close"; exit 1; }

# Note On and velocity-0 lines for note 127 after the holds began, in order.
played="$(tail -n +"$(( start + 1 ))" "$work/$peer.dump" | grep -oE ':[[:space:]]+99 7f [0-9a-f]{2}' \
  | awk '{ print ($4 == "00") ? "off" : "on" }' | tr '\n' ' ' || true)"
expected="on off on off on off on off on off "
if [ "$played" != "$expected" ]; then
  echo "five holds of a key on pad 128 sent: ${played:-nothing}"
  echo "expected:                            $expected"
  exit 1
fi
echo "five holds: one Note On and one release each"
