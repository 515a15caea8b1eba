#!/usr/bin/env bash
# Fails when a source includes a header of a layer above its own. Layers, lowest first:
# platform <- archive <- framework <- model, grid, resources, processdata, build <- app <- ui/.
set -u
root=${1:-.}
cd "$root" || exit 2
bad=0
check() {   # folder, then the folders it must not include from
  local dir=$1; shift
  local pattern
  pattern=$(printf '|%s/' "$@")
  pattern="^\s*#\s*include\s*\"(${pattern:1})"
  while IFS= read -r -d '' f; do
    if grep -qE "$pattern" "$f"; then
      grep -nE "$pattern" "$f" | sed "s|^|$f: includes a layer above: |"
      bad=1
    fi
  done < <(find "$dir" -path '*/ui/*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null)
}
check platform archive framework model grid resources processdata build app
check archive framework model grid resources processdata build app
check framework model grid resources processdata build app
for d in model grid resources processdata build; do check "$d" app; done
exit $bad
