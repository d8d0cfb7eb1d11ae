#!/usr/bin/env bash
# The decoders held against ImageMagick: pictures made with ImageMagick in every
# format and variant the decoders take are decoded by picture-dump and by
# ImageMagick itself (coalesced frames for GIF), and compared pixel by pixel:
# exactly for the lossless formats, by mean error for JPEG. Pixels both sides leave
# fully transparent are equal whatever colour they carry. One summary line per
# format: pictures tried, pixels differing.
# Usage: picture_conformance_test.sh PICTURE_DUMP
set -euo pipefail
dump=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Source pictures: many colours, few colours, two colours, and a grey ramp.
convert -size 37x23 -seed 7 plasma:fractal -depth 8 colours.png
convert colours.png -colors 12 few.png
convert -size 29x13 pattern:checkerboard -monochrome two.png
convert -size 40x9 gradient:black-white -colorspace Gray grey.png
convert colours.png -alpha set -channel A -fx 'i/w' +channel translucent.png

declare -A tried differing
failures=0

# compare_rgba MODE OURS REF: prints the pixels that differ (exact, exact16) or,
# for MODE=jpeg, 0 when the mean error per channel is at most 1.5 and every pixel
# otherwise, then the mean error. For exact16 REF holds 16-bit samples, most
# significant byte first, which are cut to their high byte as the decoder cuts them.
compare_rgba() {
  python3 - "$@" <<'PY'
import sys
mode, ours, ref = sys.argv[1:4]
a, b = open(ours, 'rb').read(), open(ref, 'rb').read()
if mode == 'exact16':
    b = b[0::2]
if len(a) != len(b):
    print('size'); sys.exit(0)
if mode == 'jpeg':
    total = sum(abs(a[i] - b[i]) for i in range(len(a)) if i % 4 != 3)
    mean = total / (len(a) // 4 * 3)
    print(0 if mean <= 1.5 else len(a) // 4, f'{mean:.3f}')
    sys.exit(0)
diff = 0
for i in range(0, len(a), 4):
    if a[i + 3] == 0 and b[i + 3] == 0: continue
    if a[i:i + 4] != b[i:i + 4]: diff += 1
print(diff)
PY
}

# check FORMAT MODE FILE [IMAGEMAGICK-INDEX] [IMAGEMAGICK-OPTION]: our frames
# against ImageMagick's.
check() {
  local format=$1 mode=$2 file=$3 index=${4:-} option=${5:-}
  local out="out-$file"
  tried[$format]=$(( ${tried[$format]:-0} + 1 ))
  if ! "$dump" "$file" "$out" >/dev/null 2>&1; then
    echo "  $format $file: not decoded" >&2
    failures=$((failures + 1))
    return
  fi
  local ours=("$out"/frame-*.png)
  if [ "$format" = GIF ]; then
    convert "$file" -coalesce "$out/ref-%03d.png"
  else
    convert "$file[${index:-0}]" $option "$out/ref-000.png"
  fi
  local refs=("$out"/ref-*.png)
  if [ "${#ours[@]}" -ne "${#refs[@]}" ]; then
    echo "  $format $file: ${#ours[@]} frames, ImageMagick ${#refs[@]}" >&2
    failures=$((failures + 1))
    return
  fi
  local i result
  for i in "${!ours[@]}"; do
    if [ "$(identify -format '%wx%h' "${ours[$i]}")" != "$(identify -format '%wx%h' "${refs[$i]}")" ]; then
      echo "  $format $file frame $i: sizes differ" >&2
      failures=$((failures + 1))
      continue
    fi
    convert "${ours[$i]}" -depth 8 "rgba:$out/ours.rgba"
    if [ "$mode" = exact16 ]; then
      convert "${refs[$i]}" -depth 16 -endian MSB "rgba:$out/ref.rgba"
    else
      convert "${refs[$i]}" -depth 8 "rgba:$out/ref.rgba"
    fi
    result=$(compare_rgba "$mode" "$out/ours.rgba" "$out/ref.rgba")
    [ "$mode" = jpeg ] && echo "    $file mean error ${result#* }"
    result=${result%% *}
    if [ "$result" != 0 ]; then
      echo "  $format $file frame $i: $result pixels differ" >&2
      failures=$((failures + 1))
      [ "$result" = size ] && result=0
    fi
    differing[$format]=$(( ${differing[$format]:-0} + result ))
  done
}

# ImageMagick's index of the icon entry our decoder chose: the one of its size.
icon_index() {
  local size
  size=$(identify -format '%wx%h' "out-$1/frame-000.png" 2>/dev/null || true)
  identify -format '%p %wx%h\n' "$1" | awk -v size="$size" '$2 == size { print $1; exit }'
}

# BMP: 1, 4, 8, 24 and 32 bits, bottom-up and top-down (a negative height).
bmp_cases() {
  convert two.png -type Bilevel BMP3:bmp1.bmp
  convert few.png -type Palette -colors 12 BMP3:bmp4.bmp
  convert colours.png -colors 200 -type Palette -compress None BMP3:bmp8.bmp
  convert colours.png -colors 200 -type Palette -compress None BMP:bmp8-v5.bmp
  convert colours.png -type TrueColor BMP3:bmp24.bmp
  convert colours.png -alpha on -type TrueColorAlpha -define bmp3:alpha=true BMP3:bmp32.bmp
  local f
  for f in bmp1 bmp4 bmp8 bmp8-v5 bmp24 bmp32; do
    check BMP exact "$f.bmp"
    flip_bmp "$f.bmp" "$f-top-down.bmp"
    check BMP exact "$f-top-down.bmp"
  done
}

# The same picture stored top-down: rows reversed and the height negated.
flip_bmp() {
  python3 - "$1" "$2" <<'PY'
import struct, sys
b = bytearray(open(sys.argv[1], 'rb').read())
offset, = struct.unpack_from('<I', b, 10)
width, height = struct.unpack_from('<ii', b, 18)
bits, = struct.unpack_from('<H', b, 28)
stride = (width * bits + 31) // 32 * 4
rows = [b[offset + y * stride: offset + (y + 1) * stride] for y in range(height)]
b[offset:offset + stride * height] = b''.join(reversed(rows))
struct.pack_into('<i', b, 22, -height)
open(sys.argv[2], 'wb').write(b)
PY
}

# PCX: 8 bits from ImageMagick; 1 bit written here, since ImageMagick writes its
# two-colour pictures with 8 bits. ImageMagick ignores a 1-bit file's palette and
# shows set bits black; the installer draws them in a monochrome bitmap's
# background colour, white, so its reading is compared negated.
pcx_cases() {
  convert colours.png -colors 200 -type Palette pcx:pcx8.pcx
  convert few.png -type Palette pcx:pcx8-few.pcx
  python3 - pcx1.pcx <<'PY'
import sys
width, height = 29, 13
line = (width + 15) // 16 * 2
header = bytearray(128)
header[0:4] = bytes([0x0A, 3, 1, 1])
header[8:12] = (width - 1).to_bytes(2, 'little') + (height - 1).to_bytes(2, 'little')
header[16:22] = bytes([0, 0, 0, 255, 255, 255])
header[65] = 1
header[66:68] = line.to_bytes(2, 'little')
data = bytearray()
for y in range(height):
    row = bytearray(line)
    for x in range(width):
        if (x // 3 + y // 2) % 2: row[x // 8] |= 0x80 >> (x % 8)
    for byte in row: data += bytes([0xC1, byte]) if byte >= 0xC0 else bytes([byte])
open(sys.argv[1], 'wb').write(header + data)
PY
  check PCX exact pcx8.pcx
  check PCX exact pcx8-few.pcx
  check PCX exact pcx1.pcx 0 -negate
}

# ICO and CUR with several entries; a CUR is an ICO whose type word is 2.
icon_cases() {
  convert \( colours.png -resize 16x16! \) \( few.png -resize 32x32! \) \( colours.png -resize 48x48! \) icon3.ico
  convert \( two.png -resize 32x32! -type Palette \) \( few.png -resize 16x16! \) icon2.ico
  python3 -c 'import sys; b = bytearray(open("icon3.ico", "rb").read()); b[2] = 2; open("cursor3.cur", "wb").write(b)'
  local f
  for f in icon3.ico icon2.ico cursor3.cur; do
    "$dump" "$f" "out-$f" >/dev/null 2>&1 || true
    check ICO exact "$f" "$(icon_index "$f")"
  done
}

# GIF: a still, frames with their own colour tables, every disposal method over
# partial frames, transparency and interlacing. The first frame keeps its place:
# restoring it to what was before it is a matter ImageMagick and browsers differ on.
gif_cases() {
  convert few.png gif:still.gif
  convert colours.png -interlace GIF gif:interlaced.gif
  convert -delay 10 -size 20x12 xc:red \( -size 20x12 xc:blue -fill yellow -draw 'rectangle 3,3 9,8' \) \
    \( -size 20x12 plasma:fractal -colors 40 \) -loop 0 gif:local-tables.gif
  local method
  for method in Undefined None Background Previous; do
    convert -dispose None -delay 7 -size 20x12 xc:lime -dispose "$method" \
      -page +2+1 \( -size 8x6 xc:red \) -page +9+4 \( -size 9x7 xc:none -fill blue -draw 'rectangle 2,2 6,5' \) \
      -page +0+0 \( -size 5x5 xc:yellow \) -loop 2 "gif:dispose-$method.gif"
  done
  convert -delay 5 -dispose Background -size 16x10 xc:none -fill red -draw 'rectangle 2,2 12,7' \
    \( -size 16x10 xc:none -fill blue -draw 'circle 8,5 8,1' \) \( -size 16x10 xc:white -fill none -draw 'point 4,4' \) \
    gif:transparent.gif
  convert transparent.gif -interlace GIF gif:transparent-interlaced.gif
  local f
  for f in still interlaced local-tables dispose-Undefined dispose-None dispose-Background dispose-Previous \
      transparent transparent-interlaced; do
    check GIF exact "$f.gif"
  done
}

# PNG: grey, palette, RGB, RGBA, 16 bits, interlaced. The decoder keeps the high
# byte of a 16-bit sample, so those are compared with ImageMagick's 16-bit reading
# cut the same way.
png_cases() {
  convert grey.png -define png:color-type=0 -define png:bit-depth=8 png:grey8.png
  convert grey.png -depth 16 -define png:color-type=0 -define png:bit-depth=16 png:grey16.png
  convert few.png -define png:color-type=3 png:palette.png
  convert colours.png png24:rgb.png
  convert translucent.png png32:rgba.png
  convert colours.png -depth 16 -evaluate multiply 0.9 png48:rgb16.png
  convert translucent.png -depth 16 -evaluate multiply 0.9 png64:rgba16.png
  convert colours.png -interlace PNG png24:interlaced.png
  local f
  for f in grey8 palette rgb rgba interlaced; do check PNG exact "$f.png"; done
  for f in grey16 rgb16 rgba16; do check PNG exact16 "$f.png"; done
}

# JPEG: baseline and progressive, grey and colour, the common samplings.
jpeg_cases() {
  local sampling
  for sampling in 1x1 2x1 1x2 2x2; do
    convert colours.png -quality 90 -sampling-factor "$sampling" "jpeg:colour-$sampling.jpg"
    check JPEG jpeg "colour-$sampling.jpg"
  done
  convert colours.png -quality 85 -interlace JPEG jpeg:progressive.jpg
  convert grey.png -quality 90 jpeg:grey.jpg
  convert grey.png -quality 90 -interlace JPEG jpeg:grey-progressive.jpg
  check JPEG jpeg progressive.jpg
  check JPEG jpeg grey.jpg
  check JPEG jpeg grey-progressive.jpg
}

bmp_cases
pcx_cases
icon_cases
gif_cases
png_cases
jpeg_cases
for format in BMP PCX ICO GIF PNG JPEG; do
  echo "$format: ${tried[$format]:-0} pictures tried, ${differing[$format]:-0} pixels differing"
done
# Not taken by the decoders, so not compared: 24-bit PCX (three planes).
[ "$failures" -eq 0 ]
