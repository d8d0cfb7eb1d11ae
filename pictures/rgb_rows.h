// The last step shared by the JPEG and BMP decoders.
#pragma once

#include <cstdint>
#include <span>

namespace pictures {

// Turns packed R,G,B rows top-down into B,G,R rows bottom-up, in place.
void rgb_top_down_to_bgr_bottom_up(std::span<uint8_t> pixels, size_t width, size_t height);

}  // namespace pictures
