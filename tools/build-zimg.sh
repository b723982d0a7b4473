#!/usr/bin/env bash
# Cross-builds zimg (the resampler behind Fit and Fill) for Windows, static, with its SIMD
# kernels, from Debian's own source package, once: the result is cached in
# <deps>/zimg-win and reused. apt-get gets the same private configuration as
# build-libjpeg.sh, so the machine's apt configuration is left as it was.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps=${1:-$root/build/deps}
prefix=$deps/zimg-win
if [ -f "$prefix/lib/libzimg.a" ] && [ -f "$prefix/include/zimg.h" ]; then
  exit 0
fi
mkdir -p "$deps"
deps=$(cd "$deps" && pwd); prefix=$deps/zimg-win
apt=$deps/apt
mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/src"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
  >"$apt/sources.list"
opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/none"
      -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o "APT::Sandbox::User=root")
src=$(find "$apt/src" -maxdepth 1 -type d -name 'zimg-*' | head -n 1)
if [ -z "$src" ]; then
  echo "zimg: fetching Debian's source package"
  apt-get -qq "${opts[@]}" update
  (cd "$apt/src" && apt-get -qq "${opts[@]}" source zimg >/dev/null)
  src=$(find "$apt/src" -maxdepth 1 -type d -name 'zimg-*' | head -n 1)
fi
[ -n "$src" ] || { echo "zimg source package not unpacked" >&2; exit 1; }

echo "zimg: cross-building $(basename "$src") for x86_64-w64-mingw32"
build=$deps/zimg-build
rm -rf "$build"
cp -a "$src" "$build"
# MinGW's GCC cannot align the stack for 32- and 64-byte vector spills on Win64; with
# unaligned moves the AVX2 and AVX-512 kernels are safe there (as MSYS2 builds them).
(cd "$build" && autoreconf --install --force >/dev/null 2>&1 &&
  ./configure --host=x86_64-w64-mingw32 --prefix="$prefix" --enable-static --disable-shared \
    CC=x86_64-w64-mingw32-gcc-posix CXX=x86_64-w64-mingw32-g++-posix \
    CXXFLAGS="-O2 -Wa,-muse-unaligned-vector-move" >"$deps/zimg-configure.log")
make -C "$build" -j "$(nproc)" >"$deps/zimg-make.log" 2>&1 || { tail -n 30 "$deps/zimg-make.log" >&2; exit 1; }
make -C "$build" install >>"$deps/zimg-make.log" 2>&1
echo "zimg: installed in $prefix"
