// The 8-bit DIB block GIF and PCX pictures are kept in: BITMAPINFOHEADER, 256
// RGBQUADs, then the pixel rows bottom-up, each padded to 4 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pictures {

struct PaletteEntry {
  uint8_t r = 0, g = 0, b = 0;
};
using Palette256 = std::array<PaletteEntry, 256>;

// `indices` holds width * height palette indices, rows top-down.
std::optional<std::vector<uint8_t>> make_dib_block(std::span<const uint8_t> indices, int32_t width, int32_t height,
                                                   const Palette256& palette);

}  // namespace pictures
