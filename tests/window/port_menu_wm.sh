#!/usr/bin/env bash
# The real program in a real window under a window manager, with JACK peers:
# it starts on one jack_midi_dump peer; a second peer comes up after it; a
# right click on "音源の変更" lists the ports as they are now, and choosing
# the new peer sends it the GS Reset; the context-menu key opens the list
# too; the next pad press goes to the new peer, and the settings file
# remembers it at close.
#   port_menu_wm.sh <padscope executable>
# Exits 77 (skipped) when the X or JACK server cannot be started.
set -euo pipefail
program="$1"
source "$(dirname "$0")/wm_session.sh"

# The peers stop with SIGINT, which closes their clients, before the server goes.
peers=()
stop_peers() {
  for pid in "${peers[@]}"; do kill -INT "$pid" 2>/dev/null || true; done
  for pid in "${peers[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap 'stop_peers; cleanup' EXIT

export JACK_NO_START_SERVER=1
export JACK_DEFAULT_SERVER="padscope-menu-$$"
jackd -n "$JACK_DEFAULT_SERVER" --no-realtime -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
jackd_pid=$!
wait_for 15 jack_lsp || skip "the JACK server did not start: $(tail -n 3 "$work/jackd.log")"

start_peer() {  # start_peer <client name>
  stdbuf -oL jack_midi_dump "$1" >"$work/$1.dump" 2>/dev/null &
  peers+=($!)
  wait_for 10 sh -c "jack_lsp | grep -qx '$1:input'" || { echo "the MIDI peer $1 did not start"; exit 1; }
}
# Lines of a peer's dump holding these bytes (hex, lower case).
events() { grep -cE ":[[:space:]]+$2( |\$)" "$work/$1.dump" || true; }
gs_reset="f0 41 10 42 12 40 00 7f 00 41 f7"

first=menufirst
second=menusecond
start_peer "$first"
copy_program

start_program_on_peer "$first"
wait_for 10 grep -q "$gs_reset" "$work/$first.dump" || { echo "the first peer heard no GS Reset"; exit 1; }

# Plugged in after the program started.
start_peer "$second"

# The main window, not Qt's hidden helper of the same name.
window="$(program_window)"
xdotool windowactivate --sync "$window" 2>/dev/null || true
sleep 1
# Button129 "音源の変更" at 680,384 (97 × 17) on the pads page, whose tabs
# take 25 pixels: a right click opens the list. The second peer, registered last, is its last
# entry, which the Up key selects first.
xdotool mousemove --window "$window" 728 417 click 3
sleep 1
xdotool key Up
sleep 0.3
xdotool key Return
wait_for 10 grep -q "$gs_reset" "$work/$second.dump" \
  || { echo "the second peer heard no GS Reset after it was chosen from the menu"; exit 1; }
if jack_lsp -c "$first:input" | grep -q '^ '; then
  echo "the first peer is still connected after the second was chosen"
  exit 1
fi

# A left click steps on from the last port of the list to the first, and
# leaves the focus on the button: the context-menu key opens the list there.
xdotool mousemove --window "$window" 728 417 click 1
sleep 1
xdotool key Menu
sleep 1
xdotool key Up
sleep 0.3
xdotool key Return
wait_for 10 sh -c "[ \$(grep -c '$gs_reset' '$work/$second.dump') -ge 2 ]" \
  || { echo "the context-menu key did not open the list, or the second peer was not chosen again"; exit 1; }

# Pad Button37 (note 36) at 408,24 on the pads page: a press and a release.
xdotool mousemove --window "$window" 472 57 click 1
wait_for 10 sh -c "grep -qE ':[[:space:]]+99 24 00( |\$)' '$work/$second.dump'" \
  || { echo "the pad press did not reach the second peer:"; cat "$work/$second.dump"; exit 1; }
[ "$(events "$second" '99 24 64')" -eq 1 ] || { echo "the second peer did not hear one Note On 36"; exit 1; }
[ "$(events "$first" '99 24 64')" -eq 0 ] || { echo "the first peer heard the press too"; exit 1; }

wmctrl -c Padscope
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || { echo "the program ended with status $status"; cat "$work/run.log"; exit 1; }

# The second peer is listed right after the first.
settings="$(tr -d '\r' < "$work/padscope.ini")"
if ! grep -qx "gakki=$second:input" <<<"$settings" || ! grep -qx "num=$(( num + 1 ))" <<<"$settings"; then
  echo "the settings file does not name the chosen port (num=$(( num + 1 )), gakki=$second:input):"
  echo "$settings"
  exit 1
fi
echo "the port plugged in after start was chosen from the menu, heard the GS Reset and the press, and was remembered"
