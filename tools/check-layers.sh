#!/usr/bin/env bash
# Fails when an include runs up the layers. The program's folders, top to bottom:
#   app  ui  controls  gui  wallpaper  state  imaging  base
# and a file may include its own folder's headers and those of the folders below it.
#   tools/check-layers.sh
set -euo pipefail
cd "$(dirname "$0")/.."
layers=(app ui controls gui wallpaper state imaging base)
rank() { local i; for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done; echo -1; }
bad=0
for dir in "${layers[@]}"; do
  own=$(rank "$dir")
  while IFS=: read -r file line text; do
    target=$(sed -E 's/^#include "([a-z_]+)\/.*/\1/' <<<"$text")
    to=$(rank "$target")
    if [ "$to" -ge 0 ] && [ "$to" -lt "$own" ]; then
      echo "$file:$line: $dir/ includes $target/, a layer above it: $text" >&2
      bad=1
    fi
  done < <(git ls-files "$dir/*.cpp" "$dir/*.h" | xargs -r grep -nH -E '^#include "[a-z_]+/' || true)
done
[ $bad -eq 0 ] && echo "check-layers: every include points down"
exit $bad
