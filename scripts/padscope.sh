#!/usr/bin/env bash
# Sets up a Debian 12 machine for Padscope, builds it, and then either runs
# the program or runs every test headless.
#
#   scripts/padscope.sh run    install what is missing, build, start Padscope
#   scripts/padscope.sh test   install what is missing, build, run all tests
set -euo pipefail

mode="${1:-run}"
case "$mode" in
  run|test) ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

# What the program needs to build and to run, and to make its Debian package.
packages=(
  cmake ninja-build g++ pkg-config dpkg-dev file
  qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools librtmidi-dev libasound2-dev libjack-jackd2-dev
  libfluidsynth-dev fluid-soundfont-gm fluid-soundfont-gs
  fonts-ipafont-gothic
)
# What only the tests need: the test and benchmark frameworks, a JACK server
# and MIDI peer, clang for the fuzzer, an X server with a window manager and
# xdotool for the real window, a session bus and the AT-SPI client that reads
# it as a screen reader does, xmllint for the exported MIDNAM files, and the
# tools that check the Debian package, a second SoundFont for the synth, and
# mido, a MIDI file reader of its own to read back the saved files.
if [ "$mode" = test ]; then
  packages+=(
    googletest libgtest-dev libbenchmark-dev libglib2.0-dev
    jackd2 clang libclang-rt-14-dev xvfb openbox wmctrl xdotool x11-utils libxml2-utils
    dbus at-spi2-core python3-pyatspi pulseaudio pulseaudio-utils pipewire pipewire-jack
    python3-jack-client python3-mido x11-apps imagemagick
    desktop-file-utils appstream lintian
    musescore-general-soundfont
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}")
  if [ "$(id -u)" -eq 0 ]; then
    as_root=()
  elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
  else
    echo "Padscope needs these packages first; install them as root, then run this again:" >&2
    echo "  su -c 'apt-get update -qq && ${install[*]}'" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" "${install[@]}"
fi

jobs="$(nproc)"
# ctest counts a skipped test as passed: say how many did not run.
run_ctest() {
  local log status=0 skipped
  log="$(mktemp)"
  ctest "$@" 2>&1 | tee "$log" || status=$?
  skipped="$(grep -c ' (Skipped)$' "$log" || true)"
  [ "$skipped" -eq 0 ] || echo "$skipped tests were skipped: what they check was not tested (reasons above)"
  rm -f "$log"
  return "$status"
}
configure_and_build() {
  local dir="$1"; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPADSCOPE_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

case "$mode" in
  run)
    # The program alone: no tests, no benchmarks.
    configure_and_build build-run -DBUILD_TESTING=OFF -DPADSCOPE_BENCH=OFF
    exec ./build-run/padscope
    ;;
  test)
    export JACK_NO_START_SERVER=1
    configure_and_build build
    run_ctest --test-dir build --output-on-failure -j "$jobs"
    # The Debian package builds, passes lintian and runs unpacked.
    scripts/package-check.sh build
    # A short run of the fuzzers: the settings file, the drum-only SoundFonts.
    scripts/fuzz.sh "${PADSCOPE_FUZZ_SECONDS:-60}"
    # Once more under AddressSanitizer and UndefinedBehaviorSanitizer.
    configure_and_build build-asan -DPADSCOPE_SANITIZE=ON -DPADSCOPE_BENCH=OFF
    # The about box's exact centring is left to the normal pass: slowed down
    # by the sanitizers, the toolkit may keep the frame it read before the
    # window manager settled it.
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
      run_ctest --test-dir build-asan --output-on-failure -j "$jobs" -E '^about_box_wm$'
    # The threads of the core and the synth under ThreadSanitizer.
    configure_and_build build-tsan -DPADSCOPE_SANITIZE=thread -DPADSCOPE_BENCH=OFF
    run_ctest --test-dir build-tsan --output-on-failure -j "$jobs"
    ;;
esac
