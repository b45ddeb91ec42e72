#!/usr/bin/env bash
# The private sound servers of the tests and benchmarks: JACK on the dummy
# backend, PulseAudio with a null sink, PipeWire with its JACK library. Each
# is started and stopped here, one way, whoever asks for it.
#
# Run, it replaces itself with one server in the foreground, so that the
# caller holds the server's own process (the C++ fixtures start them so):
#   servers.sh jack <name> [dummy driver option...]
#   servers.sh pulse <private runtime folder>
#   servers.sh pipewire <private runtime folder>
# Sourced, it starts them in the background for a script:
#   start_jack_server [dummy driver option...], start_pulse_server,
#   start_pipewire_server, each false when the server does not come up;
#   use_pipewire_jack: this script's JACK clients use PipeWire's library;
#   start_jack_peer <client> <file>: jack_midi_dump printing to that file;
#   stop_sound_server: the server alone (also after a kill, see below);
#   stop_sound_servers: the clients that were added, then the server.
# The caller's EXIT trap calls stop_sound_servers.

# Synchronous mode: without real-time scheduling a loaded machine makes
# clients miss cycles, and in the default asynchronous mode MIDI written in a
# missed cycle never reaches its peer; in sync mode the cycle waits for them.
# The client time-out is how long the server waits for a client to take part
# in a graph change (ten times it for activation), and also how long a late
# client may hold back a new connection: generous for a loaded machine, yet
# well under the second and a half the program waits for a connection to
# carry messages.
run_jack_server() {
  exec jackd -n "$1" --no-realtime -S -t 1000 -d dummy -r 48000 -p 256 "${@:2}"
}
# Its socket where a client of that runtime folder looks first; a null sink
# is the default sink, and the server never leaves on its own.
run_pulse_server() {
  mkdir -p -m 700 "$1/pulse"
  export XDG_RUNTIME_DIR="$1" HOME="$1"
  exec pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --log-target=stderr --log-level=0 \
    -L "module-null-sink sink_name=null" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$1/pulse/native"
}
run_pipewire_server() {
  unset PIPEWIRE_RUNTIME_DIR PIPEWIRE_REMOTE
  export XDG_RUNTIME_DIR="$1" HOME="$1"
  exec pipewire
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  kind="${1:-}"
  shift || true
  case "$kind" in
    jack) run_jack_server "$@" ;;
    pulse) run_pulse_server "$@" ;;
    pipewire) run_pipewire_server "$@" ;;
  esac
  echo "usage: $0 jack <name> [driver option...] | pulse <folder> | pipewire <folder>" >&2
  exit 2
fi

servers_script="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/servers.sh"
servers_folder="$(mktemp -d)"
chmod 700 "$servers_folder"
sound_server_pid=""
sound_server_log="$servers_folder/server.log"
jack_server_name=""
sound_clients=()

# Time limits grow by PADSCOPE_TIME_FACTOR (a whole number, set for the
# sanitizer build), which is slower by several times.
time_factor="${PADSCOPE_TIME_FACTOR:-1}"
wait_for() {  # wait_for <seconds> <command...>
  local limit=$(( $1 * 10 * time_factor )); shift
  for _ in $(seq "$limit"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
# end_within <seconds> <pid>: waits for a process sent a signal to end, and
# kills it outright after that time: a server stuck under a loaded machine
# must not hold the caller until its time-out. An ended child not yet waited
# for stays as a zombie, which kill -0 still finds.
end_within() {
  wait_for "$1" sh -c "! kill -0 $2 || grep -q ') Z ' /proc/$2/stat" || kill -KILL "$2" 2>/dev/null || true
  ended_status=0
  wait "$2" 2>/dev/null || ended_status=$?
}

# JACK clients run with a desktop user's allowance of locked memory, 8 MiB
# as on Debian, even as root: with root's CAP_IPC_LOCK libjack locks JACK 2's
# whole graph segment (over 100 MB) at every client open, which costs time
# and memory no desktop user pays, and hides a client that locks too much.
#   "${as_desktop_user[@]}" <program> [argument...]
ulimit -S -l 8192 2>/dev/null || true
as_desktop_user=()
if [ "$(id -u)" -eq 0 ] && setpriv --bounding-set=-ipc_lock true 2>/dev/null; then
  as_desktop_user=(setpriv --bounding-set=-ipc_lock)
fi

# A JACK server under a name of its own, which this script's clients find
# through JACK_DEFAULT_SERVER. JACK's registry of servers (eight places for
# the whole machine) is shared by every user: only a clean stop gives the
# server's place back, and nothing else there is touched.
# PADSCOPE_JACK_PREFIX begins the name where several runs share the machine.
start_jack_server() {
  jack_server_name="${PADSCOPE_JACK_PREFIX:-padscope}-$$"
  export JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER="$jack_server_name"
  restart_jack_server "$@"
}
# Again under the same name: a server that was killed leaves its place in
# the registry, which one started under its name and stopped cleanly clears.
restart_jack_server() {
  "$servers_script" jack "$jack_server_name" "$@" >>"$sound_server_log" 2>&1 &
  sound_server_pid=$!
  wait_for 15 jack_lsp
}
start_pulse_server() {
  "$servers_script" pulse "$servers_folder" >>"$sound_server_log" 2>&1 &
  sound_server_pid=$!
  export PULSE_SERVER="unix:$servers_folder/pulse/native"
  wait_for 10 pactl info
}
# The daemon's runtime folder becomes this script's, where PipeWire's and
# PulseAudio's clients look for it.
start_pipewire_server() {
  "$servers_script" pipewire "$servers_folder" >>"$sound_server_log" 2>&1 &
  sound_server_pid=$!
  unset PIPEWIRE_RUNTIME_DIR PIPEWIRE_REMOTE JACK_DEFAULT_SERVER
  export XDG_RUNTIME_DIR="$servers_folder" JACK_NO_START_SERVER=1
  wait_for 10 test -S "$servers_folder/pipewire-0"
}
# As pw-jack runs a program: the dynamic loader expands ${LIB}. Else
# PipeWire's JACK clients hear a Note On of velocity 0 as a Note Off of 64:
# the tests compare bytes as they were sent.
use_pipewire_jack() {
  LD_LIBRARY_PATH='/usr/${LIB}/pipewire-0.3/jack'"${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
  export LD_LIBRARY_PATH PIPEWIRE_PROPS='{ jack.fix-midi-events = false }'
}
# The server's last words, for a message.
sound_server_said() { tail -n 3 "$sound_server_log" 2>/dev/null; }

start_jack_peer() {  # start_jack_peer <client> <file>: false if its port never shows
  stdbuf -oL jack_midi_dump "$1" >"$2" 2>/dev/null &
  sound_clients+=($!)
  wait_for 10 sh -c "jack_lsp | grep -qx '$1:input'"
}

# SIGTERM and wait: a JACK server that stops cleanly leaves the registry.
stop_sound_server() {
  [ -n "$sound_server_pid" ] || return 0
  kill -CONT "$sound_server_pid" 2>/dev/null || true
  kill -TERM "$sound_server_pid" 2>/dev/null || true
  end_within 60 "$sound_server_pid"
  sound_server_pid=""
}
# On SIGINT jack_midi_dump closes its client before it ends; the server goes
# last, once its clients have gone, or it may stay in the registry. Then
# what a killed server and its clients left in /dev/shm under its name.
stop_sound_servers() {
  local pid
  for pid in "${sound_clients[@]}"; do kill -INT "$pid" 2>/dev/null || true; done
  for pid in "${sound_clients[@]}"; do end_within 10 "$pid"; done
  sound_clients=()
  stop_sound_server
  [ -z "$jack_server_name" ] \
    || rm -f "/dev/shm/jack_sem.$(id -u)_${jack_server_name}_"* "/dev/shm/jack_${jack_server_name}_$(id -u)_"*
  rm -rf "$servers_folder"
}
