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

# No display: show the program's main job. The bundled sample folder becomes the selected
# folder list, and Velmaro runs unattended ("/s") inside a Wine virtual desktop, which
# draws the wallpaper; then we print what was applied and take a screenshot.
demo=$build/run/demo
mkdir -p "$demo"
cp "$exe" "$demo/Velmaro.exe"
pictures=$root/samples/pictures
printf 'Z:%s\r\n' "${pictures//\//\\}" >"$demo/Directory.drl"
shot=$build/run/wallpaper.png
rm -f "$shot"
bash "$root/tools/wine-session.sh" "$build/run" -- bash -c '
  demo=$1 shot=$2
  done=$demo/run-ended
  rm -f "$done"
  windemo="Z:${demo//\//\\}"
  # The desktop lives as long as its command: after Velmaro ends, cmd marks the end in a
  # file and keeps the desktop (and so the wallpaper) on the screen for the screenshot.
  # The session ends it, with everything else of its private prefix, when we are done.
  wine explorer /desktop=Velmaro,1024x768 cmd /c \
    "start /wait $windemo\\Velmaro.exe /s & echo ended>$windemo\\run-ended & ping -n 60 127.0.0.1 >nul" \
    </dev/null >/dev/null 2>&1 &
  ended=0
  for _ in $(seq 240); do [ -f "$done" ] && { ended=1; break; }; sleep 0.5; done
  if [ $ended = 1 ]; then
    sleep 2 # the desktop repaints with the new wallpaper once the program has gone
  else
    echo "Velmaro did not end within 2 minutes (a message box waiting?); the screenshot shows why." >&2
  fi
  import -window root "$shot"
  echo "Applied wallpaper values (HKCU\\Control Panel\\Desktop):"
  for v in Wallpaper TileWallpaper WallpaperStyle WallpaperOriginX WallpaperOriginY; do
    wine reg query "HKCU\\Control Panel\\Desktop" /v "$v" 2>/dev/null | tr -d "\r" | grep -E "^\s+$v" || echo "    $v (not set)"
  done
  echo "Next position (HKCU\\Software\\Velmaro\\Settings):"
  wine reg query "HKCU\\Software\\Velmaro\\Settings" 2>/dev/null | tr -d "\r" | grep -E "REG_" || echo "    (none)"
  staged=$(wine reg query "HKCU\\Control Panel\\Desktop" /v Wallpaper 2>/dev/null | tr -d "\r" | sed -n "s/.*REG_SZ *//p")
  if [ -n "$staged" ]; then
    unix=$(winepath -u "$staged" 2>/dev/null)
    echo "Staged file: $staged"
    [ -f "$unix" ] && identify "$unix" 2>/dev/null | sed "s|^.*/VMImage.bmp|    VMImage.bmp|"
  fi
  [ $ended = 1 ]' _ "$demo" "$shot"
echo "screenshot of the desktop with the new wallpaper: $shot"
