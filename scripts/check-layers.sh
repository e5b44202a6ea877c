#!/usr/bin/env bash
# Fails when a folder under src/ includes a header from its own layer or a
# layer above it. The layers, bottom to top:
#   0 numeric                     kernels and least-squares engines
#   1 core                        session, workspace state, console, numbers,
#                                 formatting, parsers, evaluator, services
#   2 workspace datafiles expr    the command families
#     analysis fitting plot ui
#   3 window                      the terminal console
#   4 app                         command table, loop, start-up, line editor,
#                                 program entry
#   5 qt                          the Qt front-end: frame, console and picture
#                                 windows, window services, menus, dialogs
# A folder may include its own headers and those of lower layers only.
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"
declare -A rank=([numeric]=0 [core]=1 [workspace]=2 [datafiles]=2 [expr]=2 [analysis]=2
                 [fitting]=2 [plot]=2 [ui]=2 [window]=3 [app]=4 [qt]=5)
status=0
while IFS= read -r file; do
  rel="${file#"$src"/}"
  from="${rel%/*}"
  if [ -z "${rank[$from]+x}" ]; then
    echo "$rel: folder '$from' has no layer; add it to scripts/check-layers.sh"
    status=1
    continue
  fi
  while IFS= read -r target; do
    to="${target%/*}"
    [ "$to" = "$target" ] && continue
    [ "$to" = "$from" ] && continue
    if [ -z "${rank[$to]+x}" ] || [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
      echo "$rel includes \"$target\": $from (layer ${rank[$from]}) may not use $to (layer ${rank[$to]:-?})"
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
exit $status
