#!/usr/bin/env bash
# Installs, from Debian's own archive, whatever the build and the tests need and the
# machine lacks. Run as root on Debian 12; does nothing when all is present.
set -euo pipefail
packages=(
  cmake ninja-build g++ git python3
  g++-mingw-w64-x86-64-posix mingw-w64-tools nasm dpkg-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs libgtest-dev googletest libbenchmark-dev libstb-dev
  clang clang-format libclang-rt-14-dev
  wine wine64 fonts-wine xvfb x11-utils xdotool imagemagick
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
