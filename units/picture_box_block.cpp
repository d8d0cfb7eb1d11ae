#include "units/picture_box_block.h"

namespace units {

std::optional<PictureBoxBlock> decode_picture_box_block(std::span<const uint8_t> data) {
  return decode_block(data, kPictureBoxBlockVersion, kPictureBoxFields);
}

std::vector<uint8_t> encode(const PictureBoxBlock& block) {
  return encode_block(block, kPictureBoxBlockVersion, kPictureBoxFields);
}

}  // namespace units
