#!/usr/bin/env bash
# Runs every test: installs what is missing, builds both targets (and the fuzz targets),
# runs the native unit tests and the fuzz corpora under ASan/UBSan, then the Windows unit,
# Win32 and end-to-end tests under Wine, each in a Wine lane of its own
# (tools/wine-lane.sh). Ends with CTest's summary.
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
echo "== fuzz corpora (ASan/UBSan): every crafted case of fuzz/corpus, once"
(cd "$build/fuzz" && ctest --output-on-failure -j "$(nproc)") || status=1
echo "== Windows tests under Wine"
# Each test in a lane of its own (its own Wine prefix, X display and wineserver), several
# at a time: they mostly wait for the program's timers. Tests about time run alone.
jobs=${VELMARO_WINE_JOBS:-3}
(cd "$build/win" && ctest --output-on-failure -j "$jobs" "$@") || status=1
exit $status
