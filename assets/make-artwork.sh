#!/usr/bin/env bash
# The installer window's artwork: the 680 × 500 background and every picture of its
# picture boxes and picture buttons, as baseline JPEGs of the exact pixel sizes the
# window template expects (the option toggles come from make-toggle-pictures.sh).
#
# Each button, frame and bar is drawn over the piece of background it will sit on,
# so rounded corners and soft edges blend into the window as if the units had no
# rectangle of their own. Moving a unit in app/layout/window.json therefore means
# moving its entry in the `spot` table below too.
#
# Run again after changing anything here; the output is byte-for-byte the same on a
# machine with the same ImageMagick and fonts.
set -euo pipefail

out="$(cd "$(dirname "$0")" && pwd)/pictures"
font="$(fc-list -f '%{file}\n' 'WenQuanYi Micro Hei' | head -n 1)"
if [ -z "$font" ]; then
  echo "make-artwork: the WenQuanYi Micro Hei font is missing (apt-get install fonts-wqy-microhei)" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# Palette: deep navy to violet behind, a cyan-to-violet accent in front.
navy='#070B22'
midnight='#120D38'
cyan='#1FC8F2'
violet='#7B5CFF'
ice='#CFE3FF'
link='#5CD8FF'
muted='#8D9CCB'

# Where each unit sits in the window (left top width height), to cut its backdrop.
declare -A spot=(
  [start-badge]='293 360 88 24'
  [start]='260 416 160 50'
  [progress]='59 412 562 12'
  [return]='360 423 140 34'
  [install]='520 423 140 42'
  [browse]='567 369 90 36'
  [folder-frame]='13 371 522 36'
  [custom-install]='592 476 72 13'
  [agreement-link]='174 473 72 14'
  [close]='654 10 15 17'
  [quick-install]='260 344 160 50'
)

# Baseline, no metadata, fixed quality, 4:4:4 so thin coloured text keeps its edges.
save() {
  local name=$1
  shift
  convert "$@" -strip -type TrueColor -interlace none -sampling-factor 1x1 \
    -define jpeg:dct-method=integer -quality "${quality:-90}" "JPEG:$out/$name.jpg"
}

# --- the background ----------------------------------------------------------------

# A waveform of mirrored bars across the window's middle, loudest at the centre;
# prints ImageMagick draw primitives. The shape is a fixed function of the bar index.
waveform_bars() {
  awk 'BEGIN {
    count = 76; left = 72; pitch = 7; middle = 272; pi = atan2(0, -1)
    for (i = 0; i < count; i++) {
      t = i / (count - 1)
      envelope = sin(pi * t) ^ 1.6
      texture = 0.45 + 0.55 * (0.5 + 0.5 * sin(i * 0.83) * cos(i * 0.29 + 1.1))
      half = 2 + int(44 * envelope * texture)
      x = left + i * pitch
      printf "roundrectangle %d,%d %d,%d 1.5,1.5\n", x, middle - half, x + 3, middle + half
    }
  }'
}

# Sound rings spreading from the product mark, fading before the units' area.
sound_rings() {
  local r
  for r in 90 130 170 215 265 320; do
    printf 'circle 340,150 %d,150\n' $((340 + r))
  done
}

background_base() {
  convert -size 680x500 -define gradient:angle=160 "gradient:$midnight-$navy" \
    \( -size 680x500 xc:none -fill '#5B3FD9' -draw 'ellipse 250,140 230,120 0,360' \
       -fill '#1288C9' -draw 'ellipse 470,230 200,110 0,360' -blur 0x70 \
       -channel A -evaluate multiply 0.55 +channel \) -compose screen -composite \
    "$work/base.png"
}

# Multiplies an image's opacity by a vertical ramp: whole above FROM, gone below TO.
# fade_below IMAGE FROM TO
fade_below() {
  local image=$1 from=$2 to=$3
  convert -size 680x$((to - from)) gradient:white-black \
    -background white -gravity south -extent 680x"$to" \
    -background black -gravity north -extent 680x500 "$work/ramp.png"
  convert "$image" -alpha extract "$work/ramp.png" -compose multiply -composite "$work/alpha.png"
  convert "$image" "$work/alpha.png" -alpha off -compose CopyOpacity -composite "$image"
}

background_rings() {
  convert -size 680x500 xc:none -fill none -stroke '#6F8BFF' -strokewidth 1.2 \
    -draw "$(sound_rings)" -channel A -evaluate multiply 0.35 +channel "$work/rings.png"
  fade_below "$work/rings.png" 150 330
}

background_waveform() {
  convert -size 680x500 xc:black -fill white -draw "$(waveform_bars)" "$work/bars-mask.png"
  convert -size 680x500 -define gradient:direction=east "gradient:$cyan-$violet" "$work/bars-colour.png"
  convert "$work/bars-colour.png" "$work/bars-mask.png" -alpha off -compose CopyOpacity \
    -composite "$work/bars.png"
  convert "$work/bars.png" -channel A -blur 0x6 -evaluate multiply 0.8 +channel "$work/bars-glow.png"
}

background_title() {
  convert -size 680x500 xc:none -font "$font" -gravity north \
    -pointsize 84 -fill white -stroke white -strokewidth 1 -annotate +0+88 'Trellimo' -stroke none \
    -pointsize 17 -fill "$ice" -kerning 2 -annotate +0+194 '实时变声 · 百变声线 · 一键开启' \
    "$work/title.png"
  convert "$work/title.png" -channel A -blur 0x10 -evaluate multiply 0.6 +channel \
    -fill "$violet" -colorize 100 "$work/title-glow.png"
}

background_brand() {
  convert -size 680x500 xc:none -font "$font" -gravity northwest \
    -fill "$cyan" -draw 'roundrectangle 16,12 33,29 4,4' \
    -stroke white -strokewidth 2 -draw 'line 21,18 21,23' -draw 'line 25,15 25,26' -draw 'line 29,19 29,22' \
    -stroke none -pointsize 13 -fill "$ice" -annotate +40+12 'Trellimo 安装程序' \
    "$work/brand.png"
}

background() {
  background_base
  background_rings
  background_waveform
  background_title
  background_brand
  convert "$work/base.png" "$work/rings.png" -compose over -composite \
    "$work/bars-glow.png" -compose screen -composite \
    "$work/bars.png" -compose over -composite \
    "$work/title-glow.png" -compose screen -composite \
    "$work/title.png" -compose over -composite \
    "$work/brand.png" -compose over -composite \
    "$work/background.png"
  quality=88 save background "$work/background.png"
}

# --- the units' pictures -----------------------------------------------------------

# The piece of background under a unit, as the canvas its picture is drawn on.
# backdrop UNIT FILE
backdrop() {
  local left top width height
  read -r left top width height <<<"${spot[$1]}"
  convert "$work/background.png" -crop "${width}x${height}+${left}+${top}" +repage "$2"
}

size_of() {
  local left top width height
  read -r left top width height <<<"${spot[$1]}"
  echo "${width}x${height}"
}

# A rounded shape of a unit's size as a white-on-black mask, inset by INSET pixels.
# shape_mask UNIT RADIUS INSET FILE
shape_mask() {
  local left top width height
  read -r left top width height <<<"${spot[$1]}"
  convert -size "${width}x${height}" xc:black -fill white \
    -draw "roundrectangle $3,$3 $((width - 1 - $3)),$((height - 1 - $3)) $2,$2" "$4"
}

# Lays FILL over CANVAS through MASK, at OPACITY (0..1); the result replaces CANVAS.
# lay CANVAS FILL MASK OPACITY
lay() {
  convert "$3" -evaluate multiply "$4" "$work/lay-mask.png"
  convert "$2" "$work/lay-mask.png" -alpha off -compose CopyOpacity -composite "$work/lay-fill.png"
  convert "$1" "$work/lay-fill.png" -compose over -composite "$1"
}

# Writes TEXT centred on CANVAS, DOWN pixels below the middle, and saves the result.
# Any further arguments are ImageMagick settings or drawings applied before the text.
# caption NAME CANVAS POINTSIZE COLOUR DOWN TEXT [OPTION...]
caption() {
  local name=$1 canvas=$2 pointsize=$3 colour=$4 down=$5 text=$6
  shift 6
  save "$name" "$canvas" -font "$font" -pointsize "$pointsize" -fill "$colour" -stroke none "$@" \
    -gravity center -annotate "+0+$down" "$text"
}

# A unit-sized picture of one colour. solid UNIT COLOUR FILE
solid() {
  convert -size "$(size_of "$1")" "xc:$2" "$3"
}

# A rounded panel over the unit's backdrop: a one-pixel rim of EDGE, and inside it
# the backdrop seen through FILL (a picture) at FILL-OPACITY. The panel replaces CANVAS.
# panel UNIT RADIUS EDGE EDGE-OPACITY FILL FILL-OPACITY CANVAS
panel() {
  local unit=$1 radius=$2 canvas=$7
  shape_mask "$unit" "$radius" 0 "$work/shape.png"
  shape_mask "$unit" "$radius" 1 "$work/inner.png"
  solid "$unit" "$3" "$work/edge.png"
  backdrop "$unit" "$canvas"
  lay "$canvas" "$work/edge.png" "$work/shape.png" "$4"
  backdrop "$unit" "$work/under.png"
  lay "$work/under.png" "$5" "$work/inner.png" "$6"
  convert "$work/under.png" "$work/inner.png" -alpha off -compose CopyOpacity -composite "$work/under-cut.png"
  convert "$canvas" "$work/under-cut.png" -compose over -composite "$canvas"
}

# A button filled with the accent gradient, lighter on hover, deeper and one
# pixel lower when pressed. primary UNIT RADIUS POINTSIZE TEXT
primary() {
  face_primary "$1" normal "$cyan" "$violet" '#FFFFFF' 0 "$2" "$3" "$4"
  face_primary "$1" hover '#4AD6FA' '#927BFF' '#FFFFFF' 0 "$2" "$3" "$4"
  face_primary "$1" pressed '#1596BC' '#5A3FD6' '#DCE6FF' 1 "$2" "$3" "$4"
}

# face_primary UNIT STATE FROM TO TEXT-COLOUR DOWN RADIUS POINTSIZE TEXT
face_primary() {
  local canvas="$work/$1-$2.png"
  convert -size "$(size_of "$1")" -define gradient:direction=east "gradient:$3-$4" "$work/fill.png"
  panel "$1" "$7" white 0.35 "$work/fill.png" 1 "$canvas"
  # A hairline of the text's own colour thickens the font's single weight.
  caption "$1-$2" "$canvas" "$8" "$5" "$6" "$9" -stroke "$5" -strokewidth 0.3
}

# A quiet button: a thin light outline on a faint glass fill, filling in on hover
# and sinking when pressed. secondary UNIT RADIUS POINTSIZE TEXT
secondary() {
  solid "$1" '#9FB4FF' "$work/glass.png"
  face_secondary "$1" normal '#7F8FE0' 0.10 "$ice" 0 "$2" "$3" "$4"
  face_secondary "$1" hover "$cyan" 0.22 '#FFFFFF' 0 "$2" "$3" "$4"
  face_secondary "$1" pressed '#5A3FD6' 0.05 '#AFC3F0' 1 "$2" "$3" "$4"
}

# face_secondary UNIT STATE EDGE-COLOUR GLASS TEXT-COLOUR DOWN RADIUS POINTSIZE TEXT
face_secondary() {
  local canvas="$work/$1-$2.png"
  panel "$1" "$7" "$3" 1 "$work/glass.png" "$4" "$canvas"
  caption "$1-$2" "$canvas" "$8" "$5" "$6" "$9"
}

# How many pixels wide TEXT comes out, with the same OPTIONs as its caption.
# text_width POINTSIZE TEXT [OPTION...]
text_width() {
  local pointsize=$1 text=$2
  shift 2
  convert -size 200x40 xc:black -font "$font" -pointsize "$pointsize" -fill white "$@" \
    -gravity center -annotate +0+0 "$text" -trim -format '%w' info:
}

# A text link on the window: normal and hover faces (these units have no pressed one);
# the hover face is white and underlined. OPTIONs go to caption.
# text_link UNIT POINTSIZE COLOUR TEXT [OPTION...]
text_link() {
  local unit=$1 pointsize=$2 colour=$3 text=$4 width height span from
  shift 4
  read -r _ _ width height <<<"${spot[$unit]}"
  span=$(text_width "$pointsize" "$text" "$@")
  from=$(((width - span) / 2))
  backdrop "$unit" "$work/link.png"
  caption "$unit-normal" "$work/link.png" "$pointsize" "$colour" 0 "$text" "$@"
  caption "$unit-hover" "$work/link.png" "$pointsize" white 0 "$text" "$@" \
    -stroke "$link" -draw "line $from,$((height - 1)) $((from + span - 1)),$((height - 1))" -stroke none
}

close_button() {
  local cross='line 4,5 10,11 line 10,5 4,11'
  backdrop close "$work/close.png"
  save close-normal "$work/close.png" -stroke "$muted" -strokewidth 1.5 -draw "$cross"
  save close-hover "$work/close.png" -fill '#E5484D' -draw 'circle 7,8 7,1' \
    -stroke white -strokewidth 1.5 -draw "$cross"
  save close-pressed "$work/close.png" -fill '#A3272C' -draw 'circle 7,8 7,1' \
    -stroke '#E8D0D0' -strokewidth 1.5 -draw 'line 4,6 10,12 line 10,6 4,12'
}

folder_frame() {
  solid folder-frame '#0A0E2A' "$work/well.png"
  panel folder-frame 6 '#5A6BC2' 0.9 "$work/well.png" 0.7 "$work/frame.png"
  save folder-frame "$work/frame.png"
}

# The track is a dark groove; the fill is drawn over the track so that, as the
# installer widens it, its rounded end sits in the groove.
progress_bars() {
  solid progress '#0B0F2E' "$work/groove.png"
  panel progress 6 '#3A4690' 0.9 "$work/groove.png" 1 "$work/track.png"
  save progress-track "$work/track.png"
  convert -size 562x12 -define gradient:direction=east "gradient:$cyan-$violet" \
    \( -size 562x5 xc:white -background black -extent 562x12 -channel RGB -evaluate multiply 0.25 \) \
    -compose screen -composite "$work/fill.png"
  shape_mask progress 6 0 "$work/shape.png"
  lay "$work/track.png" "$work/fill.png" "$work/shape.png" 1
  save progress-fill "$work/track.png"
}

start_badge() {
  solid start-badge '#0E3558' "$work/well.png"
  panel start-badge 11 "$cyan" 0.8 "$work/well.png" 0.85 "$work/badge.png"
  save start-badge "$work/badge.png" -fill "$cyan" -draw 'circle 17,12 17,5' \
    -stroke "$navy" -strokewidth 1.6 -fill none -draw 'polyline 13.5,12 16,14.5 20.5,9.5' \
    -stroke none -fill white -font "$font" -pointsize 13 -gravity west -annotate +28+0 '安装完成'
}

background
primary quick-install 10 19 '快速安装'
primary start 10 19 '立即体验'
primary install 9 16 '立即安装'
secondary return 9 15 '返回'
secondary browse 8 14 '浏览'
text_link custom-install 11 '#A5B3DD' '自定义安装'
# Eight full-width characters in 72 pixels: one pixel less between them keeps 10 px.
text_link agreement-link 10 "$link" '《用户许可协议》' -kerning -1
close_button
folder_frame
progress_bars
start_badge
