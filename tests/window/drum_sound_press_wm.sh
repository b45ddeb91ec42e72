#!/usr/bin/env bash
# The real program in a real window playing into a JACK peer, with a drum
# sound edit in its settings file: a click on the pad of an unedited note
# sends the press as ever, one on the edited note carries the edit's NRPN
# and NRPN null after the RPN null, and a close keeps the edit in the file.
#   drum_sound_press_wm.sh <padscope executable>
# Exits 77 (skipped) when the X or JACK server cannot be started.
set -euo pipefail
program="$1"
source "$(dirname "$0")/../../testing/window_session.sh"

start_jack_session
peer=drumpeer
start_peer "$peer"
copy_program

# Snare 1 (note 38) of kit 1 on the SC-8850 map: an octave down, panned left.
edits=$'[drumsound]\r\n4.0=38:pitch=52,pan=20\r\n\r\n'
extra_settings="$edits"
start_program_on_peer "$peer"
window="$(program_window)"
xdotool windowactivate --sync "$window" 2>/dev/null || true
sleep 1

# What the peer heard from line $1 on, one message a line.
heard_since() {
  tail -n +"$(( $1 + 1 ))" "$work/$peer.dump" | awk -F': +' 'NF > 1 {
    n = split($2, word, " "); line = ""
    for (i = 1; i <= n && word[i] ~ /^[0-9a-f][0-9a-f]$/; i++) line = line (i > 1 ? " " : "") word[i]
    print line }'
}
# A left click in the middle of the pad of a note of octaves 0 to 4.
click_pad() {
  local note="$1" tab_bar=24
  xdotool mousemove --window "$window" $(( 24 + 128 * (note / 12) + 64 )) $(( tab_bar + 24 + 16 * (note % 12) + 8 )) \
    click 1
  sleep 1
}

head="b9 4e 40
b9 4d 40
b9 4c 40
b9 48 40
b9 4b 40
b9 49 40
b9 47 40
b9 4a 40
b9 01 00
b9 00 00
b9 20 04
c9 00
b9 65 00
b9 64 00
b9 06 02
b9 26 00
b9 65 7f
b9 64 7f"
tail_of() { printf 'b9 5b 28\nb9 5e 00\nb9 5d 00\ne9 00 40\n99 %s 64\n99 %s 00' "$1" "$1"; }

start="$(wc -l < "$work/$peer.dump")"
click_pad 36
expected="$head
$(tail_of 24)"
got="$(heard_since "$start")"
if [ "$got" != "$expected" ]; then
  echo "a click on the unedited pad C2 sent:"; echo "$got"; exit 1
fi

start="$(wc -l < "$work/$peer.dump")"
click_pad 38
expected="$head
b9 63 18
b9 62 26
b9 06 34
b9 63 1c
b9 62 26
b9 06 14
b9 63 7f
b9 62 7f
$(tail_of 26)"
got="$(heard_since "$start")"
if [ "$got" != "$expected" ]; then
  echo "a click on the edited pad D2 sent:"; echo "$got"; exit 1
fi

close_program
if ! printf '%s\n' "$settings" | grep -A1 -xF '[drumsound]' | grep -qxF '4.0=38:pitch=52,pan=20'; then
  echo "the edit did not survive the close:"; echo "$settings"; exit 1
fi
echo "unedited press unchanged; edited press carries its NRPN and null; the edit is kept"
