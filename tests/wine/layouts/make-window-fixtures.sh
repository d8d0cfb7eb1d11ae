#!/usr/bin/env bash
# Remakes the window tests' pictures with ImageMagick. The colours the tests expect
# are the ones written here, not read back from these files.
set -euo pipefail
cd "$(dirname "$0")"

# 80 x 40 in four 40 x 20 quadrants: red, blue / yellow, white.
convert -size 40x20 xc:red xc:blue +append \( -size 40x20 xc:yellow xc:white +append \) -append \
  -type TrueColor BMP3:window-quadrants.bmp
# A 32 x 32 icon in one colour (255, 128, 0).
convert -size 32x32 xc:'rgb(255,128,0)' -type TrueColorAlpha ico:window-icon.ico
