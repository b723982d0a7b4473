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
convert "$tmp/src.png" -type TrueColor -define bmp:subtype=RGB565 BMP:"$bmp/v5-565.bmp"
convert "$tmp/src.png" -colors 40 -compress RLE BMP:"$bmp/v5-rle8.bmp"
convert "$tmp/src.png" -colors 9 BMP2:"$bmp/core-4.bmp"
convert "$tmp/src.png" -type TrueColor BMP2:"$bmp/core-24.bmp"
# RLE4 with every kind of code, written by hand: 5 x 3 pixels, a 4-entry table.
printf 'BM\x56\x00\x00\x00\x00\x00\x00\x00\x46\x00\x00\x00\x28\x00\x00\x00\x05\x00\x00\x00\x03\x00\x00\x00\x01\x00\x04\x00\x02\x00\x00\x00\x10\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xff\x00\x00\x00\x00\xff\x00\x00\x00\x00\xff\x00\x05\x12\x00\x00\x00\x03\x31\x20\x00\x02\x01\x01\x01\x30\x00\x01' >"$bmp/rle4.bmp"

# Little-endian fields as \x escapes, for printf %b.
le16() { printf '\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)); }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
# Writes a bitmap by hand, for the header variants no tool writes:
#   by_hand FILE HEADER_SIZE WIDTH HEIGHT BPP COMPRESSION "MASKS" "TABLE" PIXELS
# The masks lie in one block from byte 54 on: inside a 52-byte or longer header as far as
# it holds them, after the header for the rest. TABLE lists 32-bit colour-table entries
# (their count goes into the header); PIXELS are the pixel bytes as \x escapes.
by_hand() {
  local file=$1 size=$2 width=$3 height=$4 bpp=$5 compression=$6 masks=($7) table=($8) pixels=$9
  local fields=40 end m c rest
  [ "$size" -lt 40 ] && fields=$size
  end=$((size > fields + 4 * ${#masks[@]} ? size : fields + 4 * ${#masks[@]}))
  local offset=$((14 + end + 4 * ${#table[@]}))
  local npixels=$(($(printf '%b' "$pixels" | wc -c)))
  {
    printf 'BM'
    printf '%b' "$(le32 $((offset + npixels)))$(le32 0)$(le32 $offset)"
    printf '%b' "$(le32 "$size")$(le32 "$width")$(le32 "$height")$(le16 1)$(le16 "$bpp")"
    rest="$(le32 "$compression")$(le32 0)$(le32 2835)$(le32 2835)$(le32 ${#table[@]})$(le32 0)"
    printf '%b' "${rest:0:$((4 * (fields - 16)))}" # a short header stops early
    for m in "${masks[@]}"; do printf '%b' "$(le32 "$m")"; done
    head -c $((end - fields - 4 * ${#masks[@]})) /dev/zero
    for c in "${table[@]}"; do printf '%b' "$(le32 "$c")"; done
    printf '%b' "$pixels"
  } >"$file"
}
rows565='\x00\xf8\xe0\x07\x1f\x00\xff\xff\x10\x84\x08\x42\x1f\xf8\xe0\xff'
rows32='\x10\x20\x30\x40\xff\x00\x80\x00\x00\xff\x00\xff\x01\x02\x03\x04'
by_hand "$bmp/info-565.bmp" 40 4 2 16 3 "0xf800 0x7e0 0x1f" "" "$rows565"
by_hand "$bmp/info-555.bmp" 40 4 2 16 0 "" "" "$rows565"
by_hand "$bmp/info-alpha.bmp" 40 2 2 32 6 "0xff0000 0xff00 0xff 0xff000000" "" "$rows32"
by_hand "$bmp/v2-565.bmp" 52 4 2 16 3 "0xf800 0x7e0 0x1f" "" "$rows565"
by_hand "$bmp/v2-alpha.bmp" 52 2 2 32 6 "0xff0000 0xff00 0xff 0xff000000" "" "$rows32"
by_hand "$bmp/v3-555.bmp" 56 4 2 16 3 "0x7c00 0x3e0 0x1f 0x8000" "" "$rows565"
by_hand "$bmp/v3-alpha.bmp" 56 2 2 32 6 "0xff0000 0xff00 0xff 0xff000000" "" "$rows32"
by_hand "$bmp/v4-32-topdown.bmp" 108 2 -2 32 3 "0x3ff00000 0xffc00 0x3ff 0" "" "$rows32"
by_hand "$bmp/v4-4.bmp" 108 5 2 4 0 "" "0xff0000 0xff00 0xff" '\x01\x20\x10\x00\x22\x11\x00\x00'
by_hand "$bmp/os2-16.bmp" 16 2 1 24 0 "" "" '\x01\x02\x03\x04\x05\x06\x00\x00'
by_hand "$bmp/os2-64-8.bmp" 64 3 1 8 0 "" "0x102030 0x405060 0x708090" '\x02\x01\x00\x00'
# Files that end inside a header, the masks or the colour table, or whose pixels start
# inside the masks: each once read bytes it should have refused first.
patch32() { printf '%b' "$(le32 "$3")" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }
# A 52-byte header with alpha bit fields, ending where its alpha mask should follow.
head -c 66 "$bmp/v2-alpha.bmp" >"$bmp/cut-v2-alpha-66.bmp"
patch32 "$bmp/cut-v2-alpha-66.bmp" 2 66
patch32 "$bmp/cut-v2-alpha-66.bmp" 10 66
cp "$bmp/v2-alpha.bmp" "$bmp/v2-alpha-offset-66.bmp" # the pixels said to start at the alpha mask
patch32 "$bmp/v2-alpha-offset-66.bmp" 10 66
head -c 68 "$bmp/info-alpha.bmp" >"$bmp/cut-info-alpha-masks.bmp"
head -c 60 "$bmp/info-565.bmp" >"$bmp/cut-info-565-masks.bmp"
head -c 100 "$bmp/v4-4.bmp" >"$bmp/cut-v4-header.bmp"
head -c 130 "$bmp/v5-565.bmp" >"$bmp/cut-v5-header.bmp"
head -c 60 "$bmp/v3-alpha.bmp" >"$bmp/cut-v3-header.bmp"
head -c 25 "$bmp/core-4.bmp" >"$bmp/cut-core-header.bmp"
head -c 80 "$bmp/4.bmp" >"$bmp/cut-table.bmp"

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

# GIF: still, laid at an offset on a larger screen, animated, a screen of 0 x 0, and cut
# inside the first image descriptor.
gif=$here/corpus/gif
mkdir -p "$gif"
convert "$tmp/src.png" -colors 16 "$gif/still.gif"
convert "$tmp/src.png" -colors 16 -repage 21x15+5+4 "$gif/offset.gif"
convert -delay 10 "$tmp/src.png" \( "$tmp/src.png" -negate -repage +2+1 \) -colors 16 "$gif/animated.gif"
cp "$gif/offset.gif" "$gif/screen-0x0.gif"
printf '\x00\x00\x00\x00' | dd of="$gif/screen-0x0.gif" bs=1 seek=6 conv=notrunc status=none
head -c 40 "$gif/offset.gif" >"$gif/cut.gif"
# The list file's reader: UTF-8, with a mark (twice), UTF-16 both ways, code page 1252,
# and names that read in both.
list=$here/corpus/folder_list
mkdir -p "$list"
printf 'C:\\Pictures\r\nD:\\Caf\xc3\xa9\r\n' >"$list/utf8.drl"
printf '\xef\xbb\xbfC:\\Caf\xc3\xa9\r\n\xef\xbb\xbf\r\n' >"$list/utf8-mark.drl"
printf '\xff\xfeC\x00:\x00\\\x00\xe9\x00\r\x00\n\x00=\xd8\x00\xde\x00\xd8' >"$list/utf16le.drl"
printf '\xfe\xff\x00C\x00:\x00\\\x4e\x2d\x00\n\x00\x00\x00X' >"$list/utf16be.drl"
printf 'C:\\Caf\xe9\r\nD:\\\xc4rger\n' >"$list/legacy-1252.drl"
printf 'D:\\Fotos\xc2\xb7\r\nD:\\\xcd\xbc\xc6\xac\r\nab\xc3\xa9\r' >"$list/ambiguous.drl"
printf 'A\r\n\x00\xff\xfe' >"$list/nul.drl"
# A TIFF file for the orientation reader, whose directory chain loops back on itself.
convert "$tmp/src.png" -orient RightTop -compress none "$here/corpus/exif/tiff-loop-6.tif"
python3 "$here/../tests/data/exif_orientation.py" loop-tiff "$here/corpus/exif/tiff-loop-6.tif"
