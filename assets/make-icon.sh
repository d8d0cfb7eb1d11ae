#!/usr/bin/env bash
# Draws the installer's icon: a rounded dark-blue tile with a sound-wave mark, at the
# sizes Windows asks for. Run from anywhere; writes assets/trellimo.ico.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 256x256 xc:none \
  -fill '#1b2a4a' -draw 'roundrectangle 8,8 247,247 48,48' \
  -stroke '#5ad1ff' -strokewidth 18 -fill none \
  -draw 'line 64,128 64,128' -draw 'line 64,104 64,152' -draw 'line 100,72 100,184' \
  -draw 'line 136,48 136,208' -draw 'line 172,84 172,172' -draw 'line 208,112 208,144' \
  "$work/icon-256.png"
convert "$work/icon-256.png" -define icon:auto-resize=256,48,32,16 "$here/trellimo.ico"
