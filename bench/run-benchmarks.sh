#!/usr/bin/env bash
# Builds the imaging benchmarks (Release, no sanitizers, in a build tree of their own)
# and prints the figures:
#   - the preview of a 12-megapixel baseline JPEG (header, scaled decode, fit) against a
#     full-size decode of the same file;
#   - full decode plus 24-bit BMP file against libjpeg-turbo's `djpeg -bmp` (CPU time);
#   - peak memory converting a 50-megapixel JPEG to a 24-bit BMP (/usr/bin/time -v),
#     against the size of its 24-bit pixel buffer.
# Usage: bench/run-benchmarks.sh [build-dir]   (default: build/bench)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}
data=$build/bench-data
mkdir -p "$data"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMARO_SANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target velmaro_bench_imaging velmaro_jpeg_to_bmp >/dev/null

# Photo-like pictures (smooth shapes with grain, so the coder has real work), made once.
photo() { # width height file
  [ -f "$3" ] || convert -seed 5 -size 1000x750 plasma:fractal -resize "$1x$2!" \
    -attenuate 0.3 +noise Gaussian -quality 90 "$3"
}
photo 4000 3000 "$data/photo-12mp.jpg"
photo 8660 5774 "$data/photo-50mp.jpg"

echo "== 12-megapixel baseline JPEG: $(identify -format '%wx%h, %b' "$data/photo-12mp.jpg")"
VELMARO_BENCH_JPEG=$data/photo-12mp.jpg "$build/bench/velmaro_bench_imaging" \
  --benchmark_out="$data/results.json" --benchmark_out_format=json
python3 - "$data/results.json" <<'PY'
import json, sys
runs = {b["name"].split("/")[0]: b["real_time"] for b in json.load(open(sys.argv[1]))["benchmarks"]}
print(f"preview / full decode:            {runs['Preview']:.1f} ms / {runs['FullDecode']:.1f} ms"
      f" = 1 : {runs['FullDecode'] / runs['Preview']:.1f}")
for name, what in (("ConvertToBmpFile", "file held whole"), ("StreamToBmpFile", "file read as it decodes")):
    print(f"to BMP file ({what}) / djpeg -bmp: {runs[name]:.1f} ms / {runs['DjpegBmp']:.1f} ms"
          f" = {runs[name] / runs['DjpegBmp']:.2f} (bar: at most 1.2)")
print(f"wallpaper request + tick / djpeg -bmp: {runs['WallpaperRequestAndTick']:.1f} ms / {runs['DjpegBmp']:.1f} ms"
      f" = {runs['WallpaperRequestAndTick'] / runs['DjpegBmp']:.2f}")
PY

echo "== 50-megapixel JPEG to a 24-bit BMP: $(identify -format '%wx%h, %b' "$data/photo-50mp.jpg")"
peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ {print $2}'; }
ours=$(peak "$build/bench/velmaro_jpeg_to_bmp" "$data/photo-50mp.jpg" "$data/out-50mp.bmp")
held=$(peak "$build/bench/velmaro_jpeg_to_bmp" --in-memory "$data/photo-50mp.jpg" "$data/out-50mp-held.bmp")
theirs=$(peak djpeg -bmp -outfile "$data/out-50mp-djpeg.bmp" "$data/photo-50mp.jpg")
# djpeg leaves the image size field 0; the pixel data after the 54 header bytes must agree.
cmp -s -i 54 "$data/out-50mp.bmp" "$data/out-50mp-djpeg.bmp" && same="identical" || same="different"
size=$(identify -format '%w %h' "$data/photo-50mp.jpg")
python3 - $size "$ours" "$held" "$theirs" "$(stat -c %s "$data/photo-50mp.jpg")" "$same" <<'PY'
import sys
w, h, ours, held, theirs, jpeg = (int(a) for a in sys.argv[1:7])
same = sys.argv[7]
buffer = ((w * 3 + 3) & ~3) * h / 1024
def line(what, kb):
    print(f"{what:<34} {kb / 1024:6.1f} MiB = buffer + {100 * (kb - buffer) / buffer:4.1f} %")
print(f"24-bit buffer                      {buffer / 1024:6.1f} MiB (bar: peak at most buffer + 10 %)")
line("peak, file read as it decodes:", ours)
line(f"peak, file held whole ({jpeg / 1048576:.1f} MiB):", held)
line("peak of djpeg -bmp, for comparison:", theirs)
print(f"pixel data of our BMP file and of djpeg's: {same}")
PY
rm -f "$data"/out-50mp*.bmp "$data"/*.out.bmp
