#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for its share of the given
# number of seconds (default 60, split evenly): the settings file reader on a
# scratch copy of fuzz/corpus, the drum-only SoundFont reader on one of
# fuzz/corpus-drum-font, so that the inputs they find never land in the
# repository. Exits non-zero on a crash.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PADSCOPE_FUZZ_BUILD:-$root/build-fuzz}"

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target padscope_ini_fuzzer padscope_drum_font_fuzzer

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# fuzz <target> <corpus folder> <libFuzzer options>...: one run of its share.
# The fuzzer's progress lines go to a log; only its summary and the longest
# input it kept are printed, or the whole log when it fails.
fuzz() {
  local target="$1" corpus="$2"; shift 2
  local dir="$work/$target" status=0
  mkdir -p "$dir/corpus" "$dir/artifacts"
  cp "$corpus"/* "$dir/corpus/"
  echo "$target:"
  "$build/$target" -max_total_time="$(( (seconds + 1) / 2 ))" -print_final_stats=1 "$@" \
    -artifact_prefix="$dir/artifacts/" "$dir/corpus" > "$dir/fuzz.log" 2>&1 || status=$?
  grep -E '^(Done|stat::)' "$dir/fuzz.log" || true
  echo "longest input kept: $(ls -S "$dir/corpus" | head -1 | xargs -I{} stat -c %s "$dir/corpus/{}") bytes"
  if [ "$status" -ne 0 ]; then
    cat "$dir/fuzz.log" >&2
    echo "fuzz: $target failed (exit $status); crashing inputs:" >&2
    for crash in "$dir"/artifacts/*; do
      [ -e "$crash" ] || continue
      echo "--- $crash" >&2
      od -c "$crash" | head -20 >&2
    done
    mkdir -p "$build/crashes/$target"
    cp "$dir"/artifacts/* "$build/crashes/$target/" 2>/dev/null || true
    echo "fuzz: copies kept in $build/crashes/$target" >&2
  fi
  return "$status"
}

status=0
# Settings: inputs of any length up to 512 KB from the start, long enough
# for a read that slows down with the file's size to show as a time-out (10 s
# for one).
fuzz padscope_ini_fuzzer "$root/fuzz/corpus" -max_len=524288 -len_control=0 -timeout=10 || status=$?
# SoundFonts: files and preset parts up to 64 KB, some hundred records.
fuzz padscope_drum_font_fuzzer "$root/fuzz/corpus-drum-font" -max_len=65536 -timeout=10 || status=$?
exit "$status"
