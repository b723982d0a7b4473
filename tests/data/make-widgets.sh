#!/usr/bin/env bash
# Pictures for the picture control's tests: plain colours, so that every drawn pixel has
# a known value whatever the scaling, and two colours split top and bottom for watching
# the rows arrive while a JPEG decodes.
set -euo pipefail
out=$1/widgets
stamp=$out/.made-v1
[ -f "$stamp" ] && exit 0
rm -rf "$out"
mkdir -p "$out"
cd "$out"

convert -size 100x50 xc:'#ff0000' -type TrueColor BMP3:red-100x50.bmp
convert -size 145x300 xc:'#00ff00' -type TrueColor BMP3:green-145x300.bmp
convert -size 1024x768 xc:'#2050d0' -quality 95 blue-1024x768.jpg
convert -size 566x283 xc:'#e0c020' -quality 95 yellow-566x283.jpg
convert -size 2000x800 xc:'#ff0000' -size 2000x800 xc:'#0000ff' -append -quality 95 split-2000x1600.jpg
printf 'This is not a JPEG stream.\n' > text.jpg
touch "$stamp"
