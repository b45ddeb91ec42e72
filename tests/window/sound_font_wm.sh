#!/usr/bin/env bash
# The real program in a real window under a window manager, the built-in
# synth open (no sound card: a null ALSA device), started with a FIFO as its
# SoundFont both on the command line and remembered: the window shows, and
# the terminal is told. "SoundFont…" in the port list opens the file dialog;
# the FIFO typed there gives a message box; a font typed next is played and
# remembered at close; a text file chosen next gives a message box, and the
# font chosen before stays the remembered one.
#   sound_font_wm.sh <padscope executable>
# Exits 77 (skipped) when the X server cannot be started.
set -euo pipefail
program="$1"
source "$(dirname "$0")/../../testing/window_session.sh"
export JACK_NO_START_SERVER=1
# Qt's own file dialog, whatever desktop theme is installed.
export QT_QPA_PLATFORMTHEME=

chosen=/usr/share/sounds/sf2/FluidR3_GS.sf2
[ -r "$chosen" ] || skip "Debian's fluid-soundfont-gs is not installed"
printf 'not a SoundFont\n' > "$work/words.sf2"
mkfifo "$work/pipe.sf2"

copy_program
printf '[window]\r\nHeight=636\r\nWidth=810\r\nTop=20\r\nLeft=20\r\n\r\n[dev]\r\nnum=0\r\ngakki=Padscope GS Synth\r\n\r\n[synth]\r\nsoundfont=%s\r\n\r\n' \
  "$work/pipe.sf2" > "$work/padscope.ini"
launch_program 20 --soundfont "$work/pipe.sf2"
grep -qF "padscope: the SoundFont $work/pipe.sf2 cannot be used: it is not a file" "$work/run.log" \
  || { echo "a FIFO given as the SoundFont was not named:"; cat "$work/run.log"; exit 1; }
window="$(program_window)"
windows() { wmctrl -l | grep -c ' Padscope$\| SoundFont を選ぶ$' || true; }

# choose_font <file>: the port list from a right click on "音源の変更"
# (Button129 at 680,384 under 25 pixels of tabs), its second entry, the
# synth's "SoundFont…", then the file's path typed into the dialog.
choose_font() {
  xdotool windowactivate --sync "$window" 2>/dev/null || true
  wait_for 10 active_window_is Padscope || { echo "the window did not take the focus"; describe_program; exit 1; }
  xdotool mousemove --window "$window" 728 417 click 3
  wait_for 10 menu_shown || { echo "the port list did not open"; describe_program; exit 1; }
  xdotool key Down Down Return
  wait_for 10 active_window_is "SoundFont を選ぶ" \
    || { echo "\"SoundFont…\" opened no file dialog"; describe_program; exit 1; }
  xdotool type --delay 20 "$1"
  xdotool key Return
  wait_for 10 sh -c "! wmctrl -l | grep -q ' SoundFont を選ぶ$'" || { echo "the file dialog stayed"; exit 1; }
}

# message_box_shown_and_closed <what>: the message box is a second window
# of the program's title; Return closes it.
message_box_shown_and_closed() {
  wait_for 10 sh -c "[ \$(wmctrl -l | grep -c ' Padscope$') -ge 2 ]" \
    || { echo "$1 chosen as a SoundFont gave no message"; describe_program; exit 1; }
  xdotool key Return
  wait_for 10 sh -c "[ \$(wmctrl -l | grep -c ' Padscope$') -eq 1 ]" || { echo "the message box stayed"; exit 1; }
}

choose_font "$work/pipe.sf2"
message_box_shown_and_closed "a FIFO"

choose_font "$chosen"
settle 2
[ "$(windows)" -eq 1 ] || { echo "a good SoundFont gave a message:"; wmctrl -l; describe_program; exit 1; }

choose_font "$work/words.sf2"
message_box_shown_and_closed "a text file"

close_program
if ! grep -qx "soundfont=$chosen" <<<"$settings" || ! grep -qx "gakki=Padscope GS Synth" <<<"$settings"; then
  echo "the settings file does not remember the SoundFont played (soundfont=$chosen):"
  echo "$settings"
  exit 1
fi
echo "a FIFO as the SoundFont was refused at the start and in the dialog; the SoundFont chosen next was played" \
  "and remembered; a text file was refused with a message"
