#include "units/picture_button_block.h"

#include "frame/byte_reader.h"

namespace units {

using frame::store;

std::optional<PictureButtonBlock> decode_picture_button_block(std::span<const uint8_t> data) {
  frame::ByteReader r(data);
  const auto version = frame::read_block_version(r, kPictureButtonBlockVersion);
  if (!version) return std::nullopt;
  PictureButtonBlock b;
  if (!store(r.u32(), b.button_type) || !store(r.u32_flag(), b.checked) || !store(r.u32(), b.colour_key))
    return std::nullopt;
  for (auto& picture : b.pictures)
    if (!store(r.counted_bytes(), picture)) return std::nullopt;
  return b;
}

std::vector<uint8_t> encode(const PictureButtonBlock& b) {
  frame::ByteWriter w;
  w.u32(kPictureButtonBlockVersion);
  w.u32(b.button_type);
  w.flag(b.checked);
  w.u32(b.colour_key);
  for (const auto& picture : b.pictures) w.counted_bytes(picture);
  return w.take();
}

}  // namespace units
