#!/usr/bin/env bash
# Writes the seed corpus of fuzz_picture_file: small pictures in every format
# Qt's image reader takes by content (PNG in several colour types, BMP, JPEG,
# GIF, ICO, the portable maps, XPM, XBM), made with ImageMagick.
#
# usage: make_picture_seeds.sh DIR
set -euo pipefail
dir=$1
mkdir -p "$dir"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A 12 x 9 picture with a gradient and a bright square: colour, edges, odd sizes.
convert -size 12x9 gradient:'#1E5AC8-#F0C020' -fill '#FF2020' -draw 'rectangle 3,2 6,5' "$work/base.png"

# No metadata: the same seeds on every run.
seed() { convert "$work/base.png" -strip "$@"; }
seed -depth 8 -define png:color-type=2 "$dir/rgb.png"
seed -colors 8 -define png:color-type=3 "$dir/palette.png"
seed -colorspace gray -define png:color-type=0 -depth 16 "$dir/gray16.png"
seed -depth 8 -alpha set -channel A -evaluate set 60% +channel -define png:color-type=6 "$dir/rgba.png"
seed -depth 8 -interlace PNG -define png:color-type=2 "$dir/interlaced.png"
seed -type TrueColor BMP3:"$dir/rgb24.bmp"
seed -colors 16 -type Palette -compress RLE BMP3:"$dir/rle.bmp"
seed -alpha set BMP:"$dir/argb.bmp"
seed -quality 80 "$dir/baseline.jpg"
seed -interlace JPEG -colorspace gray "$dir/progressive.jpg"
seed -colors 8 "$dir/still.gif"
convert -delay 20 "$work/base.png" -strip \( "$work/base.png" -negate \) -colors 8 "$dir/animated.gif"
seed -resize 16x16! "$dir/icon.ico"
seed -compress none PPM:"$dir/ascii.ppm"
seed PPM:"$dir/binary.ppm"
seed -colorspace gray PGM:"$dir/binary.pgm"
seed -monochrome -compress none PBM:"$dir/ascii.pbm"
seed -colors 4 XPM:"$dir/picture.xpm"
seed -monochrome XBM:"$dir/picture.xbm"
