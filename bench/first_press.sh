#!/usr/bin/env bash
# Press-to-first-sample of the built-in synth for the first press after its
# audio stopped while idle, against a private sound server: a JACK server on
# the dummy backend without playback ports (the probe offers its own, so the
# first sample is seen where the server gets it), or PulseAudio with a null
# sink (the time until the audio runs again, plus one period). Then the time
# the caller's thread spends closing, reopening and destroying the synth port.
#   bench/first_press.sh [build-dir] [jack|pulse] [rounds]
set -euo pipefail
build="${1:-build}"
server="${2:-jack}"
rounds="${3:-15}"
work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export JACK_NO_START_SERVER=1 XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
mkdir -p "$XDG_RUNTIME_DIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
case "$server" in
  pulse)
    printf 'load-module module-null-sink sink_name=null\nload-module module-native-protocol-unix\nset-default-sink null\n' > "$work/server.pa"
    pulseaudio -n -F "$work/server.pa" --daemonize=no --exit-idle-time=-1 --disallow-exit \
      --log-target=stderr >"$work/server.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/pulse/native" ] && break; sleep 0.1; done
    ;;
  jack)
    export JACK_DEFAULT_SERVER="padscope-press-$$"
    jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 128 -P 0 >"$work/server.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done
    ;;
  *) echo "usage: $0 [build-dir] [jack|pulse] [rounds]" >&2; exit 2 ;;
esac
"$build/bench/synth/first_press" "$rounds"
"$build/bench/synth/caller_blocking" "$rounds" 2>/dev/null
