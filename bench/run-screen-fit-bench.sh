#!/usr/bin/env bash
# Fit and Fill at the screen's size, side by side with the references in one run (CPU
# time, user + system, the best of 5; peak memory, the largest resident set):
#   - Fill of a 50-megapixel JPEG (8660 x 5774) to 3840 x 2160 against a full-size decode
#     of the same file (bar: at most 0.5), and its peak memory (bar: at most 100 MiB);
#   - Fill of a 12-megapixel JPEG to 1920 x 1080 against `djpeg -bmp` (bar: at most 0.6).
# For scale, two more decodes of the 50-megapixel file: `djpeg -ppm` to /dev/null, a
# full-size decode that streams its rows and never holds the picture (so it pays no 143 MiB
# buffer), and `djpeg -scale 1/8`, the floor of any decode: it still reads every
# coefficient (the entropy decoding) but hardly does anything else.
# Usage: bench/run-screen-fit-bench.sh [build-dir]   (default: build/bench)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}
data=$build/bench-data
mkdir -p "$data"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMARO_SANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target velmaro_screen_fit >/dev/null
photo() { # width height file (the same pictures as run-benchmarks.sh)
  [ -f "$3" ] || convert -seed 5 -size 1000x750 plasma:fractal -resize "$1x$2!" \
    -attenuate 0.3 +noise Gaussian -quality 90 "$3"
}
photo 4000 3000 "$data/photo-12mp.jpg"
photo 8660 5774 "$data/photo-50mp.jpg"
fit=$build/bench/velmaro_screen_fit
# The CPU seconds of one run, from the shell's own accounting of its children (to the
# millisecond; /usr/bin/time rounds to hundredths, too coarse for the 12-megapixel runs).
measure() {
  ( "$@" >/dev/null; times ) | awk 'NR == 2 {
    split($1, u, /[ms]/); split($2, s, /[ms]/); printf "%.3f\n", u[1] * 60 + u[2] + s[1] * 60 + s[2] }'
}
best() { # the least CPU time of 5 runs
  for _ in 1 2 3 4 5; do measure "$@"; done | sort -n | head -n1
}
read -r fill50 < <(best "$fit" fill "$data/photo-50mp.jpg" 3840 2160 "$data/fill-50mp.bmp")
peak50=$(/usr/bin/time -f '%M' "$fit" fill "$data/photo-50mp.jpg" 3840 2160 "$data/fill-50mp.bmp" 2>&1 >/dev/null | tail -n1)
read -r full50 < <(best "$fit" full "$data/photo-50mp.jpg" 0 0 -)
read -r stream50 < <(best djpeg -ppm -outfile /dev/null "$data/photo-50mp.jpg")
read -r floor50 < <(best djpeg -scale 1/8 -ppm -outfile /dev/null "$data/photo-50mp.jpg")
read -r fill12 < <(best "$fit" fill "$data/photo-12mp.jpg" 1920 1080 "$data/fill-12mp.bmp")
read -r djpeg12 < <(best djpeg -bmp -outfile "$data/djpeg-12mp.bmp" "$data/photo-12mp.jpg")
identify -format 'fill outputs: %wx%h\n' "$data/fill-50mp.bmp" "$data/fill-12mp.bmp"
python3 - "$fill50" "$full50" "$peak50" "$fill12" "$djpeg12" "$floor50" "$stream50" <<'PY'
import sys
fill50, full50, peak50, fill12, djpeg12, floor50, stream50 = map(float, sys.argv[1:])
print(f"50 MP Fill to 3840x2160 / full-size decode: {fill50:.3f} s / {full50:.3f} s = {fill50 / full50:.2f} (bar: at most 0.5)")
print(f"50 MP Fill / streamed full-size decode (djpeg -ppm): {fill50:.3f} s / {stream50:.3f} s = {fill50 / stream50:.2f}")
print(f"50 MP entropy-decoding floor (djpeg -scale 1/8) / full-size decode: {floor50:.3f} s = {floor50 / full50:.2f}")
print(f"50 MP Fill peak memory: {peak50 / 1024:.1f} MiB (bar: at most 100 MiB; a full-size 24-bit buffer is 143 MiB)")
print(f"12 MP Fill to 1920x1080 / djpeg -bmp: {fill12:.3f} s / {djpeg12:.3f} s = {fill12 / djpeg12:.2f} (bar: at most 0.6)")
PY
rm -f "$data"/fill-*.bmp "$data"/djpeg-12mp.bmp
