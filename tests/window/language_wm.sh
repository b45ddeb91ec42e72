#!/usr/bin/env bash
# The real program's language: the desktop's, Japanese for a Japanese, C or
# POSIX locale or none and English for any other; the desktop entry's
# "Padscope (English)" action opens English windows even on a Japanese
# system. The about box's title, opened from the version label, tells which.
#   language_wm.sh <padscope executable> <desktop entry>
# Exits 77 (skipped) when the X server cannot be started.
set -euo pipefail
program="$1"
desktop_entry="$2"
source "$(dirname "$0")/../../testing/window_session.sh"

copy_program
printf '[window]\r\nHeight=636\r\nWidth=810\r\nTop=20\r\nLeft=20\r\n\r\n' > "$work/padscope.ini"

# open_about_box <locale> <arguments...>: starts the program, opens the
# about box, writes its title to $work/title and closes the program.
open_about_box() {
  local locale="$1"; shift
  if [ "$locale" = unset ]; then
    env -u LANG -u LC_ALL -u LC_MESSAGES -u LANGUAGE "$work/padscope" "$@" >"$work/run.log" 2>&1 &
  else
    LANG="$locale" LC_ALL="$locale" "$work/padscope" "$@" >"$work/run.log" 2>&1 &
  fi
  local app=$!
  pids+=("$app")
  wait_for 20 sh -c "wmctrl -l | grep -q ' Padscope$'" || { echo "no window"; cat "$work/run.log"; exit 1; }
  sleep 0.5
  local main
  main="$(wmctrl -l | awk '/ Padscope$/ { print $1 }')"
  xdotool mousemove --window "$main" 470 598 click 1
  # Every window but the main one, by title; the about box's is the one.
  local others="wmctrl -l | awk 'NF != 4 || \$4 != \"Padscope\"' | sed 's/^[^ ]* *[^ ]* *[^ ]* //'"
  wait_for 10 sh -c "$others | grep -q ." || { echo "no about box"; exit 1; }
  sh -c "$others" > "$work/title"
  wmctrl -c Padscope
  wait_for 20 sh -c "! kill -0 $app" || { echo "the program did not close"; exit 1; }
}

# The action's command line, as the desktop runs it.
action="$(sed -n '/^\[Desktop Action English\]/,/^\[/ s/^Exec=padscope //p' "$desktop_entry")"
[ "$action" = "--language en" ] || { echo "the desktop action runs '$action'"; exit 1; }
# shellcheck disable=SC2086
open_about_box ja_JP.UTF-8 $action
english="$(cat "$work/title")"
[ "$english" = "About Padscope" ] || { echo "English on request: about box titled '$english'"; exit 1; }

cp "$work/padscope.ini" "$work/first.ini"
for locale in ja_JP.UTF-8 C POSIX unset; do
  open_about_box "$locale"
  japanese="$(cat "$work/title")"
  [ "$japanese" = "バージョン情報" ] || { echo "$locale: about box titled '$japanese'"; exit 1; }
done
for locale in en_US.UTF-8 de_DE.UTF-8; do
  open_about_box "$locale"
  english="$(cat "$work/title")"
  [ "$english" = "About Padscope" ] || { echo "$locale: about box titled '$english'"; exit 1; }
done
# Nothing was chosen in the window: the settings file is as the first run left it.
cmp "$work/first.ini" "$work/padscope.ini" || { echo "the settings file changed"; exit 1; }

# An unknown language: the desktop's, and one line on stderr.
open_about_box ja_JP.UTF-8 --language xx
unknown="$(cat "$work/title")"
[ "$unknown" = "バージョン情報" ] || { echo "unknown language: about box titled '$unknown'"; exit 1; }
grep -qx 'padscope: unknown language "xx" (en or ja); ignored' "$work/run.log" \
  || { echo "no note for the unknown language"; cat "$work/run.log"; exit 1; }
echo "the desktop's language, English on request"
