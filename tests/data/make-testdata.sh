#!/usr/bin/env bash
# Writes the pictures the tests read, with ImageMagick (an encoder independent of ours).
# Each family of files has its own script in this folder (make-*.sh); this one runs them all.
set -euo pipefail
out=$1
mkdir -p "$out"
here=$(cd "$(dirname "$0")" && pwd)
for part in "$here"/make-*.sh; do
  [ "$(basename "$part")" = make-testdata.sh ] && continue
  bash "$part" "$out"
done
