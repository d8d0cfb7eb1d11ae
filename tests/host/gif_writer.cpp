#include "gif_writer.h"

#include <algorithm>

namespace gif_writer {
namespace {

using Bytes = std::vector<uint8_t>;

void u16(Bytes& out, uint16_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}

// The size field of a table of `count` entries: count = 2^(field + 1).
uint8_t table_size_field(size_t count) {
  uint8_t field = 0;
  while ((size_t(2) << field) < count) ++field;
  return field;
}

void colour_table(Bytes& out, const std::vector<Colour>& palette) {
  const size_t count = size_t(2) << table_size_field(palette.size());
  for (size_t i = 0; i < count; ++i) {
    const Colour c = i < palette.size() ? palette[i] : Colour{0, 0, 0};
    out.insert(out.end(), c.begin(), c.end());
  }
}

class BitWriter {
 public:
  void put(unsigned code, unsigned width) {
    for (unsigned i = 0; i < width; ++i, ++bits_) {
      if (bits_ % 8 == 0) bytes_.push_back(0);
      bytes_.back() |= uint8_t((code >> i & 1) << (bits_ % 8));
    }
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  size_t bits_ = 0;
};

Bytes interlace(const std::vector<uint8_t>& indices, size_t width, size_t height) {
  Bytes out;
  for (auto [start, step] : {std::pair<size_t, size_t>{0, 8}, {4, 8}, {2, 4}, {1, 2}})
    for (size_t y = start; y < height; y += step)
      out.insert(out.end(), indices.begin() + y * width, indices.begin() + (y + 1) * width);
  return out;
}

void frame_block(Bytes& out, const Frame& f) {
  const uint8_t packed = uint8_t(f.disposal << 2 | (f.transparent ? 1 : 0));
  out.insert(out.end(), {0x21, 0xF9, 4, packed});
  u16(out, f.delay_cs);
  out.insert(out.end(), {f.transparent.value_or(0), 0});
  out.push_back(0x2C);
  for (uint16_t v : {f.left, f.top, f.width, f.height}) u16(out, v);
  uint8_t flags = f.interlaced ? 0x40 : 0;
  if (!f.local_palette.empty()) flags = uint8_t(flags | 0x80 | table_size_field(f.local_palette.size()));
  out.push_back(flags);
  if (!f.local_palette.empty()) colour_table(out, f.local_palette);
  const Bytes rows = f.interlaced ? interlace(f.indices, f.width, f.height) : f.indices;
  const Bytes data = image_data(rows, 8);
  out.insert(out.end(), data.begin(), data.end());
}

}  // namespace

Frame frame(uint16_t left, uint16_t top, uint16_t width, uint16_t height, std::vector<uint8_t> indices) {
  Frame f;
  f.left = left;
  f.top = top;
  f.width = width;
  f.height = height;
  f.indices = std::move(indices);
  return f;
}

Frame Frame::with_palette(std::vector<Colour> palette) const {
  Frame f = *this;
  f.local_palette = std::move(palette);
  return f;
}

Frame Frame::with_delay(uint16_t delay) const {
  Frame f = *this;
  f.delay_cs = delay;
  return f;
}

Frame Frame::with_disposal(uint8_t method) const {
  Frame f = *this;
  f.disposal = method;
  return f;
}

Frame Frame::with_transparent(uint8_t index) const {
  Frame f = *this;
  f.transparent = index;
  return f;
}

Frame Frame::as_interlaced() const {
  Frame f = *this;
  f.interlaced = true;
  return f;
}

Bytes image_data(const std::vector<uint8_t>& indices, unsigned min_code_size) {
  const unsigned clear = 1u << min_code_size, width = min_code_size + 1;
  // The decoder adds a table entry for every code after the first and widens its
  // codes once the table reaches 2^width; a clear code before that keeps every
  // code `width` bits wide.
  const size_t run = (size_t(1) << width) - clear - 2;
  BitWriter bits;
  for (size_t i = 0; i < indices.size(); ++i) {
    if (i % run == 0) bits.put(clear, width);
    bits.put(indices[i], width);
  }
  bits.put(clear + 1, width);
  Bytes out{uint8_t(min_code_size)};
  const Bytes& data = bits.bytes();
  for (size_t at = 0; at < data.size(); at += 255) {
    const size_t size = std::min<size_t>(255, data.size() - at);
    out.push_back(uint8_t(size));
    out.insert(out.end(), data.begin() + at, data.begin() + at + size);
  }
  out.push_back(0);
  return out;
}

Bytes write(const Gif& gif) {
  Bytes out{'G', 'I', 'F', '8', '9', 'a'};
  u16(out, gif.width);
  u16(out, gif.height);
  const bool global = !gif.global_palette.empty();
  out.push_back(global ? uint8_t(0x80 | table_size_field(gif.global_palette.size())) : 0);
  out.insert(out.end(), {gif.background, 0});
  if (global) colour_table(out, gif.global_palette);
  if (gif.loop_count) {
    out.insert(out.end(), {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1});
    u16(out, *gif.loop_count);
    out.push_back(0);
  }
  for (const Frame& f : gif.frames) frame_block(out, f);
  out.push_back(0x3B);
  return out;
}

}  // namespace gif_writer
