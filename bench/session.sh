# Shared by the benchmark scripts: sourced, not run. A scratch folder, a
# private home, and a private sound server (../testing/servers.sh), all
# stopped and removed at exit.
#   start_sound_server pulse|jack [extra dummy driver options]
# leaves the server's process id in $server_pid.
source "$(dirname "${BASH_SOURCE[0]}")/../testing/servers.sh"
work="$(mktemp -d)"
pids=()
# The benchmark's own clients first, then the server's.
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill -INT "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do end_within 10 "$pid"; done
  stop_sound_servers
  rm -rf "$work"
}
trap cleanup EXIT
export JACK_NO_START_SERVER=1 XDG_RUNTIME_DIR="$servers_folder" HOME="$work/home"
mkdir -p "$HOME"

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
    start_jack_peer padscope-peer /dev/null || { echo "the MIDI peer did not start" >&2; exit 1; }
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
    pulse) start_pulse_server || { echo "the PulseAudio server did not start: $(sound_server_said)" >&2; exit 1; } ;;
    jack) start_jack_server "$@" || { echo "the JACK server did not start: $(sound_server_said)" >&2; exit 1; } ;;
    *) return 1 ;;
  esac
  server_pid="$sound_server_pid"
}
