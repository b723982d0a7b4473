#!/usr/bin/env bash
# Builds the program and the tests: natively (unit tests under ASan/UBSan), for Windows
# with MinGW-w64 (Velmaro.exe and the tests that run under Wine) and, unless told
# otherwise, the fuzz targets with clang.
#   tools/build.sh [win|native|fuzz]...     (default: all three)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMARO_BUILD_DIR:-$root/build}
targets=("$@"); [ ${#targets[@]} -gt 0 ] || targets=(native win fuzz)
jobs=$(nproc)

for t in "${targets[@]}"; do
  case $t in
    native)
      cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
      cmake --build "$build/native" -j "$jobs" ;;
    win)
      bash "$root/tools/build-libjpeg.sh" "$build/deps"
      bash "$root/tools/build-zimg.sh" "$build/deps"
      cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DVELMARO_LIBJPEG_DIR="$build/deps/libjpeg-win" -DVELMARO_ZIMG_DIR="$build/deps/zimg-win" >/dev/null
      cmake --build "$build/win" -j "$jobs" ;;
    fuzz)
      if [ -f "$root/fuzz/CMakeLists.txt" ]; then
        cmake -S "$root" -B "$build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVELMARO_FUZZ=ON >/dev/null
        cmake --build "$build/fuzz" -j "$jobs"
      fi ;;
    *) echo "build.sh: unknown target $t" >&2; exit 2 ;;
  esac
done
