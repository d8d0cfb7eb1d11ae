#include "units/picture_button_block.h"

namespace units {

std::optional<PictureButtonBlock> decode_picture_button_block(std::span<const uint8_t> data) {
  return decode_block(data, kPictureButtonBlockVersion, kPictureButtonFields);
}

std::vector<uint8_t> encode(const PictureButtonBlock& block) {
  return encode_block(block, kPictureButtonBlockVersion, kPictureButtonFields);
}

}  // namespace units
