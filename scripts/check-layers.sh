#!/usr/bin/env bash
# Lists the includes between folders of the project and fails on one that points upward: each layer
# may include only itself and the layers below it (docs/architecture.md). Programs, tools, tests,
# benchmarks and fuzz targets sit on top and may include any layer; no layer may include them.
#   bash scripts/check-layers.sh          checks, prints the upward includes, exit 1 if any
#   bash scripts/check-layers.sh --table  also prints the table of cross-folder includes
set -euo pipefail
cd "$(dirname "$0")/.."

# Layer folder and the layers it may include, bottom to top.
declare -A allowed=(
  [base]=""
  [db]="base"
  [settings]="base db"
  [orders]="base db settings"
  [appearance]="base"
  [spool]="base db settings orders"
  [app]="base db settings orders appearance spool"
  [display]="base"
  [appearance/widgets]="base appearance display"
  [spool/render]="base db settings orders spool"
  [spool/widgets]="base db settings orders spool spool/render display"
  [app/widgets]="base db settings orders appearance spool spool/render app display appearance/widgets spool/widgets"
)

# The layer folder of a file or include path: the longest listed folder that holds it.
layer_of() {
  local dir; dir=$(dirname "$1")
  case "$dir" in
    app/programs|app/programs/*) echo "top:app/programs"; return ;;
    */widgets|*/render) [ -n "${allowed[$dir]+x}" ] && { echo "$dir"; return; } ;;
  esac
  local top=${dir%%/*}
  if [ -n "${allowed[$top]+x}" ]; then echo "$top"; else echo "top:$top"; fi
}

table=$(mktemp); trap 'rm -f "$table"' EXIT
bad=0
while IFS= read -r file; do
  from=$(layer_of "$file")
  while IFS= read -r inc; do
    [ -n "$inc" ] || continue
    to=$(layer_of "$inc")
    [ "$from" = "$to" ] && continue
    echo "$from -> $to" >> "$table"
    case "$from" in top:*) continue ;; esac
    if [[ " ${allowed[$from]} " != *" $to "* ]]; then
      echo "upward include: $file includes \"$inc\" ($from may include: ${allowed[$from]:-nothing})"
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$file")
done < <(git ls-files '*.h' '*.cpp')

# The database layer gets what it needs passed in (start-up gives the connection the decimal
# separator), never the holder of the process-wide objects.
if grep -l '#include "base/Runtime.h"' db/*.h db/*.cpp; then
  echo "the files above in db/ include base/Runtime.h: pass what they need in instead"
  bad=1
fi

if [ "${1:-}" = "--table" ]; then
  echo "cross-folder includes (count, from -> to):"
  sort "$table" | uniq -c
fi
if [ "$bad" -ne 0 ]; then
  echo "layering check failed: an include points upward" >&2
  exit 1
fi
echo "layering check passed"
