#!/usr/bin/env bash
# CPU used by Padscope and its sound server while the built-in synth is open
# and nothing plays: the program runs offscreen against a private PulseAudio
# server with a null sink (or a JACK server on the dummy backend), settles for
# a few seconds, then both processes' CPU time is read over 10 seconds.
# "played" runs the synth alone (bench/synth/synth_memory) and plays one kit
# through it first, so that the figure is the idle cost after playing.
#   bench/idle_cpu.sh [build-dir] [pulse|jack] [settle-seconds] [program|played]
set -euo pipefail
build="${1:-build}"
server="${2:-pulse}"
settle="${3:-5}"
what="${4:-program}"
window=10
source "$(dirname "$0")/session.sh"
export QT_QPA_PLATFORM=offscreen
start_sound_server "$server" \
  || { echo "usage: $0 [build-dir] [pulse|jack] [settle-seconds] [program|played]" >&2; exit 2; }

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
# The server's own cost first, with nothing connected: a JACK server runs its
# cycle whether or not a client is there.
sleep 2
a0=$(cpu_ticks "$server_pid"); sleep "$window"; a1=$(cpu_ticks "$server_pid")

if [ "$what" = played ]; then
  # One kit takes about 3 s to play; the audio stops 3 s after the last note.
  "$build/bench/synth/synth_memory" --audio --linger $((settle + window + 5)) >"$work/program.log" 2>&1 &
  program_pid=$!
  settle=$((settle + 3))
else
  # The program keeps its settings beside itself: run a copy, on the built-in synth.
  copy_program "$build/padscope" "$work"
  printf '[dev]\r\nnum=0\r\ngakki=Padscope GS Synth\r\n\r\n' > "$work/padscope.ini"
  "$work/padscope" >"$work/program.log" 2>&1 &
  program_pid=$!
fi
pids+=("$program_pid")

sleep "$settle"
p0=$(cpu_ticks "$program_pid"); s0=$(cpu_ticks "$server_pid")
sleep "$window"
p1=$(cpu_ticks "$program_pid"); s1=$(cpu_ticks "$server_pid")
awk -v p=$((p1 - p0)) -v s=$((s1 - s0)) -v a=$((a1 - a0)) -v hz="$hz" -v w="$window" -v name="$server" 'BEGIN {
  printf "over %d s idle (%s): program %.2f s CPU (%.1f %% of a core), server %.2f s (%.1f %%), together %.1f %%\n",
         w, name, p / hz, 100 * p / hz / w, s / hz, 100 * s / hz / w, 100 * (p + s) / hz / w
  printf "the server alone, before: %.1f %%; what the program adds to both: %.1f %%\n",
         100 * a / hz / w, 100 * (p + s - a) / hz / w }'
