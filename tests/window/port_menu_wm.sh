#!/usr/bin/env bash
# The real program in a real window under a window manager, with JACK peers:
# it starts on one jack_midi_dump peer; two more come up after it; a right
# click on "音源の変更" lists the ports as they are now, and choosing a new
# peer sends it the GS Reset; a left click steps on to the next peer; the
# context-menu key opens the list too; the next pad press goes to the peer
# chosen last, and the settings file remembers it at close.
#   port_menu_wm.sh <padscope executable>
# Exits 77 (skipped) when the X or JACK server cannot be started.
set -euo pipefail
program="$1"
source "$(dirname "$0")/../../testing/window_session.sh"

start_jack_session

gs_reset="f0 41 10 42 12 40 00 7f 00 41 f7"

first=menufirst
second=menusecond
third=menuthird
start_peer "$first"
copy_program

start_program_on_peer "$first"
wait_for 10 grep -q "$gs_reset" "$work/$first.dump" || { echo "the first peer heard no GS Reset"; exit 1; }

# Plugged in after the program started, in this order.
start_peer "$second"
start_peer "$third"

connected() { jack_lsp -c "$1:input" | grep -q '^ '; }
# choose_second_from_menu <what opened the list>: the output ports come
# first, the second peer right after the first, which is port $num; Down
# from no selection picks the first entry. The built-in synth, listed where
# Debian's SoundFont is installed, has "SoundFont…" under it. Entries after
# the ports (the input section, "探す…") do not count.
synth_entries=0
if [ -r /usr/share/sounds/sf2/default-GM.sf2 ] || [ -r /usr/share/sounds/sf2/FluidR3_GM.sf2 ]; then
  synth_entries=1
fi
choose_second_from_menu() {
  wait_for 10 menu_shown || { echo "$1 did not open the list"; describe_program; exit 1; }
  for _ in $(seq $(( num + 2 + synth_entries ))); do
    xdotool key Down
    sleep 0.2
  done
  xdotool key Return
}

window="$(program_window)"
xdotool windowactivate --sync "$window" 2>/dev/null || true
sleep 1
# Button129 "音源の変更" at 680,384 (97 × 17) on the pads page, whose tabs
# take 25 pixels: a right click opens the list.
xdotool mousemove --window "$window" 728 417 click 3
choose_second_from_menu "a right click on the button"
wait_for 10 grep -q "$gs_reset" "$work/$second.dump" \
  || { echo "the second peer heard no GS Reset after it was chosen from the menu"; describe_program; exit 1; }
if connected "$first"; then
  echo "the first peer is still connected after the second was chosen"
  exit 1
fi

# A left click steps on to the next port of the list, and leaves the focus
# on the button: the context-menu key opens the list there.
xdotool mousemove --window "$window" 728 417 click 1
wait_for 10 grep -q "$gs_reset" "$work/$third.dump" \
  || { echo "a left click on the button did not step on to the third peer"; describe_program; exit 1; }
if connected "$second"; then
  echo "the second peer is still connected after the step to the third"
  exit 1
fi
xdotool key Menu
choose_second_from_menu "the context-menu key"
wait_for 10 sh -c "[ \$(grep -c '$gs_reset' '$work/$second.dump') -ge 2 ]" \
  || { echo "the second peer was not chosen again from the list"; describe_program; exit 1; }

# Pad Button37 (note 36) at 408,24 on the pads page: a press and a release.
xdotool mousemove --window "$window" 472 57 click 1
wait_for 10 sh -c "grep -qE ':[[:space:]]+99 24 00( |\$)' '$work/$second.dump'" \
  || { echo "the pad press did not reach the second peer:"; cat "$work/$second.dump"; exit 1; }
[ "$(events "$second" '99 24 64')" -eq 1 ] || { echo "the second peer did not hear one Note On 36"; exit 1; }
for other in "$first" "$third"; do
  [ "$(events "$other" '99 24 64')" -eq 0 ] || { echo "the peer $other heard the press too"; exit 1; }
done

close_program
# The second peer is listed right after the first.
if ! grep -qx "gakki=$second:input" <<<"$settings" || ! grep -qx "num=$(( num + 1 ))" <<<"$settings"; then
  echo "the settings file does not name the chosen port (num=$(( num + 1 )), gakki=$second:input):"
  echo "$settings"
  exit 1
fi
echo "the port plugged in after start was chosen from the menu, heard the GS Reset and the press, and was remembered"
