#!/usr/bin/env bash
# Remakes the picture units' fixtures with ImageMagick. The colours the tests expect
# are the ones written below, not read back from these files.
set -euo pipefail
cd "$(dirname "$0")"

# 64 x 16, four bands of 16 columns: red, lime, blue, yellow (the progress fill).
# Bands on 8-pixel block edges at full quality come back within a step or two.
convert -size 16x16 xc:red xc:lime xc:blue xc:yellow +append +repage \
  -quality 100 -sampling-factor 1x1 jpeg:stripes.jpg
# 4 x 4 in 2 x 2 quadrants: red, lime / blue, white (stretched).
convert -size 2x2 xc:red xc:lime +append \( -size 2x2 xc:blue xc:white +append \) -append \
  +repage png24:quadrants.png
# 40 x 40: the left half red, the right half blue (centred and shrunk).
convert -size 20x40 xc:red xc:blue +append -type TrueColor BMP3:halves.bmp
# 200 x 24 in 8 x 8 squares of #203060 and #C08040 (under the label).
convert -size 8x8 xc:'#203060' xc:'#C08040' +append \
  \( -size 8x8 xc:'#C08040' xc:'#203060' +append \) -append /tmp/checker-tile.png
convert -size 200x24 tile:/tmp/checker-tile.png -type TrueColor BMP3:checker.bmp
rm -f /tmp/checker-tile.png
# 60 x 24 button looks: normal #C00000, hover #00A000, pressed #0000C0.
convert -size 60x24 xc:'#C00000' -type TrueColor BMP3:normal.bmp
convert -size 60x24 xc:'#00A000' -type TrueColor BMP3:hover.bmp
convert -size 60x24 xc:'#0000C0' -type TrueColor BMP3:pressed.bmp
# 24 x 24, three solid frames of 0.15 s each, looping: red, lime, blue.
convert -delay 15 -size 24x24 xc:red xc:lime xc:blue -loop 0 gif:frames.gif
# 24 x 24, two frames of 0.4 s, looping: red on the left half with the right half
# clear; then, in a colour table of its own, blue over the top right quarter and
# clear elsewhere. The frames as ImageMagick composes them over teal (#008080),
# the colour the test gives the box, are the references.
convert -dispose None -delay 40 -size 24x24 xc:none -fill red -draw 'rectangle 0,0 11,23' \
  -page +12+0 \( -size 12x24 xc:none -fill blue -draw 'rectangle 0,0 11,11' \) -loop 0 gif:layered.gif
convert layered.gif -coalesce -background '#008080' -alpha remove -alpha off -type TrueColor \
  BMP3:layered-frame-%d.bmp
# 24 x 24, red then lime for 0.2 s each, shown once and repeated once, then it
# stays lime: ImageMagick's -loop counts the plays and writes a loop count of 1.
convert -loop 2 -delay 20 -size 24x24 xc:red xc:lime gif:twice.gif
