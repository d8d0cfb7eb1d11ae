#!/usr/bin/env bash
# The two pictures of an option toggle, 16 × 16 baseline JPEGs: a dark blue square
# with a light border, empty or with a white tick. They travel in the constants
# area, and the empty one also in the window template as the toggles' face there.
# The output is byte-for-byte the same on a machine with the same ImageMagick.
set -euo pipefail

out="$(cd "$(dirname "$0")" && pwd)/pictures"
mkdir -p "$out"

# Baseline, 3 components (4:4:4 keeps the thin tick crisp), no metadata.
save() { convert "$@" -strip -type TrueColor -interlace none -sampling-factor 1x1 -quality 95 "JPEG:$out/$name.jpg"; }

box=(-size 16x16 'xc:#1B2A55' -fill none -stroke '#C8D6F5' -strokewidth 1 -draw 'rectangle 0,0 15,15')

name=toggle-empty
save "${box[@]}"
name=toggle-ticked
save "${box[@]}" -stroke white -strokewidth 2 -draw 'polyline 3.5,8.5 6.5,11.5 12.5,4.5'
