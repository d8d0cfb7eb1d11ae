#include "rgba_rows.h"

#include <algorithm>
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

void put(RgbaImage& image, size_t x, size_t y, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 0xFF) {
  uint8_t* p = &image.rgba[(y * size_t(image.width) + x) * 4];
  p[0] = r;
  p[1] = g;
  p[2] = b;
  p[3] = a;
  if (a != 0xFF) image.has_alpha = true;
}

// B,G,R,A rows top-down: PNG pictures and composed GIF frames.
RgbaImage from_bgra(std::span<const uint8_t> bgra, int32_t width, int32_t height) {
  RgbaImage image = blank(width, height);
  for (size_t i = 0; i < size_t(width) * size_t(height); ++i)
    put(image, i % size_t(width), i / size_t(width), bgra[i * 4 + 2], bgra[i * 4 + 1], bgra[i * 4], bgra[i * 4 + 3]);
  return image;
}

// B,G,R rows bottom-up without padding: JPEG and BMP.
RgbaImage from_bgr_bottom_up(const Picture& p) {
  RgbaImage image = blank(p.width, p.height);
  for (size_t y = 0; y < size_t(p.height); ++y)
    for (size_t x = 0; x < size_t(p.width); ++x) {
      const uint8_t* s = &p.pixels[((size_t(p.height) - 1 - y) * size_t(p.width) + x) * 3];
      put(image, x, y, s[2], s[1], s[0]);
    }
  return image;
}

// The 8-bit DIB block of GIF stills and 8-bit PCX.
RgbaImage from_dib_block(const Picture& p) {
  RgbaImage image = blank(p.width, p.height);
  const size_t stride = (size_t(p.width) + 3) / 4 * 4;
  for (size_t y = 0; y < size_t(p.height); ++y)
    for (size_t x = 0; x < size_t(p.width); ++x) {
      const uint8_t index = p.pixels[pictures::kDibPixelOffset + (size_t(p.height) - 1 - y) * stride + x];
      const uint8_t* c = &p.pixels[pictures::kDibHeaderSize + index * 4];
      put(image, x, y, c[2], c[1], c[0]);
    }
  return image;
}

// 1-bit rows top-down padded to 16 bits; a set bit is white, as a monochrome
// bitmap is drawn.
RgbaImage from_one_bit_rows(const Picture& p) {
  RgbaImage image = blank(p.width, p.height);
  const size_t stride = (size_t(p.width) + 15) / 16 * 2;
  for (size_t y = 0; y < size_t(p.height); ++y)
    for (size_t x = 0; x < size_t(p.width); ++x) {
      const uint8_t v = (p.pixels[y * stride + x / 8] >> (7 - x % 8) & 1) ? 0xFF : 0;
      put(image, x, y, v, v, v);
    }
  return image;
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
  RgbaImage image = blank(width, height);
  for (size_t y = 0; y < size_t(height); ++y) {
    const size_t stored = size_t(height) - 1 - y;
    auto row = colour->subspan(stored * colour_stride, colour_stride);
    auto mask_row = mask->subspan(stored * mask_stride, mask_stride);
    for (size_t x = 0; x < size_t(width); ++x) {
      const uint8_t* c = bits > 8 ? &row[x * (bits / 8)] : &(*palette)[std::min<size_t>(bits_at(row, x, bits), palette_count - 1) * 4];
      const uint8_t alpha = own_alpha ? c[3] : bits_at(mask_row, x, 1) ? 0 : 0xFF;
      put(image, x, y, c[2], c[1], c[0], alpha);
    }
  }
  return image;
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
