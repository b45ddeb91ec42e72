#!/usr/bin/env bash
# The real program in a real window, playing to a JACK peer, when its JACK
# server is killed or stopped: a click on "音源の変更" then opens the built-in
# synth (with JACK gone, through a null ALSA device), and closing the window
# ends the program cleanly, with the synth saved as its port. With "at-start"
# the server is stopped before the program starts, which must then show its
# window and close all the same.
#   killed_jack_server_wm.sh <padscope executable> <SIGKILL|SIGTERM|SIGSTOP> [at-start]
set -euo pipefail
program="$1"
signal="${2:-SIGKILL}"
when="${3:-under-open-port}"
work="$(mktemp -d)"
server="padscope-wm-$$"
pids=()
peer=""
jackd_pid=""
start_jackd() {
  jackd -n "$server" --no-realtime -d dummy -r 48000 -p 256 >>"$work/jackd.log" 2>&1 &
  jackd_pid=$!
}
stop_jackd() {  # SIGTERM and wait, so that the server leaves JACK's registry
  [ -n "$jackd_pid" ] || return 0
  kill -CONT "$jackd_pid" 2>/dev/null || true
  kill -TERM "$jackd_pid" 2>/dev/null || true
  wait "$jackd_pid" 2>/dev/null || true
  jackd_pid=""
}
cleanup() {
  # The server goes last, once its clients have closed: jackd stopping while
  # they vanish can die of SIGPIPE and stay in JACK's registry. On SIGINT
  # jack_midi_dump closes its client before it ends.
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -n "$peer" ] && kill -INT "$peer" 2>/dev/null && pids+=("$peer")
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  stop_jackd
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

wait_for() {  # wait_for <seconds> <command...>
  local limit=$(( $1 * 10 )); shift
  for _ in $(seq "$limit"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

export JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER="$server"
start_jackd
wait_for 15 jack_lsp || { echo "the JACK server did not start: skipped"; exit 77; }
stdbuf -oL jack_midi_dump padscope-peer >"$work/peer.log" 2>&1 &
peer=$!
wait_for 10 sh -c "jack_lsp | grep -q '^padscope-peer:input$'" || { echo "jack_midi_dump did not come up"; exit 1; }

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 10 test -s "$work/display" || { echo "Xvfb did not start: skipped"; exit 77; }
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &
pids+=($!)
wait_for 10 wmctrl -m || { echo "the window manager did not start: skipped"; exit 77; }

mkdir -p "$work/home"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$work/home/.asoundrc"
export HOME="$work/home"
cp "$program" "$work/padscope"
# Under LeakSanitizer: libdbus, which the X11 platform plugin loads, keeps a
# buffer to the end that the exit status must not count.
printf 'leak:libdbus-1.so\n' > "$work/lsan.supp"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$work/lsan.supp"
# Port 0 is the built-in synth, port 1 the peer.
printf '[window]\r\nHeight=600\r\nWidth=790\r\nTop=0\r\nLeft=0\r\n\r\n[dev]\r\nnum=1\r\ngakki=padscope-peer:input\r\n\r\n[gen]\r\nbank=4\r\n\r\n' \
  > "$work/padscope.ini"

signal_server() {
  kill "-$signal" "$jackd_pid"
  [ "$signal" = SIGSTOP ] && return 0
  wait "$jackd_pid" 2>/dev/null || true
  jackd_pid=""
}
[ "$when" = at-start ] && signal_server
"$work/padscope" >"$work/padscope.log" 2>&1 &
app=$!
wait_for 60 sh -c "wmctrl -l | grep -q ' Padscope$'" || { echo "no window"; cat "$work/padscope.log"; exit 1; }
if [ "$when" != at-start ]; then
  wait_for 10 grep -q "f0 41 10 42 12 40 00 7f 00 41 f7" "$work/peer.log" \
    || { echo "the peer heard no GS Reset"; cat "$work/peer.log"; exit 1; }
  signal_server
fi
if [ "$signal" = SIGKILL ]; then
  # Started once more under its name and stopped cleanly, the server takes
  # the killed one's entry out of JACK's registry.
  start_jackd
  wait_for 15 jack_lsp || true
  stop_jackd
fi

# Button129 "音源の変更": 680,384 (97 × 17) on the pads page, below the page tabs.
window="$(xdotool search --name '^Padscope$' | head -1)"
if [ "$when" != at-start ]; then
  xdotool mousemove --window "$window" 728 437 click 1
  sleep 1
fi
wmctrl -c Padscope
status=0
wait "$app" || status=$?
if [ -n "$jackd_pid" ]; then
  # Let the resumed server see the program's clients go before it stops.
  kill -CONT "$jackd_pid"
  sleep 1
fi
if [ "$status" -ne 0 ]; then
  echo "the program ended with status $status"
  cat "$work/padscope.log"
  exit 1
fi
tr -d '\r' < "$work/padscope.ini" | grep -qx 'gakki=Padscope GS Synth' \
  || { echo "the port change did not reach the built-in synth:"; tr -d '\r' < "$work/padscope.ini"; exit 1; }
echo "after the JACK server's $signal ($when) the program went on and closed cleanly"
