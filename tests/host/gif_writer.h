// Small GIFs written frame by frame for the decoding tests: every colour table,
// disposal, transparency and interlacing a test asks for, with LZW data that uses
// literal codes only (a clear code before the table would widen them).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace gif_writer {

using Colour = std::array<uint8_t, 3>;  // R, G, B

struct Frame {
  uint16_t left = 0, top = 0, width = 0, height = 0;
  std::vector<uint8_t> indices;       // width * height, rows top-down
  std::vector<Colour> local_palette;  // none when empty; else 2, 4, ... 256 entries
  uint16_t delay_cs = 0;
  uint8_t disposal = 0;
  std::optional<uint8_t> transparent;
  bool interlaced = false;

  Frame with_palette(std::vector<Colour> palette) const;
  Frame with_delay(uint16_t delay) const;
  Frame with_disposal(uint8_t method) const;
  Frame with_transparent(uint8_t index) const;
  Frame as_interlaced() const;
};

// A frame at (left, top) of width x height with these indices, and nothing else.
Frame frame(uint16_t left, uint16_t top, uint16_t width, uint16_t height, std::vector<uint8_t> indices);

struct Gif {
  uint16_t width = 0, height = 0;
  std::vector<Colour> global_palette;  // none when empty
  uint8_t background = 0;
  std::optional<uint16_t> loop_count;  // the NETSCAPE2.0 block, when given
  std::vector<Frame> frames;
};

std::vector<uint8_t> write(const Gif& gif);

// The LZW data of `indices` as one run of sub-blocks, preceded by the code size.
std::vector<uint8_t> image_data(const std::vector<uint8_t>& indices, unsigned min_code_size);

}  // namespace gif_writer
