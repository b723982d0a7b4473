#!/usr/bin/env bash
# Cross-builds zimg (the resampler behind Fit and Fill) for Windows, static, with its SIMD
# kernels, from Debian's own source package, once: the result is cached in
# <deps>/zimg-win with a stamp of the Debian version, the compiler and the flags it was
# built with, and built anew when any differs (or when it has no stamp).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps=${1:-$root/build/deps}
mkdir -p "$deps"
deps=$(cd "$deps" && pwd); prefix=$deps/zimg-win
. "$root/tools/debian-source.sh"
# MinGW's GCC cannot align the stack for 32- and 64-byte vector spills on Win64; with
# unaligned moves the AVX2 and AVX-512 kernels are safe there (as MSYS2 builds them).
flags=(--host=x86_64-w64-mingw32 --enable-static --disable-shared
       CC=x86_64-w64-mingw32-gcc-posix CXX=x86_64-w64-mingw32-g++-posix
       "CXXFLAGS=-O2 -Wa,-muse-unaligned-vector-move")
version=$(debian_source_version "$deps" zimg)
stamp=$(deps_stamp zimg "$version" "${flags[@]}")
if [ -f "$prefix/lib/libzimg.a" ] && [ -f "$prefix/include/zimg.h" ] &&
   [ "$(cat "$prefix/.velmaro-stamp" 2>/dev/null)" = "$stamp" ]; then
  exit 0
fi
[ -d "$prefix" ] && echo "zimg: the cached build is not of $version with these flags; building it anew"
rm -rf "$prefix"
src=$(debian_source "$deps" zimg "$version")

echo "zimg: cross-building $(basename "$src") for x86_64-w64-mingw32"
build=$deps/zimg-build
rm -rf "$build"
cp -a "$src" "$build"
(cd "$build" && autoreconf --install --force >/dev/null 2>&1 &&
  ./configure --prefix="$prefix" "${flags[@]}" >"$deps/zimg-configure.log")
make -C "$build" -j "$(nproc)" >"$deps/zimg-make.log" 2>&1 || { tail -n 30 "$deps/zimg-make.log" >&2; exit 1; }
make -C "$build" install >>"$deps/zimg-make.log" 2>&1
printf '%s\n' "$stamp" >"$prefix/.velmaro-stamp"
echo "zimg: installed in $prefix"
