#include "pictures/rgb_rows.h"

#include <algorithm>
#include <utility>

namespace pictures {

void rgb_top_down_to_bgr_bottom_up(std::span<uint8_t> pixels, size_t width, size_t height) {
  for (size_t i = 0; i + 2 < pixels.size(); i += 3) std::swap(pixels[i], pixels[i + 2]);
  const size_t row = width * 3;
  for (size_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(pixels.begin() + top * row, pixels.begin() + (top + 1) * row, pixels.begin() + bottom * row);
}

}  // namespace pictures
