#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it without
# installing it: lintian, the desktop entry and metainfo as installed, the
# declared dependencies, and the programs run from the unpacked package.
#   scripts/package-check.sh <build folder>
set -euo pipefail
build="$1"

cmake --build "$build" >/dev/null
rm -f "$build"/padscope_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/padscope_*.deb)"
echo "Built $(basename "$deb")"

# Any error or warning fails; informational tags are shown, and the package's
# overrides say why each one that remains is kept. Built without DEBEMAIL or
# git's user.email, the package names the local user at this host as its
# maintainer, as Debian's own tools do: fine for a package made for this
# machine, though lintian finds root or a host name without a domain no
# address to publish. Only then are those tags about the builder left out.
maintainer="$(dpkg-deb -f "$deb" Maintainer)"
local_tags=()
if [[ "$maintainer" =~ \<(root@[^\>]*|[^@\>]+@[^.\>]+)\>$ ]]; then
  local_tags=(--suppress-tags bogus-mail-host,bogus-mail-host-in-debian-changelog,root-in-contact)
  echo "lintian: the maintainer, $maintainer, is this machine's user: set DEBEMAIL to publish the package"
fi
lintian --fail-on error,warning --display-info "${local_tags[@]}" "$deb"
echo "lintian: no errors, no warnings"

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/io.github.padscope.Padscope.desktop"
appstreamcli validate --pedantic "$unpacked/usr/share/metainfo/io.github.padscope.Padscope.metainfo.xml"

# What the package declares it needs: the libraries of its programs and the
# font, with the SoundFonts only recommended; each must be a package the
# machine's sources know.
depends="$(dpkg-deb -f "$deb" Depends)"
for wanted in fonts-ipafont-gothic libfluidsynth3 libqt6widgets6; do
  if ! grep -qE "(^|, )$wanted( |,|$)" <<<"$depends"; then
    echo "The package does not depend on $wanted: $depends" >&2
    exit 1
  fi
done
if grep -q 'fluid-soundfont' <<<"$depends"; then
  echo "The package depends on a SoundFont, which it only needs to recommend: $depends" >&2
  exit 1
fi
[ "$(dpkg-deb -f "$deb" Recommends)" = "fluid-soundfont-gm, fluid-soundfont-gs, pipewire-pulse | pulseaudio" ]
[ "$(dpkg-deb -f "$deb" Suggests)" = "jackd2" ]
for field in Depends Recommends Suggests; do
  tr ',|' '\n\n' <<<"$(dpkg-deb -f "$deb" "$field")" | sed 's/(.*//; s/ //g' | sed '/^$/d' |
  while read -r name; do
    if [ -z "$(apt-cache show --no-all-versions "$name" 2>/dev/null)" ] &&
       [ -z "$(apt-cache showpkg "$name" 2>/dev/null | sed -n '/^Reverse Provides:/,$p' | sed 1d)" ]; then
      echo "$field names $name, which no package source offers" >&2
      exit 1
    fi
  done
done
echo "Depends: $depends"

# The programs, run from where the package puts them; both answer without a
# display.
bin="$unpacked/usr/bin"
version="$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin/padscope" --version)"
lines="$("$bin/padscope-drumtable" | wc -l)"
echo "Unpacked: $version, padscope-drumtable prints $lines lines"
[ "$version" = "padscope 1.1.6" ] && [ "$lines" -eq 12416 ]

# The built-in synth's module, which the program loads from a folder given
# relative to its own when the synth's port opens: it is there, and every
# library and symbol it needs is found.
folder="$(strings -e l "$bin/padscope" | grep -oE '/\.\./.*/padscope$' | sed -n 1p)"
module="$bin$folder/padscope-synth.so"
if [ ! -f "$module" ]; then
  echo "The built-in synth's module is not in $bin$folder, where the program looks" >&2
  exit 1
fi
if ldd -r "$module" 2>&1 | grep -E 'not found|undefined symbol'; then
  echo "The built-in synth's module $module cannot be loaded" >&2
  exit 1
fi
echo "Unpacked: ${module#"$unpacked"}"

# The installed documents: the manual registered with doc-base, every page
# and picture a page names present, and no reserved example address.
doc="$unpacked/usr/share/doc/padscope"
for page in manual-en.html manual-ja.html; do
  [ -f "$doc/manual/$page" ] || { echo "The manual's $page is not installed" >&2; exit 1; }
done
grep -qx 'Index: /usr/share/doc/padscope/manual/manual-en.html' "$unpacked/usr/share/doc-base/padscope-manual"
for page in "$doc"/manual/*.html; do
  grep -oE '(src|href)="[^"#:]+' "$page" | sed 's/^[a-z]*="//' | sort -u | while read -r target; do
    [ -e "$doc/manual/$target" ] || { echo "$(basename "$page") links $target, which is not installed" >&2; exit 1; }
  done
done
reserved=example
if grep -rlaE "$reserved\.(org|com|net)|\.$reserved\b" "$unpacked" \
   || dpkg-deb -f "$deb" Maintainer | grep -E "$reserved\.(org|com|net)|\.$reserved\b"; then
  echo "The package names a reserved example address" >&2
  exit 1
fi
echo "Unpacked: the manual, $(ls "$doc"/manual/*.html | wc -l) pages, registered with doc-base"
