#!/usr/bin/env bash
# The real program in a real window on its built-in synth, with a JACK
# server running: the synth's module, loaded from beside the program when its
# port opens, brings up the JACK output, and a click on a pad is heard there.
# With "kit" the TR-808 kit is chosen first: its samples are read as the pad
# is pressed. With "silent" nothing is clicked, and nothing may be heard.
#   synth_sounds_wm.sh <padscope executable> [click|kit|silent]
# Exits 77 (skipped) when the X or JACK server cannot be started, or when
# no SoundFont is installed.
set -euo pipefail
program="$1"
mode="${2:-click}"
source "$(dirname "$0")/../../testing/window_session.sh"
ls /usr/share/sounds/sf2/*.sf2 >/dev/null 2>&1 || skip "no SoundFont in /usr/share/sounds/sf2"
start_jack_session

copy_program
printf '[window]\r\nHeight=636\r\nWidth=810\r\nTop=20\r\nLeft=20\r\n\r\n[dev]\r\nnum=0\r\ngakki=Padscope GS Synth\r\n\r\n' \
  > "$work/padscope.ini"
launch_program 20
wait_for 20 sh -c "jack_lsp | grep -qx 'padscope-gs-synth:left'" \
  || { echo "the synth's JACK output never appeared"; cat "$work/run.log"; exit 1; }

jack_rec -f "$work/heard.wav" -d 4 -b 16 padscope-gs-synth:left padscope-gs-synth:right >/dev/null 2>&1 &
recorder=$!
pids+=("$recorder")
wait_for 10 sh -c "jack_lsp -c padscope-gs-synth:left | grep -q '^ '" || { echo "the recorder did not connect"; exit 1; }
if [ "$mode" = kit ]; then
  # Kit button Button141, "TR-808", at 440,504 on the window (105 x 17).
  xdotool mousemove --window "$(program_window)" 492 512 click 1
fi
if [ "$mode" != silent ]; then
  # Pad Button37 (note 36, the bass drum) at 408,24 on the pads page, below
  # the page tabs.
  window="$(program_window)"
  xdotool mousemove --window "$window" 472 57 mousedown 1
  sleep 0.3
  xdotool mouseup 1
fi
wait "$recorder" || true
# 16-bit samples after the 44-byte header of the recording.
peak="$(od -An -v -t d2 -j 44 "$work/heard.wav" | tr -s ' ' '\n' \
  | awk 'NF { v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }')"
wmctrl -c Padscope
wait_for 20 sh -c "! kill -0 $app" || { echo "the program did not close"; exit 1; }
if [ "$mode" = silent ]; then
  [ "$peak" -lt 30 ] || { echo "something was heard with no pad pressed (loudest sample $peak of 32767)"; exit 1; }
  echo "nothing was heard with no pad pressed"
else
  [ "$peak" -gt 300 ] || { echo "the pad was not heard (loudest sample $peak of 32767)"; cat "$work/run.log"; exit 1; }
  echo "the pad was heard through JACK (loudest sample $peak of 32767)"
fi
