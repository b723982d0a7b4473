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
print(f"convert to BMP file / djpeg -bmp: {runs['ConvertToBmpFile']:.1f} ms / {runs['DjpegBmp']:.1f} ms"
      f" = {runs['ConvertToBmpFile'] / runs['DjpegBmp']:.2f} (bar: at most 1.2)")
PY

echo "== 50-megapixel JPEG to a 24-bit BMP: $(identify -format '%wx%h, %b' "$data/photo-50mp.jpg")"
peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ {print $2}'; }
ours=$(peak "$build/bench/velmaro_jpeg_to_bmp" "$data/photo-50mp.jpg" "$data/out-50mp.bmp")
theirs=$(peak djpeg -bmp -outfile "$data/out-50mp-djpeg.bmp" "$data/photo-50mp.jpg")
cmp -s "$data/out-50mp.bmp" "$data/out-50mp-djpeg.bmp" && same="identical" || same="different"
size=$(identify -format '%w %h' "$data/photo-50mp.jpg")
python3 - $size "$ours" "$theirs" "$(stat -c %s "$data/photo-50mp.jpg")" "$same" <<'PY'
import sys
w, h, ours, theirs, jpeg, same = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5]), sys.argv[6]
buffer = ((w * 3 + 3) & ~3) * h / 1024
print(f"24-bit buffer {buffer / 1024:.1f} MiB; peak resident {ours / 1024:.1f} MiB "
      f"= buffer + {100 * (ours - buffer) / buffer:.1f} % (bar: at most + 10 %)")
print(f"  (the JPEG file itself, held in memory: {jpeg / 1048576:.1f} MiB; djpeg -bmp peaks at {theirs / 1024:.1f} MiB;"
      f" the two BMP files are {same})")
PY
rm -f "$data"/out-50mp*.bmp "$data"/*.out.bmp
