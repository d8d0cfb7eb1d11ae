// PCX, one plane of 8 or 1 bits per pixel, run-length encoded.
//
//   0  u8 0x0A, u8 version, u8 encoding (1), u8 bits per pixel
//   4  u16 xmin, ymin, xmax, ymax; u16 dpi x, y; 48-byte 16-colour palette
//  64  u8 reserved, u8 planes, u16 bytes per plane line, u16 palette info, ...  (128 bytes)
// 128  rows, each run either a byte below 0xC0 or 0xC0 | count followed by the byte
// end  8 bits: 0x0C and 256 R,G,B entries in the file's last 769 bytes
#include <algorithm>

#include "frame/byte_reader.h"
#include "pictures/decode.h"
#include "pictures/detect.h"
#include "pictures/dib_block.h"
#include "pictures/picture_limits.h"

namespace pictures {
namespace {

using frame::ByteReader;

constexpr size_t kHeaderSize = 128;
constexpr size_t kPaletteSize = 769;

struct PcxHeader {
  int64_t width = 0, height = 0;
  uint8_t planes = 0;
  uint16_t line_bytes = 0;
};

std::optional<PcxHeader> read_header(ByteReader& r) {
  uint16_t xmin, ymin, xmax, ymax;
  PcxHeader h;
  const bool read = r.skip(4) && frame::store(r.u16(), xmin) && frame::store(r.u16(), ymin) &&
                    frame::store(r.u16(), xmax) && frame::store(r.u16(), ymax) && r.skip(53) &&
                    frame::store(r.u8(), h.planes) && frame::store(r.u16(), h.line_bytes) && r.skip(60);
  if (!read) return std::nullopt;
  h.width = int64_t(xmax) - xmin + 1;
  h.height = int64_t(ymax) - ymin + 1;
  return h;
}

// Runs may cross row ends, so the whole image is one stream of plane lines.
std::optional<std::vector<uint8_t>> unpack_runs(ByteReader& r, size_t count) {
  // A run of at most 63 bytes per two input bytes bounds what the data can hold.
  if (count / 63 > r.remaining()) return std::nullopt;
  std::vector<uint8_t> out;
  out.reserve(count);
  while (out.size() < count) {
    uint8_t value;
    if (!frame::store(r.u8(), value)) return std::nullopt;
    size_t run = 1;
    if (value >= 0xC0) {
      run = value & 0x3F;
      if (!frame::store(r.u8(), value)) return std::nullopt;
    }
    out.insert(out.end(), std::min(run, count - out.size()), value);
  }
  return out;
}

std::optional<Palette256> read_palette(std::span<const uint8_t> bytes) {
  if (bytes.size() < kHeaderSize + kPaletteSize) return std::nullopt;
  auto tail = bytes.last(kPaletteSize);
  if (tail[0] != 0x0C) return std::nullopt;
  Palette256 palette;
  for (size_t i = 0; i < palette.size(); ++i) palette[i] = {tail[1 + i * 3], tail[2 + i * 3], tail[3 + i * 3]};
  return palette;
}

std::optional<std::vector<uint8_t>> eight_bit_block(std::span<const uint8_t> lines, const PcxHeader& h,
                                                    std::span<const uint8_t> bytes) {
  auto palette = read_palette(bytes);
  if (!palette) return std::nullopt;
  const size_t width = size_t(h.width), height = size_t(h.height);
  std::vector<uint8_t> indices(width * height);
  for (size_t y = 0; y < height; ++y) std::copy_n(&lines[y * h.line_bytes], width, &indices[y * width]);
  return make_dib_block(indices, int32_t(h.width), int32_t(h.height), *palette);
}

// CreateBitmap takes monochrome rows padded to 16 bits, top-down.
std::vector<uint8_t> one_bit_rows(std::span<const uint8_t> lines, const PcxHeader& h) {
  const size_t stride = size_t(h.width + 15) / 16 * 2, used = size_t(h.width + 7) / 8;
  std::vector<uint8_t> rows(stride * size_t(h.height));
  for (size_t y = 0; y < size_t(h.height); ++y) std::copy_n(&lines[y * h.line_bytes], used, &rows[y * stride]);
  return rows;
}

}  // namespace

std::optional<Picture> decode_pcx(std::span<const uint8_t> bytes) {
  const PictureKind kind = detect_picture(bytes);
  if (kind != PictureKind::pcx8 && kind != PictureKind::pcx1) return std::nullopt;
  ByteReader r(bytes);
  auto h = read_header(r);
  if (!h || h->planes != 1 || !dimensions_allowed(h->width, h->height)) return std::nullopt;
  const int64_t needed = kind == PictureKind::pcx8 ? h->width : (h->width + 7) / 8;
  if (h->line_bytes < needed) return std::nullopt;
  auto count = checked_size(h->line_bytes, uint64_t(h->height));
  if (!count) return std::nullopt;
  auto lines = unpack_runs(r, *count);
  if (!lines) return std::nullopt;
  Picture picture{kind, int32_t(h->width), int32_t(h->height), {}, {}};
  if (kind == PictureKind::pcx1) {
    picture.pixels = one_bit_rows(*lines, *h);
    return picture;
  }
  auto block = eight_bit_block(*lines, *h, bytes);
  if (!block) return std::nullopt;
  picture.pixels = std::move(*block);
  return picture;
}

}  // namespace pictures
