#include "units/label_block.h"

#include <cstring>

#include "frame/byte_reader.h"

namespace units {

using frame::store;

namespace {

bool read_font(frame::ByteReader& r, std::optional<LogFontA>& font) {
  auto bytes = r.counted_bytes();
  if (!bytes) return false;
  if (bytes->size() == sizeof(LogFontA)) {
    LogFontA value;
    std::memcpy(&value, bytes->data(), sizeof value);
    font = value;
  }
  return true;
}

std::span<const uint8_t> font_bytes(const std::optional<LogFontA>& font) {
  if (!font) return {};
  return {reinterpret_cast<const uint8_t*>(&*font), sizeof(LogFontA)};
}

}  // namespace

std::optional<LabelBlock> decode_label_block(std::span<const uint8_t> data) {
  return frame::read_versioned_block<LabelBlock>(
      data, kLabelBlockVersion, [](frame::ByteReader& r, uint32_t, LabelBlock& b) {
        return store(r.u32(), b.text_effect) && store(r.u32(), b.text_colour) &&
               store(r.u32(), b.horizontal_alignment) && store(r.u32(), b.vertical_alignment) &&
               store(r.u32_flag(), b.word_wrap) && read_font(r, b.font) && store(r.counted_text(), b.text);
      });
}

std::vector<uint8_t> encode(const LabelBlock& b) {
  frame::ByteWriter w;
  w.u32(kLabelBlockVersion);
  w.u32(b.text_effect);
  w.u32(b.text_colour);
  w.u32(b.horizontal_alignment);
  w.u32(b.vertical_alignment);
  w.flag(b.word_wrap);
  w.counted_bytes(font_bytes(b.font));
  w.counted_text(b.text);
  return w.take();
}

}  // namespace units
