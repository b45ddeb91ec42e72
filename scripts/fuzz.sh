#!/usr/bin/env bash
# Builds the settings file fuzz target with clang and runs it for the given
# number of seconds (default 60) on a scratch copy of fuzz/corpus, so that the
# inputs it finds never land in the repository. Exits non-zero on a crash.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PADSCOPE_FUZZ_BUILD:-$root/build-fuzz}"

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target padscope_ini_fuzzer

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
cp "$root"/fuzz/corpus/* "$work/corpus/"

status=0
# Inputs of any length up to 512 KB from the start, long enough for a read
# that slows down with the file's size to show as a time-out (10 s for one).
# The fuzzer's progress lines go to a log; only its summary and the longest
# input it kept are printed, or the whole log when it fails.
"$build/padscope_ini_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
  -max_len=524288 -len_control=0 -timeout=10 \
  -artifact_prefix="$work/artifacts/" "$work/corpus" > "$work/fuzz.log" 2>&1 || status=$?
grep -E '^(Done|stat::)' "$work/fuzz.log" || true
echo "longest input kept: $(ls -S "$work/corpus" | head -1 | xargs -I{} stat -c %s "$work/corpus/{}") bytes"

if [ "$status" -ne 0 ]; then
  cat "$work/fuzz.log" >&2
  echo "fuzz: the target failed (exit $status); crashing inputs:" >&2
  for crash in "$work"/artifacts/*; do
    [ -e "$crash" ] || continue
    echo "--- $crash" >&2
    od -c "$crash" | head -20 >&2
  done
  mkdir -p "$build/crashes"
  cp "$work"/artifacts/* "$build/crashes/" 2>/dev/null || true
  echo "fuzz: copies kept in $build/crashes" >&2
fi
exit "$status"
