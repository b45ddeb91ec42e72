#!/usr/bin/env bash
# The real program watching a JACK MIDI source with Thru on to a JACK peer,
# while 40,000 incoming events pour in: the JACK server is killed meanwhile,
# and the window still closes within a second of being asked to.
#   killed_jack_under_flood_wm.sh <padscope executable> <midi_source.py>
# Exits 77 (skipped) when the X or JACK server cannot be started.
set -euo pipefail
program="$1"
source_script="$2"
source "$(dirname "$0")/../../testing/window_session.sh"
/usr/bin/python3 -c 'import jack' 2>/dev/null || skip "python3-jack-client is not installed"
start_jack_session

peer=floodout
start_peer "$peer"
coproc source_client { /usr/bin/python3 "$source_script" floodsrc 2>"$work/source.log"; }
pids+=("$source_client_PID")
exec 4>&"${source_client[1]}" 5<&"${source_client[0]}"
read -r -t 10 -u 5 line && [ "$line" = ready ] || { echo "the MIDI source did not start"; cat "$work/source.log"; exit 1; }

copy_program
extra_settings=$'[input]\r\nport=floodsrc:out\r\nthru=1\r\n\r\n'
start_program_on_peer "$peer"
wait_for 10 sh -c "jack_lsp -c floodsrc:out | grep -q '^ '" \
  || { echo "the program did not connect to the source"; describe_program; exit 1; }

echo "flood 20000" >&4
# Killed while the flood comes through.
wait_for 10 sh -c "[ \$(grep -c ':' '$work/$peer.dump') -ge 1000 ]" \
  || { echo "the flood did not come through"; exit 1; }
kill -KILL "$sound_server_pid"
wait "$sound_server_pid" 2>/dev/null || true
sound_server_pid=""

start=$(date +%s%N)
wmctrl -c Padscope
wait_for 5 sh -c "! wmctrl -l | grep -q ' Padscope\$'" || { echo "the window did not close"; describe_program; exit 1; }
closed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
wait_for 10 sh -c "! kill -0 $app" || { echo "the program did not end after its window closed"; exit 1; }
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || { echo "the program ended with status $status"; cat "$work/run.log"; exit 1; }
# A killed server is started once more and stopped cleanly, which clears
# what it left in JACK's registry.
restart_jack_server || true
stop_sound_server
echo "with the JACK server killed under a flood the window closed after $closed_ms ms"
[ "$closed_ms" -le 1000 ] || { echo "more than a second"; exit 1; }
