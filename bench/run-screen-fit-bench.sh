#!/usr/bin/env bash
# Fit and Fill at the screen's size, side by side with the references in one run: wall-clock
# time, the best of 5, each run of ours next to one of its reference so that the load of a
# shared machine weighs on both alike (CPU time would add up the decoding and the
# resampling threads and hide what the user waits for). Ours writes its bitmap to /dev/null
# as the references write theirs (writing the 24 MB file costs the same whoever made it);
# one more run of each Fill writes a real file, to check its size:
#   - Fill of a 50-megapixel JPEG (8660 x 5774) to 3840 x 2160 against `djpeg -scale 1/2`
#     of the same file to /dev/null, the decode at the very scale this Fill uses (bar: at
#     most 1.1), and its peak memory (bar: at most 100 MiB);
#   - Fill of a 12-megapixel JPEG to 1920 x 1080 against `djpeg -bmp` (bar: at most 0.5);
#   - the same 50-megapixel Fill on one core (taskset -c 0), against the same reference there.
# What the 12-megapixel bar is up against: the part of the picture this Fill shows, decoded
# alone at its scale (`djpeg -scale 1/2 -crop`, rows 182 to 1317 of 1500 with the filter's
# reach), and the same part at 1/8, its entropy decoding with hardly anything else: libjpeg
# does that on one core, and the file has no restart markers to split it at.
# For scale, a full-size decode of the 50-megapixel file into a buffer, `djpeg -ppm` of it to
# /dev/null (a full-size decode that streams its rows) and `djpeg -scale 1/8`, the floor of any
# decode (it still reads every coefficient, but hardly does anything else).
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
p50=$data/photo-50mp.jpg p12=$data/photo-12mp.jpg

seconds() { # the wall-clock seconds of one run
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.3f\n", ns / 1e9 }'
}
# The best of 5 of two commands run in turn, given as two strings: "ours reference".
pair() {
  local a=() b=()
  for _ in 1 2 3 4 5; do
    a+=("$(seconds bash -c "$1")")
    b+=("$(seconds bash -c "$2")")
  done
  echo "$(printf '%s\n' "${a[@]}" | sort -n | head -n1) $(printf '%s\n' "${b[@]}" | sort -n | head -n1)"
}
fill50="$fit fill $p50 3840 2160 /dev/null"
read -r fill50_t scaled50_t < <(pair "$fill50" "djpeg -scale 1/2 -ppm -outfile /dev/null $p50")
read -r fill12_t djpeg12_t < <(pair "$fit fill $p12 1920 1080 /dev/null" \
  "djpeg -bmp -outfile /dev/null $p12")
read -r part12_t partfloor12_t < <(pair "djpeg -scale 1/2 -crop 2000x1136+0+182 -ppm -outfile /dev/null $p12" \
  "djpeg -scale 1/8 -crop 500x284+0+45 -ppm -outfile /dev/null $p12")
read -r one50_t onescaled50_t < <(pair "taskset -c 0 $fill50" \
  "taskset -c 0 djpeg -scale 1/2 -ppm -outfile /dev/null $p50")
read -r full50_t stream50_t < <(pair "$fit full $p50 0 0 -" "djpeg -ppm -outfile /dev/null $p50")
read -r floor50_t _ < <(pair "djpeg -scale 1/8 -ppm -outfile /dev/null $p50" true)
peak50=$(/usr/bin/time -f '%M' $fill50 2>&1 >/dev/null | tail -n1)
"$fit" fill "$p50" 3840 2160 "$data/fill-50mp.bmp"
"$fit" fill "$p12" 1920 1080 "$data/fill-12mp.bmp"
if python3 -c "import sys; d = open(sys.argv[1], 'rb').read(); sys.exit(b'\xff\xdd' in d)" "$p12"; then
  echo "12 MP photo: no restart markers"
fi
identify -format 'fill outputs: %wx%h\n' "$data/fill-50mp.bmp" "$data/fill-12mp.bmp"
echo "load: $(uptime | sed 's/.*load average: //') (1, 5, 15 min) on $(nproc) cores"
python3 - "$fill50_t" "$scaled50_t" "$fill12_t" "$djpeg12_t" "$one50_t" "$onescaled50_t" "$full50_t" \
  "$stream50_t" "$floor50_t" "$peak50" "$part12_t" "$partfloor12_t" <<'PY'
import sys
(fill50, scaled50, fill12, djpeg12, one50, onescaled50, full50, stream50, floor50, peak50, part12,
 partfloor12) = map(float, sys.argv[1:])
print(f"50 MP Fill to 3840x2160 / djpeg -scale 1/2: {fill50:.3f} s / {scaled50:.3f} s = {fill50 / scaled50:.2f} (bar: at most 1.1)")
print(f"12 MP Fill to 1920x1080 / djpeg -bmp: {fill12:.3f} s / {djpeg12:.3f} s = {fill12 / djpeg12:.2f} (bar: at most 0.5)")
print(f"12 MP shown part alone at 1/2 / djpeg -bmp: {part12:.3f} s / {djpeg12:.3f} s = {part12 / djpeg12:.2f};"
      f" its entropy decoding (1/8): {partfloor12:.3f} s = {partfloor12 / djpeg12:.2f}")
print(f"one core: 50 MP Fill / djpeg -scale 1/2: {one50:.3f} s / {onescaled50:.3f} s = {one50 / onescaled50:.2f}")
print(f"50 MP Fill / full-size decode into a buffer: {fill50:.3f} s / {full50:.3f} s = {fill50 / full50:.2f}")
print(f"50 MP Fill / streamed full-size decode (djpeg -ppm): {fill50:.3f} s / {stream50:.3f} s = {fill50 / stream50:.2f}")
print(f"50 MP entropy-decoding floor (djpeg -scale 1/8): {floor50:.3f} s")
print(f"50 MP Fill peak memory: {peak50 / 1024:.1f} MiB (bar: at most 100 MiB; a full-size 24-bit buffer is 143 MiB)")
PY
rm -f "$data"/fill-*.bmp
