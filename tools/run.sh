#!/usr/bin/env bash
# Builds Velmaro.exe and runs it under Wine. On a display ($DISPLAY) the interactive
# program opens; without one it runs under Xvfb and saves a screenshot.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMARO_BUILD_DIR:-$root/build}
bash "$root/tools/setup.sh"
bash "$root/tools/build.sh" win
exe=$build/win/bin/Velmaro.exe
echo "Velmaro.exe: $exe"

if [ -n "${DISPLAY:-}" ]; then
  exec bash "$root/tools/wine-session.sh" "$build/run" -- wine "$exe" "$@"
fi

shot=$build/run/velmaro.png
bash "$root/tools/wine-session.sh" "$build/run" -- bash -c '
  wine "$1" & pid=$!
  sleep 8
  import -window root "$2"
  wineserver -k >/dev/null 2>&1 || true
  wait $pid 2>/dev/null || true' _ "$exe" "$shot"
echo "screenshot: $shot"
