#!/usr/bin/env bash
# Velmaro.exe /next of a 12-megapixel JPEG with Fill on a 1920x1080 screen, side by side in one
# run with an empty Windows program, both started the same way under Wine (wall-clock, each
# started 5 times in turn; median and best). The machine's load is printed beside them.
# Usage: bench/run-quiet-next-bench.sh [windows-build-dir]   (default: build/win, a Release tree)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win}
data=$build/bench-data/quiet
mkdir -p "$data/pictures"
cmake --build "$build" -j2 --target Velmaro velmaro_bench_empty >/dev/null
jpg=$data/pictures/photo-12mp.jpg
[ -f "$jpg" ] || convert -seed 7 -size 1000x750 plasma:fractal -resize '4000x3000!' \
  -attenuate 0.3 +noise Gaussian -quality 90 "$jpg"
cp "$build/bin/Velmaro.exe" "$data/Velmaro.exe"
printf 'Z:%s\r\n' "$(echo "$data/pictures" | tr / '\\')" >"$data/Directory.drl"
echo "== $(identify -format '%wx%h, %b' "$jpg"), Fill, screen 1920x1080"
VELMARO_SCREEN=1920x1080x24 "$root/tools/wine-session.sh" "$build" -- python3 - "$data" \
  "$build/bench/velmaro_bench_empty.exe" <<'PY'
import statistics, subprocess, sys, time
data, empty = sys.argv[1], sys.argv[2]
key = r"HKCU\Software\Velmaro\Settings"
# The program's first run but for Fill: whatever a test left in the settings goes.
subprocess.run(["wine", "reg", "delete", r"HKCU\Software\Velmaro", "/f"], capture_output=True)
subprocess.run(["wine", "reg", "add", key, "/v", "Display", "/d", "4", "/f"], check=True, capture_output=True)
def run(cmd):
    began = time.monotonic()
    code = subprocess.run(cmd, capture_output=True).returncode
    if code != 0:
        sys.exit("%s ended with %d" % (cmd, code))
    return time.monotonic() - began
runs = {"empty program": [], "Velmaro.exe /next": []}
run(["wine", empty]); run(["wine", data + "/Velmaro.exe", "/next"])  # warm both once
for _ in range(5):
    runs["empty program"].append(run(["wine", empty]))
    runs["Velmaro.exe /next"].append(run(["wine", data + "/Velmaro.exe", "/next"]))
for name, t in runs.items():
    print("%-20s median %.3f s, best %.3f s" % (name, statistics.median(t), min(t)))
extra = statistics.median(runs["Velmaro.exe /next"]) - statistics.median(runs["empty program"])
print("/next takes %.3f s more than the empty program (median)" % extra)
PY
echo "uptime: $(uptime)"
