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

// One step of a GIF: the whole screen after the frame is drawn, as B,G,R,A rows
// top-down whose alpha is 255 where a frame left a colour and 0 where the viewer's
// own background shows through; and how long it stays (hundredths of a second, as
// stored).
struct AnimationFrame {
  std::vector<uint8_t> bgra;
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
  // GIF only: every frame composed in true colour; two or more play as an animation.
  std::vector<AnimationFrame> animation;
  uint32_t plays = 0;  // times the animation runs through; 0 for ever
};

// How long a frame stays on screen: delays of 0 and 1 hundredth play as a tenth of
// a second, as browsers play them.
constexpr uint32_t frame_delay_ms(uint16_t delay_cs) { return uint32_t(delay_cs < 2 ? 10 : delay_cs) * 10; }

constexpr size_t kDibHeaderSize = 40;
constexpr size_t kDibPixelOffset = kDibHeaderSize + 256 * 4;
static_assert(kDibPixelOffset == 1064);

}  // namespace pictures
