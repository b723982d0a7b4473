#!/usr/bin/env bash
# Clones a Wine prefix for a lane: Wine's programs and libraries (some 700 MB that no one
# writes) are hard links to the template's, every other file (the registry, settings,
# users' folders) a copy of its own, so that nothing a lane writes reaches the template.
#   tools/wine-clone.sh <template> <new-prefix>
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 <template> <new-prefix>" >&2; exit 2; }
[ ! -e "$2" ] || { echo "wine-clone: $2 exists" >&2; exit 1; }
cp -al "$1" "$2"
find "$2" -type f ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' -o -iname '*.sys' -o -iname '*.ocx' \
  -o -iname '*.acm' -o -iname '*.cpl' -o -iname '*.tlb' -o -iname '*.ax' -o -iname '*.ds' \) -print0 |
  while IFS= read -r -d '' f; do
    cp -p "$f" "$f.clone" && mv -f "$f.clone" "$f"
  done
