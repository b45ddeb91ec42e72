#!/usr/bin/env bash
# Builds the Debian package from a build folder, validates its desktop entry
# and metainfo, installs it with dpkg and runs the installed programs.
#   scripts/package-check.sh <build folder>
set -euo pipefail
build="$1"
root="$(cd "$(dirname "$0")/.." && pwd)"

desktop-file-validate "$root/dist/io.github.padscope.Padscope.desktop"
appstreamcli validate --no-net "$root/dist/io.github.padscope.Padscope.metainfo.xml"

rm -f "$build"/padscope_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/padscope_*.deb)"
echo "Built $(basename "$deb")"
if ! dpkg -i "$deb" >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get -f install -y -qq >/dev/null
fi
dpkg -s padscope | grep -q "Status: install ok installed"

# Both answer without a display.
version="$(env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/padscope --version)"
lines="$(/usr/bin/padscope-drumtable | wc -l)"
echo "Installed: $version, padscope-drumtable prints $lines lines"
[ "$version" = "padscope 1.1.6" ] && [ "$lines" -eq 12416 ]

# The built-in synth's module, which the program loads when its port opens:
# installed, and every library and symbol it needs is found.
module="$(dpkg -L padscope | grep '/padscope/padscope-synth\.so$')"
if ldd -r "$module" 2>&1 | grep -E 'not found|undefined symbol'; then
  echo "The built-in synth's module $module cannot be loaded" >&2
  exit 1
fi
echo "Installed: $module"
