#!/usr/bin/env bash
# A picture per monitor, side by side with its reference in one run (CPU time, user +
# system, the best of 3; peak memory from /usr/bin/time -v): the staged bitmap of a
# 3840 x 2160 primary and a 1920 x 1080 monitor left of it, each filled from a 12-megapixel
# JPEG, against the two Fills alone (what one picture per screen costs anyway). The
# composition's own share (the 36 MiB bitmap, the wrap-around copy) bar: at most 1.3 times;
# its peak memory bar: at most 80 MiB (the bitmap is made only after the first Fill).
# Usage: bench/run-monitors-bench.sh [build-dir]   (default: build/bench)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}
data=$build/bench-data
mkdir -p "$data"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMARO_SANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target velmaro_monitors >/dev/null
photo() { # width height seed file
  [ -f "$4" ] || convert -seed "$3" -size 1000x750 plasma:fractal -resize "$1x$2!" \
    -attenuate 0.3 +noise Gaussian -quality 90 "$4"
}
photo 4000 3000 5 "$data/photo-12mp.jpg"
photo 3000 4000 6 "$data/portrait-12mp.jpg"
bin=$build/bench/velmaro_monitors
measure() { # "cpu-seconds peak-KiB" of one run
  /usr/bin/time -f '%U %S %M' "$@" 2>&1 >/dev/null | tail -n1 | awk '{printf "%.3f %d\n", $1 + $2, $3}'
}
best() { # the least CPU time of 3 runs, with that run's peak
  for _ in 1 2 3; do measure "$@"; done | sort -n | head -n1
}
read -r both peak < <(best "$bin" compose "$data/photo-12mp.jpg" "$data/portrait-12mp.jpg" "$data/monitors.bmp")
read -r fill_a _ < <(best "$bin" fill "$data/photo-12mp.jpg" 3840 2160)
read -r fill_b _ < <(best "$bin" fill "$data/portrait-12mp.jpg" 1920 1080)
identify -format 'composed: %wx%h\n' "$data/monitors.bmp"
python3 - "$both" "$peak" "$fill_a" "$fill_b" <<'PY'
import sys
both, peak, a, b = map(float, sys.argv[1:])
print(f"two monitors composed / two Fills alone: {both:.3f} s / {a + b:.3f} s = {both / (a + b):.2f} (bar: at most 1.3)")
print(f"peak memory of the composition: {peak / 1024:.1f} MiB (bar: at most 80 MiB; the staged bitmap alone is {(5760 * 3 * 2160 + 54) / 2**20:.1f} MiB)")
PY
rm -f "$data/monitors.bmp"
