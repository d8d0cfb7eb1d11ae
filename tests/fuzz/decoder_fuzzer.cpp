// Feeds arbitrary bytes to one decoder (FUZZED_DECODER) and checks that whatever it
// returns holds together: the pixel bytes match the kind's layout for its size.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto picture = pictures::FUZZED_DECODER({data, size});
  if (picture && (picture->width <= 0 || picture->height <= 0 || picture->pixels.size() != expected_size(*picture)))
    std::abort();
  return 0;
}
