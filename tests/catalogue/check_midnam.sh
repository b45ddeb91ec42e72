#!/bin/sh
# Validates padscope-drumtable's MIDNAM output for every map, and for all maps
# together, with xmllint and no network: an XML catalogue maps the document's
# public identifier to the DTD given here.
#   check_midnam.sh <padscope-drumtable> <dtd> <scratch folder>
set -eu
tool="$1" dtd="$2" scratch="$3"
command -v xmllint >/dev/null || { echo "xmllint not found (Debian package libxml2-utils)"; exit 1; }
mkdir -p "$scratch"
cat >"$scratch/catalog.xml" <<CATALOG
<?xml version="1.0"?>
<catalog xmlns="urn:oasis:names:tc:entity:xmlns:xml:catalog">
  <public publicId="-//MIDI Manufacturers Association//DTD MIDINameDocument 1.0//EN" uri="file://$(cd "$(dirname "$dtd")" && pwd)/$(basename "$dtd")"/>
</catalog>
CATALOG
export XML_CATALOG_FILES="$scratch/catalog.xml"

# Valid against the DTD, and not a word on standard error (warnings included).
check() {
  xmllint --noout --nonet --valid "$1" 2>"$scratch/xmllint.err" || { cat "$scratch/xmllint.err"; exit 1; }
  if [ -s "$scratch/xmllint.err" ]; then cat "$scratch/xmllint.err"; exit 1; fi
  echo "$2: valid"
}

for map in sc8850 sc88pro sc88 sc55 tg300b all; do
  file="$scratch/$map.midnam"
  if [ "$map" = all ]; then
    "$tool" --format midnam >"$file"
  else
    "$tool" --format midnam --map "$map" >"$file"
  fi
  check "$file" "$map"
done
# One kit alone is a whole document too.
"$tool" --format midnam --map sc8850 --kit 60 >"$scratch/one-kit.midnam"
check "$scratch/one-kit.midnam" "one kit"
