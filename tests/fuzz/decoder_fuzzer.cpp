// Feeds arbitrary bytes to one decoder (FUZZED_DECODER) and checks that whatever it
// returns holds together: the pixel bytes match the kind's layout for its size, and
// every composed GIF frame (all of them, not only the first) covers the whole
// screen in pixels that are either opaque or show the background.
#include <cstdlib>

#include "pictures/decode.h"

namespace {

size_t expected_size(const pictures::Picture& p) {
  const size_t w = size_t(p.width), h = size_t(p.height);
  switch (p.kind) {
    case pictures::PictureKind::jpeg:
    case pictures::PictureKind::bmp:
      return w * h * 3;
    case pictures::PictureKind::png:
      return w * h * 4;
    case pictures::PictureKind::gif:
    case pictures::PictureKind::pcx8:
      return pictures::kDibPixelOffset + (w + 3) / 4 * 4 * h;
    case pictures::PictureKind::pcx1:
      return (w + 15) / 16 * 2 * h;
    default:
      return p.pixels.size();  // icon images keep their stored size
  }
}

bool frames_hold_together(const pictures::Picture& p) {
  if (p.kind != pictures::PictureKind::gif) return p.animation.empty();
  if (p.animation.empty()) return false;
  for (const pictures::AnimationFrame& frame : p.animation) {
    if (frame.bgra.size() != size_t(p.width) * size_t(p.height) * 4) return false;
    for (size_t alpha = 3; alpha < frame.bgra.size(); alpha += 4)
      if (frame.bgra[alpha] != 0 && frame.bgra[alpha] != 0xFF) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto picture = pictures::FUZZED_DECODER({data, size});
  if (picture && (picture->width <= 0 || picture->height <= 0 || picture->pixels.size() != expected_size(*picture) ||
                  !frames_hold_together(*picture)))
    std::abort();
  return 0;
}
