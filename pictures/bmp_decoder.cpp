// BMP, uncompressed 1, 4, 8, 24 and 32 bits per pixel.
//
//   0  "BM", u32 file size, u32 reserved, u32 pixel-data offset      (14 bytes)
//  14  info header: u32 size, i32 width, i32 height (negative: rows top-down),
//      u16 planes, u16 bits, u32 compression, u32 image size, i32 x/y resolution,
//      u32 colours used, u32 colours important               (40 bytes or more)
//  14 + size  palette for 1, 4 and 8 bits: B,G,R,0 per entry
//  off pixel rows in file order, each padded to 4 bytes, bottom-up unless the
//      height is negative
#include <algorithm>
#include <array>
#include <cstdlib>

#include "frame/byte_reader.h"
#include "pictures/decode.h"
#include "pictures/picture_limits.h"
#include "pictures/rgb_rows.h"

namespace pictures {
namespace {

using frame::ByteReader;

constexpr uint32_t kInfoHeaderSize = 40;

struct BmpHeader {
  uint32_t pixel_offset = 0;
  uint32_t info_size = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bits = 0;
  uint32_t compression = 0;
  uint32_t colours_used = 0;
  bool top_down = false;
};

std::optional<BmpHeader> read_header(ByteReader& r) {
  BmpHeader h;
  uint32_t ignored32;
  uint16_t ignored16;
  const bool read =
      r.bytes(2) && frame::store(r.u32(), ignored32) && frame::store(r.u32(), ignored32) &&
      frame::store(r.u32(), h.pixel_offset) && frame::store(r.u32(), h.info_size) && frame::store(r.i32(), h.width) &&
      frame::store(r.i32(), h.height) && frame::store(r.u16(), ignored16) && frame::store(r.u16(), h.bits) &&
      frame::store(r.u32(), h.compression) && r.skip(12) && frame::store(r.u32(), h.colours_used) && r.skip(4);
  if (!read || h.info_size < kInfoHeaderSize) return std::nullopt;
  return h;
}

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

// Sized to what an 8-bit index can reach; entries the file does not store stay
// black, so no index ever leaves the table.
using Palette = std::array<Rgb, 256>;

// A file may list more colours than its pixels can name; those are read past.
std::optional<Palette> read_palette(ByteReader& r, const BmpHeader& h) {
  const uint64_t count = h.colours_used == 0 ? uint64_t(1) << h.bits : h.colours_used;
  const uint64_t used = std::min<uint64_t>(count, uint64_t(1) << h.bits);
  Palette palette{};
  for (uint64_t i = 0; i < used; ++i) {
    auto entry = r.bytes(4);
    if (!entry) return std::nullopt;
    palette[i] = {(*entry)[2], (*entry)[1], (*entry)[0]};
  }
  const uint64_t extra = (count - used) * 4;
  if (extra > r.remaining() || !r.skip(size_t(extra))) return std::nullopt;
  return palette;
}

void unpack_palette_row(std::span<const uint8_t> row, const BmpHeader& h, const Palette& palette, uint8_t* out) {
  const unsigned per_byte = 8 / h.bits, mask = (1u << h.bits) - 1;
  for (int32_t x = 0; x < h.width; ++x) {
    const unsigned shift = 8 - h.bits * (x % per_byte + 1);
    const Rgb c = palette[(row[x / per_byte] >> shift) & mask];
    out[x * 3] = c.r;
    out[x * 3 + 1] = c.g;
    out[x * 3 + 2] = c.b;
  }
}

void copy_direct_row(std::span<const uint8_t> row, const BmpHeader& h, uint8_t* out) {
  const size_t step = h.bits / 8;
  for (int32_t x = 0; x < h.width; ++x) {
    out[x * 3] = row[x * step + 2];
    out[x * 3 + 1] = row[x * step + 1];
    out[x * 3 + 2] = row[x * step];
  }
}

bool supported(const BmpHeader& h) {
  const bool known_bits = h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 24 || h.bits == 32;
  return h.compression == 0 && known_bits;
}

// Rows are unpacked top-down (a bottom-up file's first row is the last), and only
// once the file is seen to hold them all.
std::optional<std::vector<uint8_t>> read_rows(ByteReader& r, const BmpHeader& h, const Palette& palette) {
  auto stride = checked_size((uint64_t(h.width) * h.bits + 31) / 32, 4);
  auto count = checked_size(uint64_t(h.width) * h.height, 3);
  if (!stride || !count || uint64_t(*stride) * h.height > r.remaining()) return std::nullopt;
  std::vector<uint8_t> pixels(*count);
  const size_t out_row = size_t(h.width) * 3;
  for (int32_t i = 0; i < h.height; ++i) {
    const int32_t y = h.top_down ? i : h.height - 1 - i;
    auto row = r.bytes(*stride);
    if (!row) return std::nullopt;
    if (h.bits <= 8) {
      unpack_palette_row(*row, h, palette, pixels.data() + y * out_row);
    } else {
      copy_direct_row(*row, h, pixels.data() + y * out_row);
    }
  }
  return pixels;
}

}  // namespace

std::optional<Picture> decode_bmp(std::span<const uint8_t> bytes) {
  ByteReader r(bytes);
  auto h = read_header(r);
  if (!h || !supported(*h)) return std::nullopt;
  const int64_t width = std::llabs(int64_t(h->width)), height = std::llabs(int64_t(h->height));
  if (!dimensions_allowed(width, height)) return std::nullopt;
  h->top_down = h->height < 0;
  h->width = int32_t(width);
  h->height = int32_t(height);
  if (!r.skip(h->info_size - kInfoHeaderSize)) return std::nullopt;
  Palette palette{};
  if (h->bits <= 8) {
    auto read = read_palette(r, *h);
    if (!read) return std::nullopt;
    palette = *read;
  }
  if (r.offset() > h->pixel_offset || !r.skip(h->pixel_offset - r.offset())) return std::nullopt;
  auto pixels = read_rows(r, *h, palette);
  if (!pixels) return std::nullopt;
  rgb_top_down_to_bgr_bottom_up(*pixels, h->width, h->height);
  return Picture{PictureKind::bmp, h->width, h->height, std::move(*pixels), {}};
}

}  // namespace pictures
