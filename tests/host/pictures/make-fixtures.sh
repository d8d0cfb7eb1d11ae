#!/usr/bin/env bash
# Remakes the decoding tests' fixtures with ImageMagick. The pixel values the tests
# expect are the ones written below, not read back from these files.
set -euo pipefail
cd "$(dirname "$0")"

# 4 x 2: red green blue white / black yellow cyan (128,64,32)
palette8='P3 4 2 255  255 0 0  0 255 0  0 0 255  255 255 255  0 0 0  255 255 0  0 255 255  128 64 32'
echo "$palette8" > /tmp/fixture-8.ppm
# 5 x 3 in black and white, row by row: 10101 / 01010 / 11100
echo 'P1 5 3  0 1 0 1 0  1 0 1 0 1  0 0 0 1 1' > /tmp/fixture-1.pbm

convert /tmp/fixture-8.ppm -type TrueColor BMP3:rgb24.bmp
# Sixteen colours or fewer: ImageMagick writes 4 bits per pixel.
convert /tmp/fixture-8.ppm -type Palette BMP3:palette4.bmp
convert /tmp/fixture-1.pbm -type Bilevel BMP3:mono.bmp
convert /tmp/fixture-8.ppm gif:palette.gif
convert /tmp/fixture-8.ppm -type Palette pcx:palette8.pcx
# 16 x 16 in four solid quadrants: red, green / blue, white; solid 8 x 8 blocks at
# full quality come back within a step or two of their colour. The colour at full
# resolution, at half the width and at half both ways (the decoder upsamples it).
for sampling in 1x1:quadrants 2x1:quadrants-422 2x2:quadrants-420; do
  convert -size 8x8 xc:red xc:lime +append \( -size 8x8 xc:blue xc:white +append \) -append \
    -quality 100 -sampling-factor "${sampling%:*}" "jpeg:${sampling#*:}.jpg"
done
convert -size 8x8 xc:'gray(40)' xc:'gray(200)' +append -colorspace Gray -quality 100 jpeg:grey.jpg
convert -size 8x8 xc:red -interlace JPEG -quality 50 jpeg:progressive.jpg
# 3 x 1 with alpha: opaque (10,20,30), transparent (200,100,50), half (255,0,0) at alpha 128
convert -size 3x1 xc:none -fill 'rgba(10,20,30,1)' -draw 'point 0,0' \
  -fill 'rgba(200,100,50,0)' -draw 'point 1,0' -fill 'rgba(255,0,0,0.50196)' -draw 'point 2,0' \
  -define png:color-type=6 png32:alpha.png
convert /tmp/fixture-8.ppm png24:rgb.png
# The same colours in the other layouts a PNG can have, and the grey ones (0, 85,
# 170, 255) and the transparent ones below; every file carries ImageMagick's gAMA,
# bKGD, tIME and tEXt chunks as well.
convert /tmp/fixture-8.ppm -depth 16 png48:rgb16.png
convert /tmp/fixture-8.ppm -define png:color-type=3 -define png:bit-depth=4 png:palette4.png
convert /tmp/fixture-8.ppm -interlace PNG png24:interlaced.png
echo 'P2 4 1 255  0 85 170 255' > /tmp/fixture-grey.pgm
convert /tmp/fixture-grey.pgm -define png:color-type=0 -define png:bit-depth=2 png:grey2.png
convert /tmp/fixture-grey.pgm -depth 16 -define png:color-type=0 -define png:bit-depth=16 png:grey16.png
# 2 x 1 grey with alpha, 16 bits: opaque 40, 200 at alpha 128
convert -size 2x1 xc:none -fill 'graya(40,1)' -draw 'point 0,0' -fill 'graya(200,0.50196)' -draw 'point 1,0' \
  -depth 16 -define png:color-type=4 -define png:bit-depth=16 png:greyalpha16.png
# 3 x 1 palette with a transparent entry: (10,20,30), transparent, (255,0,0)
convert -size 3x1 xc:none -fill 'rgb(10,20,30)' -draw 'point 0,0' -fill 'rgb(255,0,0)' -draw 'point 2,0' \
  png8:palette-trns.png
# Arithmetic coding, which the decoder refuses.
convert -size 16x16 xc:red ppm:- | cjpeg -arithmetic -quality 90 > arithmetic.jpg
rm -f /tmp/fixture-8.ppm /tmp/fixture-1.pbm /tmp/fixture-grey.pgm
