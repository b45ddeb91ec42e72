#!/usr/bin/env bash
# Memory of the whole program (offscreen, GS Reset waits skipped) after it
# has played every pad of the first kit, against the peak of a bare Qt window
# with one label in the same Japanese font, each the median of a few runs.
#   bench/program_memory.sh [build-dir] [runs] [pulse|jack]
# pulse: a private PulseAudio server with a null sink; the built-in synth
#        plays.
# jack:  a private JACK server on the dummy backend; the built-in synth plays
#        through it, and then a JACK MIDI peer is chosen instead ("no synth").
#        Every JACK client maps the server's shared graph, about 100 MB that
#        exist once on the machine however many clients map them; that share
#        is reported apart.
set -euo pipefail
build="${1:-build}"
runs="${2:-5}"
server="${3:-pulse}"
source "$(dirname "$0")/session.sh"
export QT_QPA_PLATFORM=offscreen
start_sound_server "$server" || { echo "usage: $0 [build-dir] [runs] [pulse|jack]" >&2; exit 2; }
prepare_probes "$server"

variants=(synth)
[ "$server" = jack ] && variants+=(port)
: > "$work/bare.txt"
for v in "${variants[@]}"; do : > "$work/$v.txt"; done
for _ in $(seq "$runs"); do
  /usr/bin/time -f "%M" -o "$work/t" "$build/bench/bare-window-probe" >/dev/null 2>&1
  cat "$work/t" >> "$work/bare.txt"
  for v in "${variants[@]}"; do
    "$work/$v/padscope-startup-probe" --play-kit 2>/dev/null | sed -n 's/^memory //p' >> "$work/$v.txt"
  done
done
bare=$(median < "$work/bare.txt")
echo "runs: $runs each, $server server; bare Qt window peak $(awk -v b="$bare" 'BEGIN {printf "%.1f", b / 1024}') MB"
for v in "${variants[@]}"; do
  peak=$(awk '{print $2}' "$work/$v.txt" | median)
  shared=$(awk '{print $6}' "$work/$v.txt" | median)
  case "$v" in synth) label="padscope, synth";; port) label="padscope, no synth";; esac
  awk -v l="$label" -v p="$peak" -v s="$shared" -v b="$bare" 'BEGIN {
    printf "%-20s after one kit: peak %6.1f MB (%+.1f MB); without shared memory %6.1f MB (%+.1f MB)\n",
           l, p / 1024, (p - b) / 1024, (p - s) / 1024, (p - s - b) / 1024 }'
done
