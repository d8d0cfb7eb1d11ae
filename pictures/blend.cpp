#include <algorithm>

#include "pictures/decode.h"

namespace pictures {
namespace {

uint8_t mix(uint8_t value, uint8_t alpha, uint8_t blend) {
  const double a = alpha;
  const double mixed = a * value / 255 + blend * (1 - a / 255);
  return uint8_t(std::clamp(mixed, 0.0, 255.0));
}

}  // namespace

void blend_alpha(std::span<uint8_t> bgra, uint32_t blend_colour) {
  const uint8_t red = uint8_t(blend_colour), green = uint8_t(blend_colour >> 8), blue = uint8_t(blend_colour >> 16);
  for (size_t i = 0; i + 3 < bgra.size(); i += 4) {
    const uint8_t a = bgra[i + 3];
    if (a == 255) continue;
    bgra[i] = mix(bgra[i], a, blue);
    bgra[i + 1] = mix(bgra[i + 1], a, green);
    bgra[i + 2] = mix(bgra[i + 2], a, red);
  }
}

}  // namespace pictures
