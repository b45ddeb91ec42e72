#!/usr/bin/env bash
# The manual pages as the POSIX locale shows them: no troff warning, and
# every option that a program's --help lists is in its page.
#   man_pages.sh <source root> <padscope> <padscope-drumtable>
set -euo pipefail
root="$1"
status=0
check() {  # check <page> <program>
  local page="$1" program="$2" warnings option
  warnings="$(LANG=C LC_ALL=C MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)"
  if [ -n "$warnings" ]; then
    echo "$(basename "$page") under LANG=C:"; echo "$warnings"; status=1
  fi
  for option in $("$program" --help | grep -oE '(^|[ ,[])--?[a-zA-Z][a-zA-Z-]*' | sed 's/^[ ,[]//' | sort -u); do
    # In the page every hyphen of an option is written \-.
    grep -qF -- "${option//-/\\-}" "$page" || { echo "$(basename "$page") lacks $option"; status=1; }
  done
}
check "$root/dist/padscope.1" "$2"
check "$root/dist/padscope-drumtable.1" "$3"
exit "$status"
