#!/usr/bin/env bash
# Runs a test program with PipeWire's JACK library, as pw-jack does, against
# a private PipeWire daemon stopped at the end.
# Exits 77 (skipped) where PipeWire or its JACK library is not installed.
#   pipewire_jack.sh <test program> [arguments]
set -euo pipefail
if ! command -v pipewire >/dev/null || ! command -v pw-jack >/dev/null; then
  echo "pipewire or pw-jack is not installed (Debian: apt install pipewire pipewire-jack)"
  exit 77
fi
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/servers.sh"
trap stop_sound_servers EXIT
if ! start_pipewire_server; then
  echo "the private PipeWire daemon did not start:"
  sound_server_said
  exit 77
fi
export HOME="$servers_folder"
# Under the sanitizers: what PipeWire's own libraries keep is not the test's.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/pipewire_leaks.supp"
use_pipewire_jack
"$@"
