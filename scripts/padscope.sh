#!/usr/bin/env bash
# Sets up a Debian 12 machine for Padscope, builds it, and then either runs
# the program or runs every test headless.
#
#   scripts/padscope.sh run    install what is missing, build, start Padscope
#   scripts/padscope.sh test   install what is missing, build, run all tests
set -euo pipefail

mode="${1:-run}"
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

# What the build and the program need.
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev librtmidi-dev libasound2-dev libjack-jackd2-dev
  libfluidsynth-dev libglib2.0-dev fluid-soundfont-gm fluid-soundfont-gs
  fonts-ipafont-gothic
  googletest libgtest-dev libbenchmark-dev
)
# What only the tests need: a JACK server and MIDI peer, clang for the fuzzer,
# and an X server with a window manager for the real window.
if [ "$mode" = test ]; then
  packages+=(jackd2 clang libclang-rt-14-dev xvfb openbox wmctrl xdotool)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs="$(nproc)"
configure_and_build() {
  local dir="$1"; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPADSCOPE_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

case "$mode" in
  run)
    configure_and_build build
    exec ./build/padscope
    ;;
  test)
    export JACK_NO_START_SERVER=1
    configure_and_build build
    ctest --test-dir build --output-on-failure -j "$jobs"
    # A short run of the settings file fuzzer.
    scripts/fuzz.sh "${PADSCOPE_FUZZ_SECONDS:-60}"
    # Once more under AddressSanitizer and UndefinedBehaviorSanitizer.
    configure_and_build build-asan -DPADSCOPE_SANITIZE=ON -DPADSCOPE_BENCH=OFF
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
      ctest --test-dir build-asan --output-on-failure -j "$jobs"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
