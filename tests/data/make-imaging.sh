#!/usr/bin/env bash
# Pictures for the imaging tests, written by ImageMagick and libjpeg-turbo's own tools
# (encoders independent of ours), each with a reference: ImageMagick's (or djpeg's)
# decode of the same file as a binary PPM, so the tests compare bytes without running
# any tool themselves (they also run under Wine).
# Everything lands in <out>/imaging; a stamp with the script's version skips the work
# when the files are already there.
set -euo pipefail
out=$1/imaging
stamp=$out/.made-v4
[ -f "$stamp" ] && exit 0
rm -rf "$out"
mkdir -p "$out"
cd "$out"

ref() { convert "$1" -depth 8 "ppm:${1%.*}.ppm"; }
# Overwrites bytes of a file at an offset with the given printf escapes.
patch_bytes() { printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }
# The 32-bit little-endian value of a file at an offset.
u32() { od -An -tu4 -j"$2" -N4 "$1" | tr -d ' '; }

# An odd-sized colourful picture (odd sizes exercise row padding and partial blocks).
convert -seed 7 -size 97x61 plasma:fractal -depth 8 src.png

# Bitmaps: Windows 3 (40-byte header), Windows 4/5 (124-byte header), OS/2 1.x (core).
convert src.png -type TrueColor BMP3:bmp3-24.bmp
convert src.png -colors 200 -compress None BMP3:bmp3-8.bmp
convert src.png -colors 12 -compress None BMP3:bmp3-4.bmp
convert src.png -monochrome BMP3:bmp3-1.bmp
convert src.png -colors 200 -compress RLE BMP3:bmp3-rle8.bmp
convert src.png -alpha set -define bmp3:alpha=true BMP3:bmp3-32.bmp
convert src.png -type TrueColor BMP:bmp4-24.bmp
convert src.png -alpha set BMP:bmp4-32.bmp
convert src.png -define bmp:subtype=RGB565 BMP:bmp4-565.bmp
convert src.png -define bmp:subtype=RGB555 BMP:bmp4-555.bmp
convert src.png -colors 200 -compress None BMP:bmp4-8.bmp
convert src.png -type TrueColor BMP2:bmp2-24.bmp
convert src.png -colors 200 BMP2:bmp2-8.bmp
convert src.png -colors 12 BMP2:bmp2-4.bmp
convert src.png -monochrome BMP2:bmp2-1.bmp

# Top-down rows: the flipped picture's bottom-up rows are the picture's rows top-down;
# a negative height says so.
convert src.png -flip -type TrueColor BMP3:bmp3-24-topdown.bmp
patch_bytes bmp3-24-topdown.bmp 22 '\xc3\xff\xff\xff' # -61
convert src.png -flip -alpha set BMP:bmp4-32-topdown.bmp
patch_bytes bmp4-32-topdown.bmp 22 '\xc3\xff\xff\xff'

# 16 bits a pixel without bit fields: the default 5-5-5 layout.
cp bmp4-555.bmp bmp4-16-rgb.bmp
patch_bytes bmp4-16-rgb.bmp 30 '\x00\x00\x00\x00'

# The staged-file figures: 24-bit 100 x 50, 8-bit with a full table, 4-bit core header.
convert -size 100x50 gradient:red-blue -type TrueColor BMP3:fig-24-100x50.bmp
convert src.png -colors 250 -compress None BMP3:fig-8-256.bmp
convert src.png -colors 16 BMP2:fig-core-4.bmp

for f in bmp*.bmp fig-*.bmp; do ref "$f"; done

# JPEGs of every kind the preview meets.
convert src.png -quality 90 jpeg-base.jpg
convert src.png -quality 90 -sampling-factor 1x1 jpeg-444.jpg
convert src.png -quality 90 -sampling-factor 2x1 jpeg-422.jpg
convert src.png -quality 90 -interlace Plane jpeg-prog.jpg
convert src.png -quality 90 -colorspace Gray jpeg-gray.jpg
convert src.png -quality 90 -colorspace CMYK jpeg-ycck.jpg # Adobe marker, transform 2
# The same stream declared plain (inverted) CMYK: transform 0 in the Adobe marker.
cp jpeg-ycck.jpg jpeg-cmyk.jpg
adobe=$(grep -obUaP 'Adobe' jpeg-cmyk.jpg | head -n1 | cut -d: -f1)
patch_bytes jpeg-cmyk.jpg $((adobe + 11)) '\x00'
convert src.png ppm:src.ppm
cjpeg -quality 90 -arithmetic src.ppm >jpeg-arith.jpg
cjpeg -quality 90 -arithmetic -progressive src.ppm >jpeg-arith-prog.jpg
cjpeg -quality 90 -rgb src.ppm >jpeg-rgb.jpg
for f in jpeg-*.jpg; do
  case $f in
    *cmyk* | *ycck*) convert "$f" -colorspace sRGB -depth 8 "ppm:${f%.jpg}.ppm" ;;
    *) ref "$f" ;;
  esac
done
rm src.ppm

# A larger photo-like picture for the decoder's scaling, with libjpeg's own scaled decodes
# as references (the scaled inverse transforms are libjpeg's, no other tool has them).
convert -seed 11 -size 640x400 plasma:fractal -blur 0x2 -quality 88 scale-base.jpg
convert scale-base.jpg -interlace Plane -quality 88 scale-prog.jpg
for f in scale-base scale-prog; do
  for s in 1/8 3/8 1/2 7/8; do
    djpeg -scale "$s" -ppm -outfile "$f-${s/\//of}.ppm" "$f.jpg"
  done
  djpeg -ppm -outfile "$f-8of8.ppm" "$f.jpg"
done

# Cut-off data: header intact, scan data missing from the middle on.
size=$(stat -c %s scale-base.jpg)
head -c $((size / 2)) scale-base.jpg >jpeg-truncated.jpg
head -c 100 scale-base.jpg >jpeg-header-cut.jpg

# A folder named like a picture.
mkdir folder.jpg

rm src.png
: >"$stamp"
