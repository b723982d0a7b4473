#!/usr/bin/env bash
# Runs a command inside the project's own Wine session: a private prefix in the build
# tree (never ~/.wine), one X server (Xvfb, when there is no DISPLAY) and one wineserver.
# Both are shut down at the end, by their own ids, whatever the command's outcome.
#   tools/wine-session.sh <build-dir> -- <command> [args...]
set -euo pipefail
[ $# -ge 2 ] && [ "$2" = "--" ] || { echo "usage: $0 <build-dir> -- command..." >&2; exit 2; }
build=$(mkdir -p "$1" && cd "$1" && pwd); shift 2

export WINEPREFIX=$build/wineprefix
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] || [ "${VELMARO_XVFB:-0}" = 1 ]; then
  n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${VELMARO_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  export DISPLAY=":$n"
fi

# One persistent wineserver for the whole session, started first and detached from our
# output: a server that inherited a pipe would keep its reader waiting forever.
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1 || true
if [ ! -f "$WINEPREFIX/.velmaro-ready" ]; then
  echo "wine-session: preparing the Wine prefix $WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1
  # A crash must fail the test at once, not wait for someone to close a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  touch "$WINEPREFIX/.velmaro-ready"
fi
# Without a window manager, Wine would wait for one at every window that goes away; let
# it draw its own frames. Running this also starts Wine's background processes here,
# detached from our output, instead of under the first test (whose pipe they would
# keep open).
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
# Names in Chinese: the faces of the program's windows fall back to WenQuanYi Micro Hei
# through Wine's font linking (loaded again whenever the list changes).
fontlink=$(cd "$(dirname "$0")" && pwd)/fontlink.reg
if ! cmp -s "$fontlink" "$WINEPREFIX/.velmaro-fontlink.reg"; then
  wine regedit /S "Z:${fontlink//\//\\}" </dev/null >/dev/null 2>&1 && cp "$fontlink" "$WINEPREFIX/.velmaro-fontlink.reg"
fi

set +e
"$@"
rc=$?
exit $rc
