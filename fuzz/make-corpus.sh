#!/usr/bin/env bash
# Writes the small starting corpus of the fuzz targets (committed under fuzz/corpus; run
# again only to renew it). Tiny pictures of every variant, so that the fuzzer starts from
# valid files of each kind.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bmp=$here/corpus/bmp
jpeg=$here/corpus/jpeg
mkdir -p "$bmp" "$jpeg"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -seed 3 -size 13x7 plasma:fractal -depth 8 "$tmp/src.png"

convert "$tmp/src.png" -type TrueColor BMP3:"$bmp/24.bmp"
convert "$tmp/src.png" -colors 40 -compress None BMP3:"$bmp/8.bmp"
convert "$tmp/src.png" -colors 40 -compress RLE BMP3:"$bmp/rle8.bmp"
convert "$tmp/src.png" -colors 9 -compress None BMP3:"$bmp/4.bmp"
convert "$tmp/src.png" -monochrome BMP3:"$bmp/1.bmp"
convert "$tmp/src.png" -alpha set -define bmp3:alpha=true BMP3:"$bmp/32.bmp"
convert "$tmp/src.png" -alpha set BMP:"$bmp/v5-32.bmp"
convert "$tmp/src.png" -define bmp:subtype=RGB565 BMP:"$bmp/v5-565.bmp"
convert "$tmp/src.png" -colors 9 BMP2:"$bmp/core-4.bmp"
convert "$tmp/src.png" -type TrueColor BMP2:"$bmp/core-24.bmp"
# RLE4 with every kind of code, written by hand: 5 x 3 pixels, a 4-entry table.
printf 'BM\x56\x00\x00\x00\x00\x00\x00\x00\x46\x00\x00\x00\x28\x00\x00\x00\x05\x00\x00\x00\x03\x00\x00\x00\x01\x00\x04\x00\x02\x00\x00\x00\x10\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xff\x00\x00\x00\x00\xff\x00\x00\x00\x00\xff\x00\x05\x12\x00\x00\x00\x03\x31\x20\x00\x02\x01\x01\x01\x30\x00\x01' >"$bmp/rle4.bmp"

convert "$tmp/src.png" -quality 80 "$jpeg/base.jpg"
convert "$tmp/src.png" -quality 80 -interlace Plane "$jpeg/prog.jpg"
convert "$tmp/src.png" -quality 80 -colorspace Gray "$jpeg/gray.jpg"
convert "$tmp/src.png" -quality 80 -colorspace CMYK "$jpeg/ycck.jpg"
convert "$tmp/src.png" ppm:"$tmp/src.ppm"
cjpeg -quality 80 -arithmetic "$tmp/src.ppm" >"$jpeg/arith.jpg"
cjpeg -quality 80 -arithmetic -progressive "$tmp/src.ppm" >"$jpeg/arith-prog.jpg"
cjpeg -quality 80 -rgb -sample 1x1 "$tmp/src.ppm" >"$jpeg/rgb.jpg"
cjpeg -quality 80 -restart 1 "$tmp/src.ppm" >"$jpeg/restart.jpg"
# The orientation reader's corpus (fuzz/corpus/exif: both byte orders, every value, and
# broken blocks) is written by tests/data/exif_orientation.py.
python3 "$here/../tests/data/exif_orientation.py" corpus "$here/corpus/exif"
python3 "$here/../tests/data/exif_orientation.py" tag "$jpeg/base.jpg" "$jpeg/exif-6-mm.jpg" 6 mm
python3 "$here/../tests/data/exif_orientation.py" tag "$jpeg/base.jpg" "$jpeg/exif-loop.jpg" 6 loop
python3 "$here/../tests/data/exif_orientation.py" tag "$jpeg/base.jpg" "$jpeg/exif-5-ii.jpg" 5 ii
