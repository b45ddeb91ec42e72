# Shared by the benchmark scripts: sourced, not run. A scratch folder, a
# private runtime folder and home, and a private sound server, all stopped
# and removed at exit.
#   start_sound_server pulse|jack [extra jackd driver options]
# leaves the server's process id in $server_pid. PADSCOPE_JACK_PREFIX begins
# the JACK server's name where several runs share the machine.
work="$(mktemp -d)"
pids=()
# end_within <seconds> <pid>: waits for a process sent a signal to end, and
# kills it outright after that time.
end_within() {
  for _ in $(seq $(( $1 * 10 ))); do kill -0 "$2" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$2" 2>/dev/null || true
  wait "$2" 2>/dev/null || true
}
# The clients go first (SIGINT lets jack_midi_dump leave the server), the
# server last and waited for: only a server that stops cleanly gives its
# place in JACK's registry back.
cleanup() {
  local pid
  for pid in "${pids[@]}"; do
    [ "$pid" = "${server_pid:-}" ] || kill -INT "$pid" 2>/dev/null || true
  done
  for pid in "${pids[@]}"; do
    [ "$pid" = "${server_pid:-}" ] || end_within 10 "$pid"
  done
  if [ -n "${server_pid:-}" ]; then
    kill -TERM "$server_pid" 2>/dev/null || true
    end_within 30 "$server_pid"
  fi
  # What a killed client left under this run's server name.
  [ -z "${own_jack_server:-}" ] || rm -f "/dev/shm/jack_sem.$(id -u)_${own_jack_server}_"*
  rm -rf "$work"
}
trap cleanup EXIT

# The program runs with a desktop user's allowance of locked memory, 8 MiB as
# on Debian, even when the benchmark runs as root: with root's CAP_IPC_LOCK
# libjack locks JACK 2's whole graph segment (over 100 MB) at every client
# open, which costs time and memory no desktop user pays.
#   "${as_desktop_user[@]}" <program> [argument...]
ulimit -S -l 8192 2>/dev/null || true
as_desktop_user=()
if [ "$(id -u)" -eq 0 ] && setpriv --bounding-set=-ipc_lock true 2>/dev/null; then
  as_desktop_user=(setpriv --bounding-set=-ipc_lock)
fi
export JACK_NO_START_SERVER=1 XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
mkdir -p "$XDG_RUNTIME_DIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"

# copy_program <program> <folder>: the program, or a probe built like it,
# with the built-in synth's module from $build, which it loads from its own
# folder.
copy_program() {
  cp "$1" "$2/"
  cp "$build/padscope-synth.so" "$2/"
}

# The median of the numbers on standard input, one per line.
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

# prepare_probes pulse|jack: two copies of the start-up probe, each with its
# settings beside it: in $work/synth on the built-in synth, in $work/port on
# a JACK MIDI peer, which is started when the server is JACK's.
prepare_probes() {
  if [ "$1" = jack ]; then
    jack_midi_dump padscope-peer >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do jack_lsp 2>/dev/null | grep -q '^padscope-peer:input$' && break; sleep 0.1; done
  fi
  mkdir -p "$work/synth" "$work/port"
  copy_program "$build/bench/padscope-startup-probe" "$work/synth"
  copy_program "$build/bench/padscope-startup-probe" "$work/port"
  printf '[dev]\r\nnum=0\r\ngakki=Padscope GS Synth\r\n\r\n' > "$work/synth/padscope-startup-probe.ini"
  printf '[dev]\r\nnum=1\r\ngakki=padscope-peer:input\r\n\r\n' > "$work/port/padscope-startup-probe.ini"
}

start_sound_server() {
  local kind="$1"; shift
  case "$kind" in
    pulse)
      printf 'load-module module-null-sink sink_name=null\nload-module module-native-protocol-unix\nset-default-sink null\n' > "$work/server.pa"
      pulseaudio -n -F "$work/server.pa" --daemonize=no --exit-idle-time=-1 --disallow-exit \
        --log-target=stderr >"$work/server.log" 2>&1 &
      server_pid=$!
      for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/pulse/native" ] && break; sleep 0.1; done
      ;;
    jack)
      own_jack_server="${PADSCOPE_JACK_PREFIX:-padscope-bench}-$$"
      export JACK_DEFAULT_SERVER="$own_jack_server"
      jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 128 "$@" >"$work/server.log" 2>&1 &
      server_pid=$!
      for _ in $(seq 50); do jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done
      ;;
    *) return 1 ;;
  esac
  pids+=("$server_pid")
}
