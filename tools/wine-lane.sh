#!/usr/bin/env bash
# Runs one command in a Wine lane of its own: a prefix cloned from the build's template
# (tools/wine-template.sh), an Xvfb that picked its own display (-displayfd) and a
# wineserver of that prefix alone. Nothing is shared with another lane, so CTest may run
# lanes side by side. At the end the lane stops what it started, by id (its Xvfb by
# process id, its wineserver through its own prefix), and removes its prefix.
#   tools/wine-lane.sh <build-dir> -- <command> [args...]
# VELMARO_SCREEN sets the screen (default 1024x768x24); VELMARO_KEEP_LANE=1 keeps the
# lane's folder for a look afterwards.
set -euo pipefail
[ $# -ge 2 ] && [ "$2" = "--" ] || { echo "usage: $0 <build-dir> -- command..." >&2; exit 2; }
tools=$(cd "$(dirname "$0")" && pwd)
build=$(mkdir -p "$1" && cd "$1" && pwd); shift 2

template=$build/wineprefix-template
bash "$tools/wine-template.sh" "$template"
mkdir -p "$build/lanes"
lane=$(mktemp -d "$build/lanes/lane.XXXXXX")

export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export VELMARO_LANE=$lane VELMARO_WINE_TEMPLATE=$template
export WINEPREFIX=$lane/prefix

xvfb_pid= child=
cleanup() {
  if [ -n "$child" ]; then kill "$child" 2>/dev/null || true; fi
  WINEPREFIX=$lane/prefix wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  [ "${VELMARO_KEEP_LANE:-0}" = 1 ] || rm -rf "$lane"
}
trap cleanup EXIT
# Stopped from outside (CTest's timeout, Ctrl+C): still clean up.
trap 'exit 143' TERM INT HUP

bash "$tools/wine-clone.sh" "$template" "$WINEPREFIX"

# Xvfb writes the display it took to the descriptor once it accepts clients.
Xvfb -displayfd 3 -screen 0 "${VELMARO_SCREEN:-1024x768x24}" -nolisten tcp 3>"$lane/display" \
  </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 300); do
  grep -q . "$lane/display" 2>/dev/null && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "wine-lane: Xvfb did not start" >&2; exit 1; }
  sleep 0.05
done
display=$(head -n 1 "$lane/display")
[ -n "$display" ] || { echo "wine-lane: Xvfb gave no display" >&2; exit 1; }
export DISPLAY=":$display"

# The lane's persistent wineserver, detached from our output: a server that inherited a
# pipe would keep its reader (CTest) waiting forever.
wineserver -p </dev/null >/dev/null 2>&1 || true

# In the background, so that a signal reaches the traps above at once.
set +e
"$@" <&0 &
child=$!
wait "$child"
rc=$?
child=
exit $rc
