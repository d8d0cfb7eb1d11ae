#!/usr/bin/env bash
# Placeholder artwork for the installer window: one baseline JPEG of the exact pixel
# size of every picture slot that app/layout/window.json names. Real artwork
# replaces these files under the same names. Run again after changing anything
# here; the output is byte-for-byte the same on a machine with the same
# ImageMagick and fonts.
set -euo pipefail

out="$(cd "$(dirname "$0")" && pwd)/pictures"
font="$(fc-list -f '%{file}\n' 'WenQuanYi Micro Hei' | head -n 1)"
if [ -z "$font" ]; then
  echo "make-placeholder-pictures: the WenQuanYi Micro Hei font is missing (apt-get install fonts-wqy-microhei)" >&2
  exit 1
fi
mkdir -p "$out"

# Baseline, no metadata, fixed quality and subsampling: small and reproducible.
save() { convert "$@" -strip -interlace none -sampling-factor 2x2 -quality 90 "JPEG:$out/$name.jpg"; }

# plain NAME WIDTH HEIGHT FILL [BORDER]
plain() {
  local name=$1 size=$2x$3 fill=$4 border=${5:-}
  if [ -n "$border" ]; then
    save -size "$size" "xc:$fill" -fill none -stroke "$border" -draw "rectangle 0,0 $(($2 - 1)),$(($3 - 1))"
  else
    save -size "$size" "xc:$fill"
  fi
}

# face NAME WIDTH HEIGHT FILL TEXT-COLOUR POINTSIZE CAPTION
face() {
  local name=$1
  save -size "$2x$3" "xc:$4" -font "$font" -pointsize "$6" -fill "$5" -gravity center -annotate +0+0 "$7"
}

# A push button: normal, hover and pressed faces, each visibly different.
# button NAME WIDTH HEIGHT POINTSIZE CAPTION
button() {
  face "$1-normal" "$2" "$3" '#2F6FED' white "$4" "$5"
  face "$1-hover" "$2" "$3" '#5A90FF' white "$4" "$5"
  face "$1-pressed" "$2" "$3" '#1A3F95' '#C8D6F5' "$4" "$5"
}

# A text link on the window's dark background: normal and hover faces only.
# link NAME WIDTH HEIGHT POINTSIZE CAPTION
link() {
  face "$1-normal" "$2" "$3" '#141B2B' '#84C4F9' "$4" "$5"
  face "$1-hover" "$2" "$3" '#141B2B' white "$4" "$5"
}

background() {
  local name=background
  save -size 680x500 'gradient:#22314F-#0C111C' -font "$font" -pointsize 96 -fill '#E8EEF8' \
    -gravity north -annotate +0+110 'Trellimo'
}

background
plain start-badge 88 24 '#3A4A6B'
plain progress-track 562 12 '#2A3550'
plain progress-fill 562 12 '#3F8CFF'
plain folder-frame 522 36 '#1A2236' '#4A5A7D'

button quick-install 160 50 18 '快速安装'
button start 160 50 18 '立即体验'
button install 140 42 16 '立即安装'
button return 140 34 14 '返回'
button browse 90 36 14 '浏览'
link custom-install 72 13 11 '自定义安装'
link agreement-link 72 14 9 '《用户许可协议》'

face close-normal 15 17 '#141B2B' '#A0AAC0' 14 '×'
face close-hover 15 17 '#D9453B' white 14 '×'
face close-pressed 15 17 '#8E2A24' '#E0E0E0' 14 '×'
