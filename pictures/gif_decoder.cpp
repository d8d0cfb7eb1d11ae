// GIF: every frame composed onto the logical screen as 8-bit DIB blocks; the first
// is the picture itself, the rest play back in the picture box.
//
//   0  "GIF87a" or "GIF89a", u16 width, u16 height, u8 flags, u8 background, u8 aspect
//  13  global colour table when flags & 0x80: 2^((flags & 7) + 1) R,G,B entries
//      then blocks: 0x21 label sub-blocks (0xF9: graphic control: u8 4, u8 flags,
//      u16 delay, u8 transparent index, u8 0); 0x2C image: u16 left, top, width,
//      height, u8 flags, local table, u8 LZW code size, sub-blocks; 0x3B end
#include <algorithm>

#include "frame/byte_reader.h"
#include "pictures/decode.h"
#include "pictures/dib_block.h"
#include "pictures/gif_lzw.h"
#include "pictures/picture_limits.h"

namespace pictures {
namespace {

using frame::ByteReader;

// Composed frames together may hold this many bytes; later frames are left out.
constexpr uint64_t kMaxAnimationBytes = kMaxPixels * 4;

struct Control {
  uint16_t delay_cs = 0;
  uint8_t disposal = 0;
  std::optional<uint8_t> transparent;
};

struct Frame {
  uint16_t left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  Palette256 palette{};
  std::vector<uint8_t> indices;
};

std::optional<Palette256> read_colour_table(ByteReader& r, uint8_t flags) {
  Palette256 palette{};
  const size_t count = size_t(2) << (flags & 7);
  for (size_t i = 0; i < count; ++i) {
    auto rgb = r.bytes(3);
    if (!rgb) return std::nullopt;
    palette[i] = {(*rgb)[0], (*rgb)[1], (*rgb)[2]};
  }
  return palette;
}

std::optional<std::vector<uint8_t>> read_sub_blocks(ByteReader& r) {
  std::vector<uint8_t> joined;
  for (;;) {
    uint8_t size;
    if (!frame::store(r.u8(), size)) return std::nullopt;
    if (size == 0) return joined;
    auto block = r.bytes(size);
    if (!block) return std::nullopt;
    joined.insert(joined.end(), block->begin(), block->end());
  }
}

std::optional<Control> read_control(ByteReader& r) {
  auto body = read_sub_blocks(r);
  if (!body || body->size() < 4) return std::nullopt;
  const auto& b = *body;
  Control c{uint16_t(b[1] | b[2] << 8), uint8_t(b[0] >> 2 & 7), std::nullopt};
  if (b[0] & 1) c.transparent = b[3];
  return c;
}

// Interlaced rows arrive as every 8th from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
std::vector<uint8_t> deinterlace(const std::vector<uint8_t>& rows, size_t width, size_t height) {
  std::vector<uint8_t> out(rows.size());
  size_t source = 0;
  for (auto [start, step] : {std::pair<size_t, size_t>{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
    for (size_t y = start; y < height; y += step, ++source)
      std::copy_n(rows.begin() + source * width, width, out.begin() + y * width);
  }
  return out;
}

std::optional<Frame> read_frame(ByteReader& r, const Palette256& global) {
  Frame f;
  uint8_t flags, code_size;
  const bool read = frame::store(r.u16(), f.left) && frame::store(r.u16(), f.top) &&
                    frame::store(r.u16(), f.width) && frame::store(r.u16(), f.height) &&
                    frame::store(r.u8(), flags);
  if (!read) return std::nullopt;
  f.palette = global;
  if (flags & 0x80) {
    auto local = read_colour_table(r, flags);
    if (!local) return std::nullopt;
    f.palette = *local;
  }
  if (!frame::store(r.u8(), code_size)) return std::nullopt;
  auto data = read_sub_blocks(r);
  if (!data) return std::nullopt;
  auto indices = lzw_decode(*data, code_size, size_t(f.width) * f.height);
  if (!indices) return std::nullopt;
  f.indices = (flags & 0x40) ? deinterlace(*indices, f.width, f.height) : std::move(*indices);
  return f;
}

class Canvas {
 public:
  Canvas(int32_t width, int32_t height, uint8_t background)
      : width_(width), height_(height), background_(background), indices_(size_t(width) * height, background) {}

  void draw(const Frame& f, const Control& c) {
    if (c.disposal == 3) saved_ = indices_;
    for_each_pixel(f, [&](size_t at, size_t source) {
      if (f.indices[source] != c.transparent) indices_[at] = f.indices[source];
    });
  }

  // What the frame leaves behind for the next one.
  void dispose(const Frame& f, const Control& c) {
    if (c.disposal == 2) for_each_pixel(f, [&](size_t at, size_t) { indices_[at] = background_; });
    if (c.disposal == 3) indices_ = saved_;
  }

  std::optional<std::vector<uint8_t>> block(const Palette256& palette) const {
    return make_dib_block(indices_, width_, height_, palette);
  }

 private:
  template <typename Visit>
  void for_each_pixel(const Frame& f, Visit visit) {
    const int32_t right = std::min<int32_t>(width_, f.left + f.width);
    const int32_t bottom = std::min<int32_t>(height_, f.top + f.height);
    for (int32_t y = f.top; y < bottom; ++y)
      for (int32_t x = f.left; x < right; ++x)
        visit(size_t(y) * width_ + x, size_t(y - f.top) * f.width + (x - f.left));
  }

  int32_t width_, height_;
  uint8_t background_;
  std::vector<uint8_t> indices_, saved_;
};

class GifReader {
 public:
  explicit GifReader(std::span<const uint8_t> bytes) : r_(bytes) {}

  std::optional<Picture> read() {
    uint16_t width, height;
    uint8_t flags, background;
    const bool read = r_.skip(6) && frame::store(r_.u16(), width) && frame::store(r_.u16(), height) &&
                      frame::store(r_.u8(), flags) && frame::store(r_.u8(), background) && r_.skip(1);
    if (!read || !dimensions_allowed(width, height)) return std::nullopt;
    if (flags & 0x80) {
      auto table = read_colour_table(r_, flags);
      if (!table) return std::nullopt;
      global_ = *table;
    }
    Canvas canvas(width, height, background);
    read_frames(canvas);
    if (frames_.empty()) return std::nullopt;
    Picture picture{PictureKind::gif, width, height, frames_.front().dib, {}};
    if (frames_.size() > 1) picture.animation = std::move(frames_);
    return picture;
  }

 private:
  // Stops at the trailer, at the byte budget or at the first damaged block; the
  // frames before stay.
  void read_frames(Canvas& canvas) {
    Control control;
    uint64_t budget = kMaxAnimationBytes;
    for (;;) {
      uint8_t introducer;
      if (!frame::store(r_.u8(), introducer) || introducer == 0x3B) return;
      if (introducer == 0x21) {
        if (!read_extension(control)) return;
        continue;
      }
      if (introducer != 0x2C) return;
      auto f = read_frame(r_, global_);
      if (!f) return;
      canvas.draw(*f, control);
      auto dib = canvas.block(f->palette);
      if (!dib || dib->size() > budget) return;
      budget -= dib->size();
      frames_.push_back({std::move(*dib), control.delay_cs});
      canvas.dispose(*f, control);
      control = {};
    }
  }

  bool read_extension(Control& control) {
    uint8_t label;
    if (!frame::store(r_.u8(), label)) return false;
    if (label != 0xF9) return read_sub_blocks(r_).has_value();
    auto c = read_control(r_);
    if (!c) return false;
    control = *c;
    return true;
  }

  ByteReader r_;
  Palette256 global_{};
  std::vector<AnimationFrame> frames_;
};

}  // namespace

std::optional<Picture> decode_gif(std::span<const uint8_t> bytes) { return GifReader(bytes).read(); }

}  // namespace pictures
