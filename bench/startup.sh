#!/usr/bin/env bash
# Start-up time to the first shown window (offscreen, GS Reset waits skipped)
# of Padscope against a bare Qt window showing one label in the same Japanese
# font, run alternately in one session, and the peak memory of both.
#   bench/startup.sh [build-dir] [runs] [pulse|jack]
# pulse: a private PulseAudio server with a null sink, so that the built-in
#        synth is listed and opened (its audio starts only at a note, so no
#        audio thread runs during the measurement).
# jack:  a private JACK server on the dummy backend with one MIDI peer; also
#        measures the program with that hardware-like port chosen instead of
#        the synth ("no synth").
set -euo pipefail
build="${1:-build}"
runs="${2:-21}"
server="${3:-pulse}"
source "$(dirname "$0")/session.sh"
export QT_QPA_PLATFORM=offscreen
start_sound_server "$server" || { echo "usage: $0 [build-dir] [runs] [pulse|jack]" >&2; exit 2; }
prepare_probes "$server"

cp "$build/bench/bare-window-probe" "$work/"

measure() {  # prints "milliseconds-to-shown peak_kib"
  local start shown
  start=$(date +%s%N)
  shown=$("${as_desktop_user[@]}" /usr/bin/time -f "%M" -o "$work/t" "$1" 2>/dev/null | sed -n 's/^shown //p')
  echo "$(( (shown - start) / 1000000 )) $(cat "$work/t")"
}
variants=(synth bare)
[ "$server" = jack ] && variants+=(port)
for v in "${variants[@]}"; do : > "$work/$v.txt"; done
for _ in $(seq "$runs"); do
  measure "$work/synth/padscope-startup-probe" >> "$work/synth.txt"
  measure "$work/bare-window-probe" >> "$work/bare.txt"
  [ "$server" = jack ] && measure "$work/port/padscope-startup-probe" >> "$work/port.txt"
done
echo "runs: $runs each, alternating, $server server"
b_time=$(cut -d' ' -f1 "$work/bare.txt" | median); b_mem=$(cut -d' ' -f2 "$work/bare.txt" | median)
for v in "${variants[@]}"; do
  t=$(cut -d' ' -f1 "$work/$v.txt" | median); m=$(cut -d' ' -f2 "$work/$v.txt" | median)
  case "$v" in synth) label="padscope, synth";; port) label="padscope, no synth";; bare) label="bare Qt window";; esac
  awk -v l="$label" -v t="$t" -v m="$m" -v bt="$b_time" -v bm="$b_mem" 'BEGIN {
    printf "%-20s shown after %4d ms (%.2f x bare), peak %6.1f MB (%+.1f MB)\n", l, t, t / bt, m / 1024, (m - bm) / 1024 }'
done
