#!/usr/bin/env bash
# Press-to-first-sample of the built-in synth for the first press after its
# audio stopped while idle, against a private sound server: a JACK server on
# the dummy backend without playback ports (the probe offers its own, so the
# first sample is seen where the server gets it), or PulseAudio with a null
# sink (the time until the audio runs again, plus one period). Then the time
# the caller's thread spends closing, reopening and destroying the synth port.
#   bench/first_press.sh [build-dir] [jack|pulse] [rounds]
# Through JACK both ways: the output kept running (the default) and stopped;
# then the first press after each kit change, STANDARD 1 and TR-909 in turn.
set -euo pipefail
build="${1:-build}"
server="${2:-jack}"
rounds="${3:-15}"
source "$(dirname "$0")/session.sh"
start_sound_server "$server" -P 0 \
  || { echo "usage: $0 [build-dir] [jack|pulse] [rounds]" >&2; exit 2; }
"$build/bench/synth/first_press" "$rounds"
[ "$server" = jack ] && "$build/bench/synth/first_press" "$rounds" 300 stop
[ "$server" = jack ] && "$build/bench/synth/first_press" "$rounds" 300 kit
"$build/bench/synth/caller_blocking" "$rounds" 2>/dev/null
