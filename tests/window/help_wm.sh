#!/usr/bin/env bash
# F1 in the real window opens the user's manual, compiled in, in the
# window's language: English under an English locale, Japanese under a
# Japanese one. Each manual window is photographed; with a folder as the
# second argument the pictures are kept there (help-en.png, help-ja.png).
#   help_wm.sh <padscope executable> [folder for the screenshots]
# Exits 77 (skipped) when the X server cannot be started.
set -euo pipefail
program="$1"
keep="${2:-}"
source "$(dirname "$0")/../../testing/window_session.sh"
command -v xwd >/dev/null && [ -x /usr/bin/convert ] || skip "xwd or ImageMagick is not installed"

copy_program
printf '[window]\r\nHeight=636\r\nWidth=810\r\nTop=20\r\nLeft=20\r\n\r\n' > "$work/padscope.ini"

# open_help <locale> <title> <code>: starts the program, presses F1, waits
# for the manual's window by its title, photographs it and closes the program.
open_help() {
  local locale="$1" title="$2" code="$3"
  LANG="$locale" launch_program 20
  local main
  main="$(program_window)"
  xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
  xdotool key --window "$main" F1
  # The window's id by its title, as the window manager lists it.
  manual_id() { wmctrl -l | awk -v t="$title" '{ id = $1; $1 = $2 = $3 = ""; sub(/^ +/, "") } $0 == t { print id }' | grep .; }
  wait_for 10 manual_id || { echo "$locale: F1 opened no window titled '$title'"; wmctrl -l; describe_program; exit 1; }
  local manual
  manual="$(manual_id | head -n 1)"
  # The page is laid out once the window maps; a moment for its first paint.
  sleep 1
  xwd -silent -id "$manual" | /usr/bin/convert xwd:- "$work/help-$code.png"
  local colours
  colours="$(/usr/bin/convert "$work/help-$code.png" -format %k info:)"
  [ "$colours" -gt 8 ] || { echo "$locale: the manual's window looks empty ($colours colours)"; exit 1; }
  [ -z "$keep" ] || cp "$work/help-$code.png" "$keep/"
  close_program
}

open_help en_US.UTF-8 "Padscope manual" en
first="$(cat "$work/padscope.ini")"
open_help ja_JP.UTF-8 "Padscope の使い方" ja
# Opening the manual is no change: the settings file stays as it was.
[ "$first" = "$(cat "$work/padscope.ini")" ] || { echo "the settings file changed"; exit 1; }
echo "F1 shows the manual in English and in Japanese"
