// A decoded picture, in the pixel layouts the drawing side hands to GDI unchanged.
#pragma once

#include <cstdint>
#include <vector>

namespace pictures {

enum class PictureKind : int32_t {
  none = 0,
  jpeg = 1,
  bmp = 2,
  icon = 3,
  cursor = 4,
  gif = 5,
  pcx8 = 6,
  pcx1 = 7,
  png = 8,
};

// One step of an animated GIF: the whole canvas after the frame is drawn, as a DIB
// block like Picture::pixels, and how long it stays (hundredths of a second).
struct AnimationFrame {
  std::vector<uint8_t> dib;
  uint16_t delay_cs = 0;
};

// pixels by kind:
//   jpeg, bmp:  B,G,R bytes, rows bottom-up, no row padding (width * height * 3);
//   png:        B,G,R,A bytes, rows top-down, alpha not yet blended (the drawing side
//               blends against the colour it is drawn with);
//   gif, pcx8:  an 8-bit DIB block: BITMAPINFOHEADER, 256 RGBQUADs, pixel bits at
//               kDibPixelOffset, rows bottom-up and padded to 4 bytes;
//   pcx1:       1-bit rows top-down, each padded to 2 bytes, as CreateBitmap takes them;
//   icon, cursor: the selected directory entry's image bytes, ready for
//               CreateIconFromResourceEx; width and height are the icon's own.
struct Picture {
  PictureKind kind = PictureKind::none;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;
  std::vector<AnimationFrame> animation;  // GIF with more than one frame only
};

constexpr size_t kDibHeaderSize = 40;
constexpr size_t kDibPixelOffset = kDibHeaderSize + 256 * 4;
static_assert(kDibPixelOffset == 1064);

}  // namespace pictures
