#!/bin/sh
# Rebuilds the bitmap fixtures and their reference dumps (ImageMagick 6, python3).
set -e
cd "$(dirname "$0")"
convert -size 21x9 xc: -channel R -fx 'i/w' -channel G -fx 'j/h' -channel B -fx '(i+j)/(w+h)' \
    +channel -fill '#ffff00' -draw 'rectangle 3,2 6,4' src.png
convert src.png -colors 16 src16.png
convert src.png -colors 2 src2.png
convert src2.png -type palette BMP3:pal1.bmp
convert src16.png -type palette BMP3:pal4.bmp
convert src.png -type palette -compress None BMP3:pal8.bmp
convert src.png -type palette -compress RLE BMP3:rle8.bmp
python3 make_rle4.py pal4.bmp rle4.bmp
convert src.png -type truecolor BMP3:rgb24.bmp
convert src.png -alpha set -define bmp3:alpha=true BMP3:rgb32.bmp
convert src16.png -type palette -define bmp:format=bmp2 core4.bmp
convert src.png -type truecolor -define bmp:format=bmp2 core24.bmp
# Reference pixels: ImageMagick's own decoding of each file, 8-bit RGB, top row first.
for f in pal1 pal4 pal8 rle8 rle4 rgb24 rgb32 core4 core24; do
    convert $f.bmp -alpha off -depth 8 RGB:$f.rgb
done
rm -f src.png src16.png src2.png
