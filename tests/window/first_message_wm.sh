#!/usr/bin/env bash
# The real program started again and again on a JACK peer's port while two
# busy loops load the machine: at every start the peer hears the GS Reset
# that goes out right after the port opens, not only the Program Change that
# follows it 100 ms later.
#   first_message_wm.sh <padscope executable> [starts]
# Exits 77 (skipped) when the X or JACK server cannot be started.
set -euo pipefail
program="$1"
starts="${2:-5}"
source "$(dirname "$0")/wm_session.sh"

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
heard_before="$(events "$peer" "$gs_reset")"
changes_before="$(events "$peer" 'c9 00')"

for _ in 1 2; do
  sh -c 'while :; do :; done' &
  pids+=($!)
done
lost=0
for start in $(seq "$starts"); do
  launch_program 60
  # The start-up's Program Change is the sign that the start is over.
  wait_for 30 sh -c "[ \$(grep -cE ':[[:space:]]+c9 00\$' '$work/$peer.dump') -ge $(( changes_before + start )) ]" \
    || { echo "start $start: the peer heard no Program Change"; describe_program; exit 1; }
  close_program
  [ "$(events "$peer" "$gs_reset")" -ge $(( heard_before + start - lost )) ] || lost=$(( lost + 1 ))
done
echo "GS Reset lost at $lost of $starts starts under two busy loops"
[ "$lost" -eq 0 ]
