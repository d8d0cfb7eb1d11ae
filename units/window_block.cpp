#include "units/window_block.h"

namespace units {

std::optional<WindowBlock> decode_window_block(std::span<const uint8_t> data) {
  return decode_block(data, kWindowBlockVersion, kWindowFields);
}

std::vector<uint8_t> encode(const WindowBlock& block) {
  return encode_block(block, kWindowBlockVersion, kWindowFields);
}

}  // namespace units
