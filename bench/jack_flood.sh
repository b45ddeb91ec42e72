#!/usr/bin/env bash
# Thru under a flood: 1,000 and then 10,000 notes a second for 5 seconds
# into the real program's input with Thru on to a JACK port, beside the
# least JACK thru there is (jack-passthru, a C client), taken in turn on one
# private JACK server (dummy backend, 48 kHz, 256 frames, as the window
# tests run it); notes lost or duplicated by each. During the 1,000 notes a
# second the program's window (Xvfb and openbox) gets a click on a pad every
# 150 ms: press-to-port latency, from the click to the press's first
# message at the port.
#   bench/jack_flood.sh [build-dir] [rounds] [padscope executable]
# The executable, by default the build's, may be another build's (before a
# change) with its padscope-synth.so beside it.
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
rounds="${2:-2}"
program="${3:-$build/padscope}"
source "$(dirname "$0")/../testing/window_session.sh"
start_jack_session

# start_flood <name> <to-fd> <from-fd>: a jack-flood client, talked to
# through two named pipes.
start_flood() {
  mkfifo "$work/$1.in" "$work/$1.out"
  "$build/bench/jack/jack-flood" "$1" <"$work/$1.in" >"$work/$1.out" 2>"$work/$1.log" &
  pids+=($!)
  eval "exec $2>\"\$work/$1.in\" $3<\"\$work/$1.out\""
  read -r -t 10 -u "$3" line && [ "$line" = ready ] || { echo "jack-flood $1 did not start"; exit 1; }
}
start_flood progflood 6 7
start_flood baseflood 8 9
"$build/bench/jack/jack-passthru" basethru >/dev/null 2>&1 &
pids+=($!)
wait_for 10 sh -c "jack_lsp | grep -qx basethru:in" || { echo "jack-passthru did not start"; exit 1; }
jack_connect baseflood:output basethru:in
jack_connect basethru:out baseflood:input

copy_program
extra_settings=$'[input]\r\nport=progflood:output\r\nthru=1\r\n\r\n'
start_program_on_peer progflood
wait_for 10 sh -c "jack_lsp -c progflood:output | grep -q '^ '" \
  || { echo "the program did not watch the flood"; describe_program; exit 1; }
window="$(program_window)"

# flood <to-fd> <from-fd> <rate> [clicks]: one flood, its two result lines.
flood() {
  echo "go $3 5" >&"$1"
  if [ -n "${4:-}" ]; then
    sleep 0.5
    for _ in $(seq 25); do
      echo mark >&"$1"
      xdotool mousemove --window "$window" 472 57 click 1
      sleep 0.15
    done
  fi
  local counts latencies
  read -r -t 60 -u "$2" counts
  read -r -t 10 -u "$2" latencies
  echo "$counts|$latencies"
}
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for rate in 1000 10000; do
  for round in $(seq "$rounds"); do
    clicks=""; [ "$rate" = 1000 ] && clicks=1
    prog="$(flood 6 7 "$rate" $clicks)"
    base="$(flood 8 9 "$rate")"
    echo "$rate notes/s round $round: padscope ${prog%%|*}; jack-passthru ${base%%|*}"
    if [ -n "$clicks" ]; then
      lat="${prog#*|latencies}"
      awk -v l="$lat" 'BEGIN { n = split(l, v, " "); if (n == 0) { print "  no press reached the port"; exit }
        over = 0; for (i = 1; i <= n; i++) if (v[i] > 50) over++
        printf "  press-to-port: %d presses, median %.1f ms, max %.1f ms, over 50 ms: %d\n", n, v[int((n + 1) / 2)], v[n], over }'
    fi
  done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
wmctrl -c Padscope
wait "$app" 2>/dev/null || true
