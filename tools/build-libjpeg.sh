#!/usr/bin/env bash
# Cross-builds libjpeg-turbo for Windows (static, with SIMD) from Debian's own source
# package, once: the result is cached in <deps>/libjpeg-win and reused.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps=${1:-$root/build/deps}
prefix=$deps/libjpeg-win
if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ]; then
  exit 0
fi
mkdir -p "$deps"
deps=$(cd "$deps" && pwd); prefix=$deps/libjpeg-win
. "$root/tools/debian-source.sh"
src=$(debian_source "$deps" libjpeg-turbo)

echo "libjpeg-turbo: cross-building $(basename "$src") for x86_64-w64-mingw32"
build=$deps/libjpeg-build
rm -rf "$build"
cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON -DREQUIRE_SIMD=ON \
  -DWITH_TURBOJPEG=OFF -DWITH_ARITH_DEC=ON -DWITH_ARITH_ENC=ON >"$deps/libjpeg-configure.log"
simd=$(grep -E 'SIMD extensions' "$deps/libjpeg-configure.log" || true)
echo "libjpeg-turbo: $simd"
case "$simd" in *"WITH_SIMD = 1"*) ;; *) echo "libjpeg-turbo: SIMD not enabled" >&2; exit 1 ;; esac
cmake --build "$build" --target jpeg-static >/dev/null
mkdir -p "$prefix/lib" "$prefix/include"
cp "$build/libjpeg.a" "$prefix/lib/libjpeg.a"
cp "$build/jconfig.h" "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$prefix/include/"
echo "libjpeg-turbo: installed in $prefix"
