# Shared by the real-window tests and benchmarks: sourced, not run. Starts
# Xvfb and openbox for the rest of the script, offers a JACK server (see
# servers.sh) and jack_midi_dump peers, and stops everything it started at
# exit. A server that cannot start makes the script exit 77 (skipped); with
# CI=true it fails instead.
source "$(dirname "${BASH_SOURCE[0]}")/servers.sh"
work="$(mktemp -d)"
pids=()
skip() {
  [ "${CI:-}" = true ] && { echo "not run, which fails with CI=true: $*"; exit 1; }
  echo "skipped: $*"; exit 77
}

# The program's main window. Qt keeps helper windows of the same name that
# are never mapped: only a visible one counts.
program_window() { xdotool search --onlyvisible --name '^Padscope$' | head -n 1; }

# A pop-up menu of the program is shown: an override-redirect window of its
# class. A message box is a managed window and does not count.
menu_shown() {
  local id
  for id in $(xdotool search --onlyvisible --class padscope 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
  done
  return 1
}
# What the program shows and logged, for a failure's message.
describe_program() {
  local id
  echo "the program's windows:"
  for id in $(xdotool search --onlyvisible --class padscope 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | grep -E 'xwininfo:|Override' || true
  done
  echo "its log:"
  cat "$work/run.log" 2>/dev/null || true
}

# The program keeps its settings beside itself: each test runs a copy, with
# the built-in synth's module that it loads from its own folder.
copy_program() {
  cp "$program" "$work/padscope"
  cp "$(dirname "$program")/padscope-synth.so" "$work/"
}

# settle <seconds>: time for something that must NOT happen to show itself.
settle() { sleep "$(awk -v s="$1" -v f="$time_factor" 'BEGIN { print s * f }')"; }
# active_window_is <name>: the window of that exact title has the focus.
active_window_is() { [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "$1" ]; }

# The test's JACK server, private, on the dummy backend; skipped when it
# cannot start. With PADSCOPE_JACK=pipewire it is a private PipeWire daemon
# instead, and every JACK client of the test, the program's too, uses
# PipeWire's JACK library, as pw-jack runs them.
start_jack_session() {
  if [ "${PADSCOPE_JACK:-}" = pipewire ]; then
    command -v pipewire >/dev/null && command -v pw-jack >/dev/null || skip "pipewire or pw-jack is not installed"
    start_pipewire_server || skip "the PipeWire daemon did not start: $(sound_server_said)"
    use_pipewire_jack
    wait_for 15 jack_lsp || skip "PipeWire's JACK did not answer: $(sound_server_said)"
  else
    start_jack_server || skip "the JACK server did not start: $(sound_server_said)"
  fi
}
start_peer() {  # start_peer <client name>: jack_midi_dump printing to $work/<name>.dump
  start_jack_peer "$1" "$work/$1.dump" || { echo "the MIDI peer $1 did not start"; exit 1; }
}

# launch_program <seconds> [argument...]: starts $work/padscope with those
# arguments, logging to $work/run.log, leaves its process id in $app, and
# waits that long for its window.
launch_program() {
  "${as_desktop_user[@]}" "$work/padscope" "${@:2}" >"$work/run.log" 2>&1 &
  app=$!
  pids+=("$app")
  wait_for "$1" sh -c "wmctrl -l | grep -q ' Padscope$'" || { echo "no window"; cat "$work/run.log"; exit 1; }
}

# start_program_on_peer <client name>: starts $work/padscope on that peer's
# port and leaves its process id in $app; $extra_settings, if set, ends the
# settings file. The port list is the built-in synth,
# then ALSA's ports, then JACK's: the peer's place in it is found by trying
# each until the program connects to it.
# events <peer> <bytes>: how many events in the peer's dump begin with
# these bytes (hex, lower case).
events() { grep -cE ":[[:space:]]+$2( |\$)" "$work/$1.dump" || true; }

# close_program: closes the window as its close button does, fails unless
# the program then ends well, and leaves the settings file it wrote, with
# LF line ends, in $settings.
close_program() {
  wmctrl -c Padscope
  local status=0
  wait "$app" || status=$?
  [ "$status" -eq 0 ] || { echo "the program ended with status $status"; cat "$work/run.log"; exit 1; }
  settings="$(tr -d '\r' < "$work/padscope.ini")"
}

start_program_on_peer() {
  app=""
  for num in $(seq 1 16); do
    printf '[window]\r\nHeight=636\r\nWidth=810\r\nTop=20\r\nLeft=20\r\n\r\n[dev]\r\nnum=%d\r\ngakki=%s:input\r\n\r\n[gen]\r\nbank=4\r\n\r\n' \
      "$num" "$1" > "$work/padscope.ini"
    printf '%s' "${extra_settings:-}" >> "$work/padscope.ini"
    launch_program 20
    if wait_for 3 sh -c "jack_lsp -c '$1:input' | grep -q '^ '"; then
      return 0
    fi
    wmctrl -c Padscope
    wait_for 20 sh -c "! kill -0 $app" || { echo "the program did not close"; exit 1; }
  done
  echo "the program never opened the port of $1"
  exit 1
}

# keep_logs <why>: prints the program's log, where a sanitizer writes its
# report, and keeps the work folder's logs under the build folder
# (PADSCOPE_TEST_LOGS), which the clean-up would delete.
keep_logs() {
  local kept
  kept="${PADSCOPE_TEST_LOGS:-$PWD/test-logs}/$(basename "$0" .sh)-$(date +%Y%m%d-%H%M%S)-$$"
  mkdir -p "$kept"
  find "$work" -maxdepth 1 -type f \( -name '*.log' -o -name '*.dump' -o -name '*.ini' \) \
    -exec cp {} "$kept/" \; 2>/dev/null || true
  echo "$1; the logs are kept in $kept"
  if [ -s "$work/run.log" ]; then
    echo "---- the program's log, with any sanitizer report:"
    tail -n 200 "$work/run.log"
  fi
}

cleanup() {
  local status=$? app_status=0
  # The program first, while its X server still runs: SIGTERM closes it as
  # its close button does, so any other end is worth its log.
  if [ -n "${app:-}" ]; then
    kill "$app" 2>/dev/null || true
    end_within 20 "$app"
    app_status=$ended_status
  fi
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do end_within 10 "$pid"; done
  if [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
    keep_logs "the test failed (status $status)"
  elif [ "$app_status" -ne 0 ] && [ "$app_status" -ne 127 ] && [ "$app_status" -ne 143 ]; then
    keep_logs "the program ended with status $app_status when the test's clean-up stopped it"
  elif grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$work/run.log" 2>/dev/null; then
    keep_logs "the program's log holds a sanitizer report"
  fi
  stop_sound_servers
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 30 test -s "$work/display" || skip "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
# Now and then openbox does not come up on a fresh server: it gets one more
# start before the test gives up, and its own words are kept for the reason.
start_window_manager() {
  openbox >>"$work/openbox.log" 2>&1 &
  pids+=($!)
  wait_for 15 wmctrl -m
}
start_window_manager || { kill "${pids[-1]}" 2>/dev/null; start_window_manager; } \
  || skip "the window manager did not start: $(tail -n 3 "$work/openbox.log")"

# No sound card here: a null ALSA device lets the built-in synth open quietly.
mkdir -p "$work/home"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$work/home/.asoundrc"
export HOME="$work/home"
# The captions follow the desktop's language: the tests read them in
# Japanese, as the C locale gives them.
export LANG=C.UTF-8
unset LC_ALL LC_MESSAGES LANGUAGE
# Under LeakSanitizer: libdbus, which the X11 platform plugin loads, keeps a
# buffer to the end that the exit status must not count, and Qt's D-Bus
# thread may still hold a connection's objects when the program ends. Qt is
# built without frame pointers: only a full unwind at each allocation shows
# that such an object came from Qt's D-Bus code. PipeWire's JACK library
# keeps what a closed client registered (its ports, their properties) until
# the process ends.
printf 'leak:libdbus-1.so\nleak:libQt6DBus.so\nleak:pipewire-0.3/jack/libjack.so\nleak:libpipewire-0.3.so\n' > "$work/lsan.supp"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$work/lsan.supp"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
