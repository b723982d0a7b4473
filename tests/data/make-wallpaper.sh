#!/usr/bin/env bash
# Pictures for the wallpaper converter's tests, each with ImageMagick's own decoding of
# it as a 24-bit bitmap ("-decoded.bmp") to compare the converter's output against.
set -euo pipefail
out=$1
[ -f "$out/wallpaper-done" ] && exit 0
cd "$out"
convert -size 64x40 gradient:yellow-navy -colors 200 -type Palette -compress None BMP3:wallpaper-pal8.bmp
convert wallpaper-pal8.bmp -type TrueColor BMP3:wallpaper-pal8-decoded.bmp
convert wallpaper-pal8.bmp -compress RLE BMP3:wallpaper-rle8.bmp
convert -size 97x61 gradient:red-lime -type TrueColor BMP3:wallpaper-rgb24.bmp
convert -size 160x96 plasma:fractal -blur 0x1 -quality 92 wallpaper-photo.jpg
convert wallpaper-photo.jpg -type TrueColor BMP3:wallpaper-photo-decoded.bmp
cp wallpaper-photo.jpg wallpaper-photo.jpeg
# Contents decide, not names: a bitmap called .jpg, and a text file called .jpg.
cp wallpaper-rgb24.bmp wallpaper-bitmap-named.jpg
printf 'not a picture\r\n' > wallpaper-not-a-picture.jpg
head -c 300 wallpaper-photo.jpg > wallpaper-header-only.jpg
touch wallpaper-done
