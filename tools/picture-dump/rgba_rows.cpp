#include "tools/picture-dump/rgba_rows.h"

#include <algorithm>
#include <array>
#include <span>

#include "frame/byte_reader.h"
#include "pictures/decode.h"
#include "pictures/detect.h"

namespace picture_dump {
namespace {

using pictures::Picture;
using pictures::PictureKind;

RgbaImage blank(int32_t width, int32_t height) {
  return {width, height, std::vector<uint8_t>(size_t(width) * size_t(height) * 4, 0xFF), false};
}

void put(RgbaImage& image, size_t x, size_t y, std::array<uint8_t, 4> rgba) {
  std::copy(rgba.begin(), rgba.end(), &image.rgba[(y * size_t(image.width) + x) * 4]);
  if (rgba[3] != 0xFF) image.has_alpha = true;
}

// An image whose pixel (x, y) is colour_at(x, y), R,G,B,A.
template <typename ColourAt>
RgbaImage each_pixel(int32_t width, int32_t height, ColourAt colour_at) {
  RgbaImage image = blank(width, height);
  for (size_t y = 0; y < size_t(height); ++y)
    for (size_t x = 0; x < size_t(width); ++x) put(image, x, y, colour_at(x, y));
  return image;
}

// B,G,R,A rows top-down: PNG pictures and composed GIF frames.
RgbaImage from_bgra(std::span<const uint8_t> bgra, int32_t width, int32_t height) {
  return each_pixel(width, height, [&](size_t x, size_t y) {
    const uint8_t* s = &bgra[(y * size_t(width) + x) * 4];
    return std::array<uint8_t, 4>{s[2], s[1], s[0], s[3]};
  });
}

// B,G,R rows bottom-up without padding: JPEG and BMP.
RgbaImage from_bgr_bottom_up(const Picture& p) {
  return each_pixel(p.width, p.height, [&](size_t x, size_t y) {
    const uint8_t* s = &p.pixels[((size_t(p.height) - 1 - y) * size_t(p.width) + x) * 3];
    return std::array<uint8_t, 4>{s[2], s[1], s[0], 0xFF};
  });
}

// The 8-bit DIB block of GIF stills and 8-bit PCX.
RgbaImage from_dib_block(const Picture& p) {
  const size_t stride = (size_t(p.width) + 3) / 4 * 4;
  return each_pixel(p.width, p.height, [&](size_t x, size_t y) {
    const uint8_t index = p.pixels[pictures::kDibPixelOffset + (size_t(p.height) - 1 - y) * stride + x];
    const uint8_t* c = &p.pixels[pictures::kDibHeaderSize + index * 4];
    return std::array<uint8_t, 4>{c[2], c[1], c[0], 0xFF};
  });
}

// 1-bit rows top-down padded to 16 bits; a set bit is white, as a monochrome
// bitmap is drawn.
RgbaImage from_one_bit_rows(const Picture& p) {
  const size_t stride = (size_t(p.width) + 15) / 16 * 2;
  return each_pixel(p.width, p.height, [&](size_t x, size_t y) {
    const uint8_t v = (p.pixels[y * stride + x / 8] >> (7 - x % 8) & 1) ? 0xFF : 0;
    return std::array<uint8_t, 4>{v, v, v, 0xFF};
  });
}

unsigned bits_at(std::span<const uint8_t> row, size_t x, unsigned bits) {
  if (bits >= 8) return row[x * (bits / 8)];
  const unsigned per_byte = 8 / bits, shift = 8 - bits * unsigned(x % per_byte + 1);
  return row[x / per_byte] >> shift & ((1u << bits) - 1);
}

// An icon's DIB image: colour rows (1 to 32 bits, bottom-up) and a 1-bit mask whose
// set bits are transparent; a 32-bit image whose alpha is not all 0 carries its
// own transparency instead.
std::optional<RgbaImage> from_icon_dib(std::span<const uint8_t> image_bytes, int32_t width, int32_t height) {
  frame::ByteReader r(image_bytes);
  uint32_t header_size, colours_used;
  uint16_t bits;
  if (!frame::store(r.u32(), header_size) || !r.skip(10) || !frame::store(r.u16(), bits) || !r.skip(16) ||
      !frame::store(r.u32(), colours_used) || !r.skip(header_size - 36))
    return std::nullopt;
  const size_t palette_count = bits > 8 ? 0 : colours_used ? colours_used : size_t(1) << bits;
  auto palette = r.bytes(palette_count * 4);
  const size_t colour_stride = (size_t(width) * bits + 31) / 32 * 4, mask_stride = (size_t(width) + 31) / 32 * 4;
  auto colour = r.bytes(colour_stride * size_t(height));
  auto mask = r.bytes(mask_stride * size_t(height));
  if (!palette || !colour || !mask || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
    return std::nullopt;
  bool own_alpha = false;
  for (size_t i = 3; bits == 32 && i < colour->size(); i += 4) own_alpha |= (*colour)[i] != 0;
  return each_pixel(width, height, [&](size_t x, size_t y) {
    const size_t stored = size_t(height) - 1 - y;
    auto row = colour->subspan(stored * colour_stride, colour_stride);
    const size_t index = bits > 8 ? 0 : std::min<size_t>(bits_at(row, x, bits), palette_count - 1);
    const uint8_t* c = bits > 8 ? &row[x * (bits / 8)] : &(*palette)[index * 4];
    const bool masked = bits_at(mask->subspan(stored * mask_stride, mask_stride), x, 1) != 0;
    const uint8_t alpha = own_alpha ? c[3] : masked ? 0 : 0xFF;
    return std::array<uint8_t, 4>{c[2], c[1], c[0], alpha};
  });
}

std::optional<RgbaImage> from_icon(const Picture& p) {
  if (pictures::detect_picture(p.pixels) != PictureKind::png) return from_icon_dib(p.pixels, p.width, p.height);
  auto png = pictures::decode_png(p.pixels);
  if (!png) return std::nullopt;
  return from_bgra(png->pixels, png->width, png->height);
}

}  // namespace

std::optional<RgbaImage> still_rgba(const Picture& p) {
  switch (p.kind) {
    case PictureKind::jpeg:
    case PictureKind::bmp:
      return from_bgr_bottom_up(p);
    case PictureKind::png:
      return from_bgra(p.pixels, p.width, p.height);
    case PictureKind::gif:
      if (p.animation.size() == 1) return frame_rgba(p, p.animation.front());
      return from_dib_block(p);
    case PictureKind::pcx8:
      return from_dib_block(p);
    case PictureKind::pcx1:
      return from_one_bit_rows(p);
    case PictureKind::icon:
    case PictureKind::cursor:
      return from_icon(p);
    case PictureKind::none:
      break;
  }
  return std::nullopt;
}

RgbaImage frame_rgba(const Picture& picture, const pictures::AnimationFrame& frame) {
  return from_bgra(frame.bgra, picture.width, picture.height);
}

}  // namespace picture_dump
