#!/usr/bin/env bash
# Start-up time to the first shown window (offscreen, GS Reset waits skipped)
# of Padscope against a bare Qt window, run alternately in one session, and
# the peak memory of both. Usage: bench/startup.sh [build-dir] [runs]
set -euo pipefail
build="${1:-build}"
runs="${2:-21}"
export QT_QPA_PLATFORM=offscreen JACK_NO_START_SERVER=1
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Without a sound server the built-in synth cannot open its audio and the
# program would stop at its message box: give ALSA a null default device.
mkdir -p "$work/home"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$work/home/.asoundrc"
export HOME="$work/home"
# The probe keeps its settings beside itself: run a copy so the build stays clean.
cp "$build/bench/padscope-startup-probe" "$build/bench/bare-window-probe" "$work/"

measure() {  # prints "milliseconds peak_kib"
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$work/t" "$1" >/dev/null 2>&1
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000000 )) $(cat "$work/t")"
}
: > "$work/padscope"; : > "$work/bare"
for _ in $(seq "$runs"); do
  measure "$work/padscope-startup-probe" >> "$work/padscope"
  measure "$work/bare-window-probe" >> "$work/bare"
done
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
p_time=$(cut -d' ' -f1 "$work/padscope" | median); b_time=$(cut -d' ' -f1 "$work/bare" | median)
p_mem=$(cut -d' ' -f2 "$work/padscope" | median); b_mem=$(cut -d' ' -f2 "$work/bare" | median)
echo "runs: $runs each, alternating"
echo "padscope: median ${p_time} ms, peak ${p_mem} KiB"
echo "bare Qt:  median ${b_time} ms, peak ${b_mem} KiB"
awk -v p="$p_time" -v b="$b_time" -v pm="$p_mem" -v bm="$b_mem" \
  'BEGIN { if (b > 0) printf "time ratio %.2f, memory ratio %.2f\n", p / b, pm / bm }'
