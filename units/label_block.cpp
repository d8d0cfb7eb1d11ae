#include "units/label_block.h"

#include <cstring>

namespace units {

bool read_field(frame::ByteReader& r, std::optional<LogFontA>& font) {
  auto bytes = r.counted_bytes();
  if (!bytes) return false;
  if (bytes->size() == sizeof(LogFontA)) {
    LogFontA value;
    std::memcpy(&value, bytes->data(), sizeof value);
    font = value;
  }
  return true;
}

void write_field(frame::ByteWriter& w, const std::optional<LogFontA>& font) {
  if (!font) {
    w.counted_bytes({});
    return;
  }
  w.counted_bytes({reinterpret_cast<const uint8_t*>(&*font), sizeof(LogFontA)});
}

std::optional<LabelBlock> decode_label_block(std::span<const uint8_t> data) {
  return decode_block(data, kLabelBlockVersion, kLabelFields);
}

std::vector<uint8_t> encode(const LabelBlock& block) { return encode_block(block, kLabelBlockVersion, kLabelFields); }

}  // namespace units
