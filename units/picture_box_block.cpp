#include "units/picture_box_block.h"

#include "frame/byte_reader.h"

namespace units {

using frame::store;

std::optional<PictureBoxBlock> decode_picture_box_block(std::span<const uint8_t> data) {
  return frame::read_versioned_block<PictureBoxBlock>(
      data, kPictureBoxBlockVersion, [](frame::ByteReader& r, uint32_t version, PictureBoxBlock& b) {
        return store(r.u32(), b.border_style) && store(r.u32(), b.display_mode) &&
               store(r.u32(), b.background_colour) && store(r.u32_flag(), b.animate) &&
               store(r.counted_bytes(), b.picture) &&
               (version < 2 || (store(r.counted_text(), b.data_source) && store(r.counted_text(), b.data_column)));
      });
}

std::vector<uint8_t> encode(const PictureBoxBlock& b) {
  frame::ByteWriter w;
  w.u32(kPictureBoxBlockVersion);
  w.u32(b.border_style);
  w.u32(b.display_mode);
  w.u32(b.background_colour);
  w.flag(b.animate);
  w.counted_bytes(b.picture);
  w.counted_text(b.data_source);
  w.counted_text(b.data_column);
  return w.take();
}

}  // namespace units
