#!/usr/bin/env bash
# The built-in synth plays each kit's own kit or the closest one the
# SoundFont has, not its Standard kit: the kick on note 36 of TR-909 and of
# CR-78 is another sound than STANDARD 1's, which sounds the same when
# pressed again. And a SoundFont given with --soundfont is the one heard: a
# font made here whose Standard kit plays a square wave.
#   synth_kits_wm.sh <padscope executable> <make_sound_font executable>
# Exits 77 (skipped) when the X or JACK server cannot be started, or when
# FluidR3 is not installed.
set -euo pipefail
program="$1"
make_sound_font="$2"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../testing/window_session.sh"
[ -f /usr/share/sounds/sf2/FluidR3_GM.sf2 ] || skip "FluidR3 is not installed (fluid-soundfont-gm)"
"$make_sound_font" "$work/square.sf2"
start_jack_session
copy_program
printf '[window]\r\nHeight=636\r\nWidth=810\r\nTop=20\r\nLeft=20\r\n\r\n[dev]\r\nnum=0\r\ngakki=Padscope GS Synth\r\n\r\n[gen]\r\nbank=4\r\n\r\n' \
  > "$work/padscope.ini"

start_synth() {  # start_synth [argument...]: the program on its built-in synth
  launch_program 20 "$@"
  wait_for 30 sh -c "jack_lsp | grep -qx 'padscope-gs-synth:left'" \
    || { echo "the synth's JACK output never appeared"; describe_program; exit 1; }
}
stop_program() {
  wmctrl -c Padscope
  wait_for 20 sh -c "! kill -0 $app" || { echo "the program did not close"; exit 1; }
}

# record <name> <kit button x> <y>: chooses the kit (its button's middle on
# the window), presses the pad of note 36 and records the synth to <name>.wav.
record() {
  jack_rec -f "$work/$1.wav" -d 2 -b 16 padscope-gs-synth:left padscope-gs-synth:right >/dev/null 2>&1 &
  local recorder=$!
  pids+=("$recorder")
  wait_for 10 sh -c "jack_lsp -c padscope-gs-synth:left | grep -q '^ '" || { echo "the recorder did not connect"; exit 1; }
  local window
  window="$(program_window)"
  xdotool mousemove --window "$window" "$2" "$3" click 1
  sleep 0.3
  # Pad Button37 (note 36) on the pads page, below the page tabs.
  xdotool mousemove --window "$window" 472 57 mousedown 1
  sleep 0.2
  xdotool mouseup 1
  wait "$recorder" || true
}

# Kit buttons, 105 x 17: STANDARD 1 at 24,488, CR-78 at 648,504, TR-909 at
# 232,520.
start_synth
record standard 76 496
record tr909 284 528
record cr78 700 512
record standard-again 76 496
stop_program
start_synth --soundfont "$work/square.sf2"
record chosen 76 496
stop_program

python3 "$here/compare_kicks.py" "$work/standard.wav" "$work/standard-again.wav" \
  "$work/tr909.wav" "$work/cr78.wav" "$work/chosen.wav" \
  || { describe_program; exit 1; }
echo "TR-909, CR-78 and the chosen SoundFont each sound their own kick"
