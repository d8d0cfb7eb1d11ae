// Recognising a picture by its first bytes.
#pragma once

#include <cstdint>
#include <span>

#include "pictures/picture.h"

namespace pictures {

// Looks at no more than the first 8 bytes; fewer than 6 are never a picture.
PictureKind detect_picture(std::span<const uint8_t> bytes);

}  // namespace pictures
