#!/usr/bin/env bash
# The real program read as a screen reader reads it, over AT-SPI on a private
# session bus, in Japanese and in English: every control that takes the focus
# has a name, the scroll bars are named after their captions and each pad
# tells its note (accessibility_check.py says what is checked).
#   accessibility_wm.sh <padscope executable>
# Exits 77 (skipped) when the X server, the session bus or pyatspi is missing.
set -euo pipefail
program="$1"
here="$(cd "$(dirname "$0")" && pwd)"

# pyatspi comes with the system's Python, which may not be the first one.
python=""
for candidate in /usr/bin/python3 python3; do
  if "$candidate" -c 'import pyatspi' >/dev/null 2>&1; then python="$candidate"; break; fi
done
[ -n "$python" ] || { echo "skipped: pyatspi is not installed"; exit 77; }
launcher=""
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
  [ -x "$candidate" ] && launcher="$candidate" && break
done
[ -n "$launcher" ] || { echo "skipped: at-spi2-core is not installed"; exit 77; }

# A session bus of its own, so that the desktop's accessibility bus (if any)
# is never touched.
if [ -z "${PADSCOPE_PRIVATE_BUS:-}" ]; then
  command -v dbus-run-session >/dev/null || { echo "skipped: dbus-run-session is not installed"; exit 77; }
  PADSCOPE_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi

source "$here/../../testing/window_session.sh"
"$launcher" --launch-immediately >"$work/at-spi.log" 2>&1 &
pids+=($!)
# Qt joins the accessibility bus only when asked to.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1

copy_program
for language in ja en; do
  printf '[window]\r\nHeight=636\r\nWidth=810\r\nTop=20\r\nLeft=20\r\n\r\n[dev]\r\nnum=0\r\ngakki=Padscope GS Synth\r\n\r\n[gen]\r\nbank=4\r\n\r\n' \
    > "$work/padscope.ini"
  "$work/padscope" --language "$language" >"$work/run.log" 2>&1 &
  app=$!
  pids+=("$app")
  wait_for 20 sh -c "wmctrl -l | grep -q ' Padscope$'" || { echo "$language: no window"; describe_program; exit 1; }
  # A message box would be a window of its own: there must be none.
  if wmctrl -l | awk 'NF != 4 || $4 != "Padscope"' | grep -q .; then
    echo "$language: a second window"; wmctrl -l; describe_program; exit 1
  fi
  if ! timeout 120 "$python" "$here/accessibility_check.py" "$language"; then
    echo "$language: what a screen reader finds is wrong (above)"
    exit 1
  fi
  wmctrl -c Padscope
  wait_for 20 sh -c "! kill -0 $app" || { echo "$language: the program did not close"; exit 1; }
done
echo "every control is named, in Japanese and in English"
