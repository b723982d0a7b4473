#!/usr/bin/env bash
# Pictures for the system codecs' route (PNG, GIF, TIFF, WebP), written by ImageMagick,
# each with ImageMagick's decode of its first frame, upright and laid over the background
# colour the tests use, as a binary PPM (".ppm" beside it); and broken files that must be
# refused.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(mkdir -p "$1" && cd "$1" && pwd)/formats
stamp=$out/.made-v2
[ -f "$stamp" ] && exit 0
rm -rf "$out"
mkdir -p "$out"
cd "$out"

# The background the tests lay transparent pictures over: 0x285AA0.
background="rgb(40,90,160)"
ref() { convert "$1[0]" -auto-orient -background "$background" -alpha remove -alpha off -depth 8 "ppm:${1%.*}.ppm"; }

# Odd sizes exercise row padding; a vertical gradient gives every alpha from 255 to 0.
convert -seed 5 -size 61x37 plasma:fractal -depth 8 src.png
convert -size 61x37 gradient:white-black alpha.png
convert src.png -colors 64 PNG8:png-palette.png
convert src.png PNG24:png-24.png
convert src.png alpha.png -alpha off -compose CopyOpacity -composite PNG32:png-alpha.png
# 16 bits a channel (each value a multiple of 257, so that every 8-bit reduction agrees).
convert src.png -depth 16 PNG48:png-48.png
convert png-alpha.png -depth 16 PNG64:png-64.png
convert src.png -interlace PNG PNG24:png-interlaced.png

# GIF: still, with a transparent colour, and animated (the first frame counts).
convert src.png -colors 64 gif-still.gif
corner=$(convert gif-still.gif -format '%[pixel:p{0,0}]' info:)
convert gif-still.gif -transparent "$corner" gif-transparent.gif
convert -delay 20 src.png \( src.png -negate \) \( src.png -flop \) -colors 64 gif-animated.gif

# TIFF: three pages (the first counts), and a page stored sideways (orientation 6).
convert src.png \( src.png -negate \) \( src.png -flip \) -compress lzw tiff-pages.tif
convert src.png -orient RightTop tiff-orient6.tif

for f in png-*.png gif-*.gif tiff-*.tif; do ref "$f"; done

# A GIF whose frame lies at an offset on a larger logical screen: viewers show the screen,
# the rest of it transparent (here: the background colour).
convert src.png -colors 64 -repage 81x50+12+9 gif-offset.gif
convert "gif-offset.gif[0]" -background "$background" -flatten -alpha off -depth 8 ppm:gif-offset.ppm
# The sideways TIFF with its directory chain looped back on itself (its pixels as before).
cp tiff-orient6.tif tiff-loop.tif
python3 "$here/exif_orientation.py" loop-tiff tiff-loop.tif
# A PNG of a few kilobytes that asks for 16384 x 16384 pixels (a gigabyte decoded).
python3 - <<'PY'
import struct, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
side = 16384
z = zlib.compressobj(9)
row = bytes(1 + side // 8)
idat = b"".join(z.compress(row) for _ in range(side)) + z.flush()
with open("png-gigabyte.png", "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 1, 0, 0, 0, 0))
            + chunk(b"IDAT", idat) + chunk(b"IEND", b""))
PY

# WebP, which the system reads only where its codec is installed.
convert src.png -quality 90 webp-lossy.webp

# Broken files: a PNG whose compressed data is overwritten, a GIF cut in half, a TIFF
# claiming 100000 x 100000 pixels with one strip of 16 bytes.
cp png-24.png png-corrupt.png
idat=$(grep -obUaP 'IDAT' png-corrupt.png | head -n1 | cut -d: -f1)
printf '\xde\xad\xbe\xef\xde\xad\xbe\xef\xde\xad\xbe\xef' | dd of=png-corrupt.png bs=1 seek=$((idat + 10)) conv=notrunc status=none
size=$(stat -c %s gif-still.gif)
head -c $((size / 2)) gif-still.gif >gif-truncated.gif
python3 - <<'PY'
import struct
entries = [(256, 4, 1, 100000), (257, 4, 1, 100000), (258, 3, 1, 8), (259, 3, 1, 1), (262, 3, 1, 1),
           (273, 4, 1, 0), (277, 3, 1, 1), (278, 4, 1, 100000), (279, 4, 1, 16)]
ifd_size = 2 + 12 * len(entries) + 4
data_at = 8 + ifd_size
ifd = struct.pack("<H", len(entries))
for tag, kind, count, value in entries:
    value = data_at if tag == 273 else value
    packed = struct.pack("<H", value) + b"\0\0" if kind == 3 else struct.pack("<I", value)
    ifd += struct.pack("<HHI", tag, kind, count) + packed
with open("tiff-huge.tif", "wb") as f:
    f.write(b"II*\0" + struct.pack("<I", 8) + ifd + b"\0\0\0\0" + bytes(16))
PY

rm src.png alpha.png
: >"$stamp"
