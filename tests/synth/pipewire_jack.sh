#!/usr/bin/env bash
# Runs a test program under PipeWire's JACK library (pw-jack), against a
# private PipeWire daemon in a runtime folder of its own, stopped at the end.
# Exits 77 (skipped) where PipeWire or its JACK library is not installed.
#   pipewire_jack.sh <test program> [arguments]
set -euo pipefail
if ! command -v pipewire >/dev/null || ! command -v pw-jack >/dev/null; then
  echo "pipewire or pw-jack is not installed (Debian: apt install pipewire pipewire-jack)"
  exit 77
fi
runtime="$(mktemp -d)"
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime" HOME="$runtime" JACK_NO_START_SERVER=1
# Under the sanitizers: what PipeWire's own libraries keep is not the test's.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(cd "$(dirname "$0")" && pwd)/pipewire_leaks.supp"
unset PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR JACK_DEFAULT_SERVER
pipewire >"$runtime/pipewire.log" 2>&1 &
daemon=$!
cleanup() {
  kill "$daemon" 2>/dev/null || true
  wait "$daemon" 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -S "$runtime/pipewire-0" ] && break; sleep 0.1; done
if [ ! -S "$runtime/pipewire-0" ]; then
  echo "the private PipeWire daemon did not start:"
  cat "$runtime/pipewire.log"
  exit 77
fi
pw-jack "$@"
