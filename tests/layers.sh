#!/usr/bin/env bash
# Includes run one way only: app -> ui -> core and catalogue. The core and the
# catalogue know no widget, and nothing below the entry point includes it.
#   layers.sh <source root>
set -euo pipefail
root="$1"
status=0
headers_of() { find "$root/$1" -name '*.h' -printf '%f\n' | sort -u; }
includes_of() {  # includes_of <folder...>: "file: header" for every quoted or Qt include
  grep -rHoE '#include [<"][^>"]+[>"]' "${@/#/$root/}" | sed -E 's/#include [<"]([^>"]+)[>"]/\1/'
}
forbid() {  # forbid <what> <pattern> <folder...>
  local what="$1" pattern="$2"; shift 2
  local found
  found="$(includes_of "$@" | grep -E ":($pattern)\$" || true)"
  if [ -n "$found" ]; then
    echo "$what:"; echo "$found"; status=1
  fi
}
as_pattern() { paste -sd'|' | sed 's/\./\\./g'; }

widgets='Q(Widget|Dialog|Label|PushButton|MessageBox|Application|MainWindow|ScrollBar|TabWidget|Menu)|QtWidgets/.*'
forbid "the core or the catalogue includes a widget header" "$widgets" core catalogue
forbid "the core or the catalogue includes a window's header" "$(headers_of ui | as_pattern)" core catalogue
forbid "a lower layer includes the entry point" "$(headers_of app | as_pattern)" core catalogue ui
[ "$status" -eq 0 ] && echo "includes run one way: app -> ui -> core, catalogue"
exit "$status"
