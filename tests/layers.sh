#!/usr/bin/env bash
# Includes run one way only: app and tools -> ui -> core -> catalogue, and
# the catalogue stands alone. Every project header is included by its path
# from the source root, so a header's folder is its layer. The core and the
# catalogue know no widget. Test doubles and fixtures stay out of the
# program, and the server fixtures shared with the benchmarks (testing/)
# include nothing of the tests.
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
forbid "the catalogue includes the core" 'core/.*' catalogue
forbid "a lower layer includes an entry point" '(app|tools)/.*' core catalogue ui
forbid "the program includes a command-line tool" 'tools/.*' app
forbid "a command-line tool includes the program" 'app/.*' tools
forbid "the program includes a test fixture or double" '(tests|testing)/.*' app tools ui core catalogue
forbid "the shared server fixtures include a test's own code" 'tests/.*' testing
# A header of the source tree named without its folder: its layer is hidden.
layers="app tools ui core catalogue"
bare="$(cd "$root" && grep -rhoE '#include "[^/"]+"' $layers | sed -E 's/.*"(.*)"/\1/' | sort -u)"
for name in $bare; do
  if [ -n "$(cd "$root" && find $layers -name "$name" -print -quit)" ]; then
    echo "a header included without its folder: $name"; status=1
  fi
done
[ "$status" -eq 0 ] && echo "includes run one way: app, tools -> ui -> core -> catalogue"
exit "$status"
