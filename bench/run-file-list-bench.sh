#!/usr/bin/env bash
# Builds the file list benchmark for Windows and runs it under Wine in the project's own
# session (tools/wine-session.sh). The bench folder is not part of the Windows build, so
# the program is linked here against the Windows build tree's libraries.
# Usage: bench/run-file-list-bench.sh [windows-build-dir] [files]   (default: build/bench-win, 20000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench-win}
files=${2:-20000}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DVELMARO_LIBJPEG_DIR="$root/build/deps/libjpeg-win" >/dev/null
cmake --build "$build" -j2 --target velmaro_win >/dev/null
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -DWIN32_LEAN_AND_MEAN -DNOMINMAX \
  -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -D_WIN32_IE=0x0700 -I"$root" \
  "$root/bench/file_list_bench_win.cpp" "$build/libvelmaro_win.a" "$build/libvelmaro_core.a" \
  -static -static-libgcc -static-libstdc++ \
  -lcomctl32 -lshell32 -lshlwapi -lole32 -loleaut32 -luuid -lgdi32 -luser32 -ladvapi32 -lmsimg32 \
  -o "$build/file_list_bench.exe"
"$root/tools/wine-session.sh" "$build" -- wine "$build/file_list_bench.exe" "" "$files"
