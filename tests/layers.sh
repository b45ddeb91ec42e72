#!/usr/bin/env bash
# Includes run one way only: app -> ui -> core and catalogue, and the
# catalogue stands alone. Every project header is included by its path from
# the source root, so a header's folder is its layer. The core and the
# catalogue know no widget.
#   layers.sh <source root>
set -euo pipefail
root="$1"
status=0
forbid() {  # forbid <what> <pattern> <folder...>: includes whose name matches
  local what="$1" pattern="$2"; shift 2
  local found
  found="$(cd "$root" && grep -rHoE '#include [<"][^>"]+[>"]' "$@" \
    | sed -E 's/#include [<"]([^>"]+)[>"]/\1/' | grep -E ":($pattern)\$" || true)"
  if [ -n "$found" ]; then
    echo "$what:"; echo "$found"; status=1
  fi
}

widgets='Q(Widget|Dialog|Label|PushButton|MessageBox|Application|MainWindow|ScrollBar|TabWidget|Menu)|QtWidgets/.*'
forbid "the core or the catalogue includes a widget header" "$widgets" core catalogue
forbid "the core or the catalogue includes a window's header" 'ui/.*' core catalogue
# The drum table tool is an entry point of its own, which may use the core.
forbid "the catalogue includes the core" 'core/.*' $(cd "$root" && ls -d catalogue/* | grep -vx 'catalogue/tools')
forbid "a lower layer includes the entry point" 'app/.*' core catalogue ui
# A header of the source tree named without its folder: its layer is hidden.
bare="$(cd "$root" && grep -rhoE '#include "[^/"]+"' app ui core catalogue | sed -E 's/.*"(.*)"/\1/' | sort -u)"
for name in $bare; do
  if [ -n "$(find "$root/app" "$root/ui" "$root/core" "$root/catalogue" -name "$name" -print -quit)" ]; then
    echo "a header included without its folder: $name"; status=1
  fi
done
[ "$status" -eq 0 ] && echo "includes run one way: app -> ui -> core, catalogue"
exit "$status"
