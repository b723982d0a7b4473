#!/usr/bin/env bash
# Builds the benchmark of the rotation without repeats in the Windows build tree and runs
# it under Wine in the project's own session (tools/wine-session.sh), with the machine's
# load beside the figures.
# Usage: bench/run-shuffle-bench.sh [windows-build-dir] [folders] [pictures per folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win}
cmake --build "$build" --target velmaro_bench_shuffle >/dev/null
uptime
"$root/tools/wine-session.sh" "$build" -- wine "$build/bench/velmaro_bench_shuffle.exe" "${2:-60}" "${3:-1000}"
uptime
