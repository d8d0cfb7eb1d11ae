// The check PNG pictures and PNG images inside icons share.
#pragma once

#include <cstdint>
#include <span>

namespace pictures {

// True when every chunk lies inside `bytes`, the last is IEND, and the image data
// can inflate to at least the rows IHDR names.
bool png_data_can_hold(std::span<const uint8_t> bytes);

}  // namespace pictures
