#include "units/com_object_block.h"

#include "frame/byte_reader.h"

namespace units {

std::optional<ComObjectBlock> decode_com_object_block(std::span<const uint8_t> data) {
  return frame::read_versioned_block<ComObjectBlock>(
      data, kComObjectBlockVersion,
      [](frame::ByteReader& r, uint32_t, ComObjectBlock& b) { return frame::store(r.counted_text(), b.class_name); });
}

std::vector<uint8_t> encode(const ComObjectBlock& b) {
  frame::ByteWriter w;
  w.u32(kComObjectBlockVersion);
  w.counted_text(b.class_name);
  return w.take();
}

}  // namespace units
