#!/usr/bin/env bash
# A few ordinary pictures used across the tests.
set -euo pipefail
out=$1
[ -f "$out/basic-100x50.bmp" ] && exit 0
convert -size 100x50 gradient:red-blue -type TrueColor "BMP3:$out/basic-100x50.bmp"
convert -size 120x80 plasma:fractal -quality 90 "$out/basic-120x80.jpg"
