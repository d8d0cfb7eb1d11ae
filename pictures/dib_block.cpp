#include "pictures/dib_block.h"

#include <algorithm>

#include "frame/byte_reader.h"
#include "pictures/picture.h"
#include "pictures/picture_limits.h"

namespace pictures {
namespace {

void write_header(frame::ByteWriter& w, int32_t width, int32_t height, uint32_t image_size) {
  w.u32(kDibHeaderSize);
  w.i32(width);
  w.i32(height);       // positive: rows bottom-up
  w.u32(1 | 8 << 16);  // one plane, 8 bits per pixel
  w.u32(0);            // BI_RGB
  w.u32(image_size);
  w.u32(0);
  w.u32(0);
  w.u32(256);
  w.u32(0);
}

}  // namespace

std::optional<std::vector<uint8_t>> make_dib_block(std::span<const uint8_t> indices, int32_t width, int32_t height,
                                                   const Palette256& palette) {
  const size_t stride = (size_t(width) + 3) / 4 * 4;
  auto image_size = checked_size(stride, uint32_t(height));
  if (!image_size || *image_size > SIZE_MAX - kDibPixelOffset) return std::nullopt;
  frame::ByteWriter w;
  write_header(w, width, height, uint32_t(*image_size));
  for (const PaletteEntry& c : palette) w.bytes(std::array<uint8_t, 4>{c.b, c.g, c.r, 0});
  std::vector<uint8_t> block = w.take();
  block.resize(kDibPixelOffset + *image_size);
  for (int32_t y = 0; y < height; ++y) {
    auto source = indices.subspan(size_t(y) * width, width);
    std::copy(source.begin(), source.end(), block.begin() + kDibPixelOffset + size_t(height - 1 - y) * stride);
  }
  return block;
}

}  // namespace pictures
