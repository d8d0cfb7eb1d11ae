// Decoded pictures turned into plain R,G,B,A rows top-down, whatever layout their
// kind keeps them in, for writing out and comparing.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "pictures/picture.h"

namespace picture_dump {

struct RgbaImage {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> rgba;  // width * height * 4, rows top-down
  bool has_alpha = false;     // some pixel is not opaque
};

// The still picture of any kind; nothing for an icon image that cannot be read.
std::optional<RgbaImage> still_rgba(const pictures::Picture& picture);

// One composed GIF frame.
RgbaImage frame_rgba(const pictures::Picture& picture, const pictures::AnimationFrame& frame);

}  // namespace picture_dump
