#!/usr/bin/env bash
# The real program started again and again on a JACK peer's port while two
# busy loops load the machine: at every start the peer hears the GS Reset
# that goes out right after the port opens and both Program Changes that
# follow it, each once and in that order.
#   first_message_wm.sh <padscope executable> [starts]
# Exits 77 (skipped) when the X or JACK server cannot be started.
set -euo pipefail
program="$1"
starts="${2:-5}"
source "$(dirname "$0")/../../testing/window_session.sh"

start_jack_session
peer=firstpeer
start_peer "$peer"
copy_program

gs_reset="f0 41 10 42 12 40 00 7f 00 41 f7"
close_program() {
  wmctrl -c Padscope
  wait_for 30 sh -c "! kill -0 $app" || { echo "the program did not close"; exit 1; }
}

# The first start finds the peer's place in the port list and remembers it.
start_program_on_peer "$peer"
close_program

# events_since <line>: the events the peer printed after that line of its
# dump, one a line, as their bytes.
dump_lines() { wc -l < "$work/$peer.dump"; }
events_since() { tail -n +"$(( $1 + 1 ))" "$work/$peer.dump" | sed -nE 's/^[[:space:]]*-?[0-9]+:[[:space:]]+//p'; }

# A start on the remembered port sends the GS Reset, then the Program Change
# of the kit and the one of the map that is checked.
whole_start="$gs_reset
c9 00
c9 00"
for _ in 1 2; do
  sh -c 'while :; do :; done' &
  pids+=($!)
done
lost=0
for start in $(seq "$starts"); do
  before="$(dump_lines)"
  launch_program 60
  # The second Program Change is the sign that the start is over.
  wait_for 30 sh -c "[ \$(tail -n +$(( before + 1 )) '$work/$peer.dump' | grep -cE ':[[:space:]]+c9 00\$') -ge 2 ]" \
    || { echo "start $start: the peer heard $(events_since "$before" | wc -l) events, not both Program Changes:"
         events_since "$before"; describe_program; exit 1; }
  heard="$(events_since "$before")"
  close_program
  if [ "$heard" != "$whole_start" ]; then
    if [ "$heard" = "$(printf 'c9 00\nc9 00')" ]; then
      lost=$(( lost + 1 ))
    else
      echo "start $start: the peer heard, instead of the GS Reset and two Program Changes:"
      echo "$heard"
      exit 1
    fi
  fi
done
echo "GS Reset lost at $lost of $starts starts under two busy loops"
[ "$lost" -eq 0 ]
