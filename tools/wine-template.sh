#!/usr/bin/env bash
# Makes the Wine prefix every test lane is cloned from, once per build: wineboot, the crash
# dialog off, Wine drawing its own frames (no window manager), the font links for Chinese
# names. A stamp of the Wine version and of this script's inputs tells whether the
# template is still what they would make; otherwise it is made anew. The prefix is made
# under another name and moved into place only when its wineserver has ended
# (wineserver -w), so no lane ever clones a prefix still being written.
#   tools/wine-template.sh <template-dir>
set -euo pipefail
tools=$(cd "$(dirname "$0")" && pwd)
template=$1
mkdir -p "$(dirname "$template")"
template=$(cd "$(dirname "$template")" && pwd)/$(basename "$template")
fontlink=$tools/fontlink.reg
stamp="wine=$(wine --version 2>/dev/null | head -n 1)
inputs=$(cat "$0" "$fontlink" | sha256sum | cut -d' ' -f1)"
ready() { [ -f "$template/.velmaro-template" ] && [ "$(cat "$template/.velmaro-template")" = "$stamp" ]; }
ready && exit 0

# Lanes starting together wait for the one that makes it.
exec 9>"$template.lock"
flock 9
ready && exit 0

echo "wine-template: preparing the Wine prefix $template"
work=$template.new
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$work WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=
cleanup() {
  WINEPREFIX=$work wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work.display" </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 300); do grep -q . "$work.display" 2>/dev/null && break; sleep 0.05; done
export DISPLAY=":$(head -n 1 "$work.display")"
rm -f "$work.display"

quiet() { "$@" </dev/null >/dev/null 2>&1; }
quiet wineboot -i
# A crash must fail the test at once, not wait for someone to close a dialog.
quiet wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
# Without a window manager, Wine would wait for one at every window that goes away.
quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
# Names in Chinese: the faces of the program's windows fall back to WenQuanYi Micro Hei
# through Wine's font linking.
quiet wine regedit /S "Z:${fontlink//\//\\}"
# Everything written: the registry is saved when the server ends.
wineserver -w
kill "$xvfb_pid" 2>/dev/null || true
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=

printf '%s\n' "$stamp" >"$work/.velmaro-template"
rm -rf "$template"
mv "$work" "$template"
echo "wine-template: ready"
