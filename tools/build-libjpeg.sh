#!/usr/bin/env bash
# Cross-builds libjpeg-turbo for Windows (static, with SIMD) from Debian's own source
# package, once: the result is cached in <deps>/libjpeg-win and reused.
# apt-get gets a private sources list and state directory, so the machine's apt
# configuration is left as it was.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps=${1:-$root/build/deps}
prefix=$deps/libjpeg-win
if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ]; then
  exit 0
fi
mkdir -p "$deps"
deps=$(cd "$deps" && pwd); prefix=$deps/libjpeg-win
apt=$deps/apt
mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/src"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
  >"$apt/sources.list"
opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/none"
      -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o "APT::Sandbox::User=root")
echo "libjpeg-turbo: fetching Debian's source package"
apt-get -qq "${opts[@]}" update
src=$(find "$apt/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
if [ -z "$src" ]; then
  (cd "$apt/src" && apt-get -qq "${opts[@]}" source libjpeg-turbo >/dev/null)
  src=$(find "$apt/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
fi
[ -n "$src" ] || { echo "libjpeg-turbo source package not unpacked" >&2; exit 1; }

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
