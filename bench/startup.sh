#!/usr/bin/env bash
# Start-up time to the first shown window (offscreen, GS Reset waits skipped)
# of Padscope against a bare Qt window showing one label in the same Japanese
# font, run alternately in one session, and the peak memory of both.
#   bench/startup.sh [build-dir] [runs] [pulse|jack|both]
# pulse: a private PulseAudio server with a null sink, so that the built-in
#        synth is listed and opened (its audio starts only at a note, so no
#        audio thread runs during the measurement).
# jack:  a private JACK server on the dummy backend with one MIDI peer; also
#        measures the program with that hardware-like port chosen instead of
#        the synth ("no synth").
# both:  both servers at once, and the starts on JACK set against the start
#        on PulseAudio taken in turn with them: first with no other MIDI
#        client on the JACK server, then with the peer.
set -euo pipefail
build="${1:-build}"
runs="${2:-21}"
server="${3:-pulse}"
source "$(dirname "$0")/session.sh"
export QT_QPA_PLATFORM=offscreen
cp "$build/bench/bare-window-probe" "$work/"
if [ "$server" = both ]; then
  start_sound_server pulse
  pids+=("$server_pid")  # stopped with the benchmark's own clients
  sound_server_pid=""
  start_sound_server jack
fi

measure() {  # measure <program> [env assignment...]: prints "milliseconds-to-shown peak_kib"
  local start shown program="$1"; shift
  start=$(date +%s%N)
  shown=$(env "$@" "${as_desktop_user[@]}" /usr/bin/time -f "%M" -o "$work/t" "$program" 2>/dev/null | sed -n 's/^shown //p')
  echo "$(( (shown - start) / 1000000 )) $(cat "$work/t")"
}

if [ "$server" = both ]; then
  # round <phase> <variant...>: the variants in turn, $runs times.
  round() {
    local phase="$1" v; shift
    for v in "$@"; do : > "$work/$phase-$v.txt"; done
    for _ in $(seq "$runs"); do
      for v in "$@"; do
        case "$v" in
          bare) measure "$work/bare-window-probe" ;;
          pulse) measure "$work/synth/padscope-startup-probe" JACK_DEFAULT_SERVER=padscope-absent ;;
          jack) measure "$work/synth/padscope-startup-probe" ;;
          port) measure "$work/port/padscope-startup-probe" ;;
        esac >> "$work/$phase-$v.txt"
      done
    done
    local pulse_time t
    pulse_time=$(cut -d' ' -f1 "$work/$phase-pulse.txt" | median)
    for v in "$@"; do
      t=$(cut -d' ' -f1 "$work/$phase-$v.txt" | median)
      case "$v" in bare) label="bare Qt window";; pulse) label="synth, PulseAudio";; jack) label="synth, JACK";;
        port) label="JACK port chosen";; esac
      awk -v l="$label" -v t="$t" -v p="$pulse_time" 'BEGIN { printf "  %-18s shown after %4d ms (%.2f x PulseAudio)\n", l, t, t / p }'
    done
  }
  prepare_probes pulse
  echo "runs: $runs each, in turn; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "no other MIDI client on the JACK server:"
  round alone bare pulse jack
  prepare_probes jack
  echo "with a MIDI peer on the JACK server:"
  round peer bare pulse jack port
  echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
  exit 0
fi
start_sound_server "$server" || { echo "usage: $0 [build-dir] [runs] [pulse|jack|both]" >&2; exit 2; }
prepare_probes "$server"
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
