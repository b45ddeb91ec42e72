# Shared by the real-window tests: sourced, not run. Starts Xvfb and openbox
# for the rest of the script and stops everything it started at exit.
# A server that cannot start makes the test exit 77 (skipped).
work="$(mktemp -d)"
pids=()
jackd_pid=""
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  # JACK last, and waited for, so that it clears its registry entry.
  if [ -n "$jackd_pid" ]; then
    kill "$jackd_pid" 2>/dev/null || true
    wait "$jackd_pid" 2>/dev/null || true
  fi
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
skip() { echo "skipped: $*"; exit 77; }

wait_for() {  # wait_for <seconds> <command...>
  local limit=$(( $1 * 10 )); shift
  for _ in $(seq "$limit"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 10 test -s "$work/display" || skip "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &
pids+=($!)
wait_for 10 wmctrl -m || skip "the window manager did not start"

# No sound card here: a null ALSA device lets the built-in synth open quietly.
mkdir -p "$work/home"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$work/home/.asoundrc"
export HOME="$work/home"
