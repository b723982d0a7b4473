#!/usr/bin/env bash
# Cross-builds libjpeg-turbo for Windows (static, with SIMD) from Debian's own source
# package, once: the result is cached in <deps>/libjpeg-win with a stamp of the Debian
# version, the compiler and the flags it was built with, and built anew when any differs
# (or when it has no stamp).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps=${1:-$root/build/deps}
mkdir -p "$deps"
deps=$(cd "$deps" && pwd); prefix=$deps/libjpeg-win
. "$root/tools/debian-source.sh"
flags=(-DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON -DREQUIRE_SIMD=ON
       -DWITH_TURBOJPEG=OFF -DWITH_ARITH_DEC=ON -DWITH_ARITH_ENC=ON)
toolchain=$(sha256sum "$root/cmake/mingw-w64-x86_64.cmake" | cut -d' ' -f1)
version=$(debian_source_version "$deps" libjpeg-turbo)
stamp=$(deps_stamp libjpeg-turbo "$version" "${flags[@]}" "toolchain=$toolchain")
if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ] &&
   [ "$(cat "$prefix/.velmaro-stamp" 2>/dev/null)" = "$stamp" ]; then
  exit 0
fi
[ -d "$prefix" ] && echo "libjpeg-turbo: the cached build is not of $version with these flags; building it anew"
rm -rf "$prefix"
src=$(debian_source "$deps" libjpeg-turbo "$version")

echo "libjpeg-turbo: cross-building $(basename "$src") for x86_64-w64-mingw32"
build=$deps/libjpeg-build
rm -rf "$build"
cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
  "${flags[@]}" >"$deps/libjpeg-configure.log"
simd=$(grep -E 'SIMD extensions' "$deps/libjpeg-configure.log" || true)
echo "libjpeg-turbo: $simd"
case "$simd" in *"WITH_SIMD = 1"*) ;; *) echo "libjpeg-turbo: SIMD not enabled" >&2; exit 1 ;; esac
cmake --build "$build" --target jpeg-static >/dev/null
mkdir -p "$prefix/lib" "$prefix/include"
cp "$build/libjpeg.a" "$prefix/lib/libjpeg.a"
cp "$build/jconfig.h" "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$prefix/include/"
printf '%s\n' "$stamp" >"$prefix/.velmaro-stamp"
echo "libjpeg-turbo: installed in $prefix"
