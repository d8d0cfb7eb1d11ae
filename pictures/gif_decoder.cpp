// GIF: the first frame as an 8-bit DIB block (the picture itself), and every frame
// composed in true colour for playback and for anyone who wants to see the frames.
//
//   0  "GIF87a" or "GIF89a", u16 width, u16 height, u8 flags, u8 background, u8 aspect
//  13  global colour table when flags & 0x80: 2^((flags & 7) + 1) R,G,B entries
//      then blocks: 0x21 label sub-blocks (0xF9: graphic control: u8 4, u8 flags,
//      u16 delay, u8 transparent index, u8 0; 0xFF: application, "NETSCAPE2.0" then
//      u8 1, u16 loop count); 0x2C image: u16 left, top, width, height, u8 flags,
//      local table, u8 LZW code size, sub-blocks; 0x3B end
#include <algorithm>
#include <cstring>

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

// The loop count of the application block browsers honour, if this is one.
std::optional<uint16_t> loop_count(std::span<const uint8_t> application) {
  constexpr char kNetscape[] = "NETSCAPE2.0";
  if (application.size() < 14 || std::memcmp(application.data(), kNetscape, 11) != 0 || application[11] != 1)
    return std::nullopt;
  return uint16_t(application[12] | application[13] << 8);
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

// Rows below the logical screen are never shown, so a plain frame is decoded only as
// far down as the screen reaches; an interlaced one sends its rows out of order and
// is decoded whole. Either way no more than the pixel cap.
std::optional<size_t> indices_wanted(const Frame& f, uint16_t screen_height) {
  if (uint64_t(f.width) * f.height > kMaxPixels) return std::nullopt;
  const size_t rows = f.interlaced ? f.height : std::min<size_t>(f.height, std::max(0, screen_height - f.top));
  return size_t(f.width) * rows;
}

std::optional<Frame> read_frame(ByteReader& r, const Palette256& global, uint16_t screen_height) {
  Frame f;
  uint8_t flags, code_size;
  const bool read = frame::store(r.u16(), f.left) && frame::store(r.u16(), f.top) && frame::store(r.u16(), f.width) &&
                    frame::store(r.u16(), f.height) && frame::store(r.u8(), flags);
  if (!read) return std::nullopt;
  f.interlaced = flags & 0x40;
  const auto wanted = indices_wanted(f, screen_height);
  if (!wanted) return std::nullopt;
  f.palette = global;
  if (flags & 0x80) {
    auto local = read_colour_table(r, flags);
    if (!local) return std::nullopt;
    f.palette = *local;
  }
  if (!frame::store(r.u8(), code_size)) return std::nullopt;
  auto data = read_sub_blocks(r);
  if (!data) return std::nullopt;
  auto indices = lzw_decode(*data, code_size, *wanted);
  if (!indices) return std::nullopt;
  f.indices = f.interlaced ? deinterlace(*indices, f.width, f.height) : std::move(*indices);
  return f;
}

// Visits the frame's pixels that lie on a screen of width x height: (index on the
// screen, index in the frame). What lies outside is cut off.
template <typename Visit>
void for_each_visible(const Frame& f, int32_t width, int32_t height, Visit visit) {
  const int32_t right = std::min<int32_t>(width, f.left + f.width);
  const int32_t bottom = std::min<int32_t>(height, f.top + f.height);
  for (int32_t y = f.top; y < bottom; ++y)
    for (int32_t x = f.left; x < right; ++x) visit(size_t(y) * width + x, size_t(y - f.top) * f.width + (x - f.left));
}

// The picture itself: the first frame over the screen filled with the background
// index, all in that frame's colours.
std::optional<std::vector<uint8_t>> still_block(const Frame& f, const Control& c, uint16_t width, uint16_t height,
                                                uint8_t background) {
  std::vector<uint8_t> indices(size_t(width) * height, background);
  for_each_visible(f, width, height, [&](size_t at, size_t source) {
    if (f.indices[source] != c.transparent) indices[at] = f.indices[source];
  });
  return make_dib_block(indices, width, height, f.palette);
}

// The screen in B,G,R,A, starting fully transparent: each frame's pixels take their
// colour from the frame's own table, and whatever no frame covers, or a disposal
// cleared, stays transparent for the viewer to show its own background through.
class Canvas {
 public:
  Canvas(uint16_t width, uint16_t height) : width_(width), height_(height), bgra_(size_t(width) * height * 4) {}

  void draw(const Frame& f, const Control& c) {
    if (c.disposal == 3) saved_ = bgra_;
    for_each_visible(f, width_, height_, [&](size_t at, size_t source) {
      const uint8_t index = f.indices[source];
      if (index == c.transparent) return;
      const PaletteEntry colour = f.palette[index];
      std::array<uint8_t, 4> pixel{colour.b, colour.g, colour.r, 0xFF};
      std::copy(pixel.begin(), pixel.end(), bgra_.begin() + at * 4);
    });
  }

  // What the frame leaves behind for the next one: 2 clears its rectangle, 3 puts
  // back what was there before it; 0 and 1 leave it in place.
  void dispose(const Frame& f, const Control& c) {
    if (c.disposal == 2) {
      for_each_visible(f, width_, height_, [&](size_t at, size_t) { std::fill_n(bgra_.begin() + at * 4, 4, 0); });
    }
    if (c.disposal == 3) bgra_ = std::move(saved_);
  }

  const std::vector<uint8_t>& bgra() const { return bgra_; }

 private:
  int32_t width_, height_;
  std::vector<uint8_t> bgra_, saved_;
};

class GifReader {
 public:
  explicit GifReader(std::span<const uint8_t> bytes) : r_(bytes) {}

  std::optional<Picture> read() {
    uint8_t flags;
    const bool read = r_.skip(6) && frame::store(r_.u16(), width_) && frame::store(r_.u16(), height_) &&
                      frame::store(r_.u8(), flags) && frame::store(r_.u8(), background_) && r_.skip(1);
    if (!read || !dimensions_allowed(width_, height_)) return std::nullopt;
    if (flags & 0x80) {
      auto table = read_colour_table(r_, flags);
      if (!table) return std::nullopt;
      global_ = *table;
    }
    read_frames();
    if (frames_.empty() || !still_) return std::nullopt;
    Picture picture{PictureKind::gif, width_, height_, std::move(*still_), std::move(frames_)};
    picture.plays = plays_;
    return picture;
  }

 private:
  // Stops at the trailer, at the byte budget or at the first damaged block; the
  // frames before stay.
  void read_frames() {
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
      auto f = read_frame(r_, global_, height_);
      if (!f || !add_frame(*f, control, budget)) return;
      control = {};
    }
  }

  // The screen is made only once a frame has decoded, so a header alone never
  // buys the memory its size names.
  bool add_frame(const Frame& f, const Control& control, uint64_t& budget) {
    if (!canvas_) {
      still_ = still_block(f, control, width_, height_, background_);
      if (!still_) return false;
      canvas_.emplace(width_, height_);
    }
    canvas_->draw(f, control);
    if (canvas_->bgra().size() > budget) return false;
    budget -= canvas_->bgra().size();
    frames_.push_back({canvas_->bgra(), control.delay_cs});
    canvas_->dispose(f, control);
    return true;
  }

  bool read_extension(Control& control) {
    uint8_t label;
    if (!frame::store(r_.u8(), label)) return false;
    if (label != 0xF9) {
      auto body = read_sub_blocks(r_);
      if (!body) return false;
      if (label == 0xFF) take_loop_count(*body);
      return true;
    }
    auto c = read_control(r_);
    if (!c) return false;
    control = *c;
    return true;
  }

  // A loop count of n shows the animation once and repeats it n times, as browsers
  // do; 0, like no count at all, loops for ever.
  void take_loop_count(std::span<const uint8_t> application) {
    if (auto count = loop_count(application)) plays_ = *count == 0 ? 0 : uint32_t(*count) + 1;
  }

  ByteReader r_;
  uint16_t width_ = 0, height_ = 0;
  uint8_t background_ = 0;
  Palette256 global_{};
  std::optional<std::vector<uint8_t>> still_;
  std::optional<Canvas> canvas_;
  std::vector<AnimationFrame> frames_;
  uint32_t plays_ = 0;
};

}  // namespace

std::optional<Picture> decode_gif(std::span<const uint8_t> bytes) { return GifReader(bytes).read(); }

}  // namespace pictures
