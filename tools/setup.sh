#!/usr/bin/env bash
# Installs, from Debian's own archive, whatever the build and the tests need and the
# machine lacks. Run as root on Debian 12; does nothing when all is present.
set -euo pipefail
# Besides the build tools: what Wine only recommends, so absent on a new machine unless
# named -- the faces with the designed metrics (Arial, Times New Roman and Courier New from
# fonts-liberation; Wine's own MS Sans Serif and Tahoma from fonts-wine), smoothed text and
# alpha (XRender), colour cursors handed to the X server (Xcursor), and XFixes, which the
# end-to-end tests also load themselves, with libX11, to read the pointer's shape; fonts for
# names in Cyrillic, Greek and CJK (fonts-dejavu-core, fonts-wqy-microhei); and for the
# release, the installer, the help compiler, the help file's check and the zip (nsis,
# fp-utils-3.2.2, libchm-bin, zip); a nested X server with two screens joined by Xinerama
# for the two-monitor tests (xserver-xephyr); autoconf, automake and libtool for the cross
# build of zimg, whose Debian source has no generated configure script.

packages=(
  cmake ninja-build g++ git python3
  g++-mingw-w64-x86-64-posix mingw-w64-tools nasm dpkg-dev autoconf automake libtool
  libjpeg62-turbo-dev libjpeg-turbo-progs libgtest-dev googletest libbenchmark-dev libzimg-dev
  clang clang-format libclang-rt-14-dev
  wine wine64 xvfb xserver-xephyr x11-utils xdotool imagemagick
  fonts-liberation fonts-wine libxrender1 libxcursor1 libxfixes3 libx11-6
  fonts-dejavu-core fonts-wqy-microhei
  nsis fp-utils-3.2.2 libchm-bin zip
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
