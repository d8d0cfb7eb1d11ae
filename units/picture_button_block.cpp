#include "units/picture_button_block.h"

#include "frame/byte_reader.h"

namespace units {

using frame::store;

std::optional<PictureButtonBlock> decode_picture_button_block(std::span<const uint8_t> data) {
  return frame::read_versioned_block<PictureButtonBlock>(
      data, kPictureButtonBlockVersion, [](frame::ByteReader& r, uint32_t, PictureButtonBlock& b) {
        if (!store(r.u32(), b.button_type) || !store(r.u32_flag(), b.checked) || !store(r.u32(), b.colour_key))
          return false;
        for (auto& picture : b.pictures)
          if (!store(r.counted_bytes(), picture)) return false;
        return true;
      });
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
