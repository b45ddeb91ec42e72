#!/usr/bin/env bash
# The real program on its built-in synth, recorded through JACK: the open
# triangle (note 81) and the snare (note 38) of kit 1 played once as they
# are and once with a drum sound edit each (the triangle 12 semitones down,
# the snare full left). The recordings show the edits.
#   synth_drum_sound_wm.sh <padscope executable> <drum_sound_recordings.py>
# Exits 77 (skipped) when the X or JACK server cannot be started, or when
# no SoundFont is installed.
set -euo pipefail
program="$1"
analysis="$2"
source "$(dirname "$0")/../../testing/window_session.sh"
ls /usr/share/sounds/sf2/*.sf2 >/dev/null 2>&1 || skip "no SoundFont in /usr/share/sounds/sf2"
start_jack_session
copy_program

# record <file> <x> <y>: a click on the pad at x,y of the window, recorded.
record() {
  jack_rec -f "$work/$1.wav" -d 1.5 -b 16 padscope-gs-synth:left padscope-gs-synth:right >/dev/null 2>&1 &
  local recorder=$!
  pids+=("$recorder")
  wait_for 10 sh -c "jack_lsp -c padscope-gs-synth:left | grep -q '^ '" || { echo "the recorder did not connect"; exit 1; }
  xdotool mousemove --window "$(program_window)" "$2" "$3" click 1
  wait "$recorder" || true
}

# run <name> <settings to add>: plays both pads, then closes the program.
run() {
  printf '[window]\r\nHeight=636\r\nWidth=810\r\nTop=20\r\nLeft=20\r\n\r\n[dev]\r\nnum=0\r\ngakki=Padscope GS Synth\r\n\r\n%s' \
    "$2" > "$work/padscope.ini"
  launch_program 20
  wait_for 20 sh -c "jack_lsp | grep -qx 'padscope-gs-synth:left'" \
    || { echo "the synth's JACK output never appeared"; cat "$work/run.log"; exit 1; }
  sleep 1
  # Pads below the page tabs: note 81 at 152,392 and note 38 at 408,56 (129 x 17).
  record "$1-81" 216 424
  record "$1-38" 472 88
  close_program
}

run plain ""
run edited $'[drumsound]\r\n4.0=38:pan=1 81:pitch=52\r\n\r\n'
/usr/bin/python3 "$analysis" "$work/plain-81.wav" "$work/edited-81.wav" "$work/plain-38.wav" "$work/edited-38.wav"
