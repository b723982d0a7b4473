#!/usr/bin/env bash
# Runs every test: installs what is missing, builds both targets (and the fuzz targets),
# runs the native unit tests under ASan/UBSan, then the Windows unit, Win32 and
# end-to-end tests under Wine in the project's own prefix. Ends with CTest's summary.
#   tools/test.sh [ctest arguments for the Wine run, e.g. -R e2e_options]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMARO_BUILD_DIR:-$root/build}
bash "$root/tools/setup.sh"
bash "$root/tools/check-format.sh"
bash "$root/tools/check-layers.sh"
bash "$root/tools/build.sh" native win fuzz

status=0
echo "== native tests (ASan/UBSan)"
(cd "$build/native" && ctest --output-on-failure -j "$(nproc)") || status=1
echo "== Windows tests under Wine"
# Serially: the GUI tests share one display, one pointer and one keyboard focus.
bash "$root/tools/wine-session.sh" "$build/win" -- \
  bash -c 'cd "$1" && shift && ctest --output-on-failure "$@"' _ "$build/win" "$@" || status=1
exit $status
