#!/usr/bin/env bash
# make_fixtures.sh — writes the BMP files that dib_stb_test.cpp reads:
# what Debian's ImageMagick (6.9, `convert`) makes of one 29 x 9 picture in
# each layout it writes. The picture is a gradient (runs for RLE8) above
# seeded noise (literal runs, every palette entry). Run it from anywhere to
# refresh the committed files; the test pins the layouts found here.
#
#   plain `convert`       124-byte header (it records the sRGB rendering intent)
#   `-intent undefined`   108-byte header (no intent to record)
#   `-type palette`       1, 4 or 8 bits by the number of colours; 8 bits are
#                         RLE8 unless `-compress none`
#   `-define bmp:subtype` RGB565 and RGB555: 16 bits with bit-field masks
#   `-alpha on`           32 bits with bit-field masks and an alpha mask
#   `BMP3:`               the 40-byte header, for comparison
# There is no `BMP4:` prefix in this version: it becomes part of the file name.
set -euo pipefail

out=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 29x4 gradient:'#d02010-#1040e0' \
  \( -seed 15 -size 29x5 xc:gray50 +noise Random \) -append -depth 8 "$work/source.ppm"

write() {  # NAME OPTIONS…: one picture, once with each of the later headers
  local name=$1
  shift
  convert "$work/source.ppm" "$@" "$out/v5_$name.bmp"
  convert "$work/source.ppm" "$@" -intent undefined "$out/v4_$name.bmp"
}

write pal1 +dither -colors 2 -type palette
write pal4 +dither -colors 16 -type palette
write pal8 +dither -colors 120 -type palette -compress none
write rle8 +dither -colors 120 -type palette
write rgb565 -define bmp:subtype=RGB565
write rgb555 -define bmp:subtype=RGB555
write rgb24
write argb32 -alpha on -channel A -fx 'i/w' +channel
convert "$work/source.ppm" BMP3:"$out/v3_rgb24.bmp"
