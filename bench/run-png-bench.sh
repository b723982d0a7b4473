#!/usr/bin/env bash
# A 12-megapixel PNG previewed and staged by the program's own code under Wine (through
# the system's codecs, see png_stage_bench_win.cpp), side by side in one run with
# ImageMagick's `convert x.png bmp3:y.bmp` on the host (wall-clock, the best of 3).
# Usage: bench/run-png-bench.sh [windows-build-dir]   (default: build/win, a Release tree)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win}
data=$build/bench-data
mkdir -p "$data"
cmake --build "$build" -j2 --target velmaro_bench_png >/dev/null
png=$data/photo-12mp.png
# Photo-like (smooth shapes with grain), 4000 x 3000, 24-bit with an alpha channel that
# fades at the top, so the transparency work is part of the figure.
[ -f "$png" ] || convert -seed 5 -size 1000x750 plasma:fractal -resize '4000x3000!' \
  -attenuate 0.3 +noise Gaussian \( -size 4000x3000 gradient:'rgba(0,0,0,0.5)-rgba(0,0,0,1)' \) \
  -compose CopyOpacity -composite PNG32:"$png"
echo "== $(identify -format '%wx%h, %b' "$png")"
best=1e9
for _ in 1 2 3; do
  s=$(date +%s.%N)
  convert "$png" bmp3:"$data/im.bmp"
  e=$(date +%s.%N)
  best=$(python3 -c "print(min($best, ($e - $s) * 1000))")
done
printf 'ImageMagick convert x.png bmp3:y.bmp: %.0f ms\n' "$best"
"$root/tools/wine-session.sh" "$build" -- wine "$build/bench/velmaro_bench_png.exe" \
  "Z:$png" "Z:$data/staged.bmp" 3
rm -f "$data/im.bmp" "$data/staged.bmp"
