// A property block as one list: its fields in the order they are stored, each with
// the block version that added it. The reader and the writer both walk the list, so
// they cannot disagree on the layout, and a new field is one line at the end.
//
// A field's member type says how it is stored: a u32 for numbers, a u32 0 or 1 for
// flags, a u32 length and the bytes for texts and byte arrays, and each element in
// turn for a fixed array. A block with a field of another type supplies
// `read_field` and `write_field` for it beside its list.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "frame/byte_reader.h"

namespace units {

template <typename Block, typename Member>
struct BlockField {
  Member Block::*member;
  uint32_t since_version;
};

// A field stored since `since_version`; blocks of an older version lack it and
// leave its default.
template <typename Block, typename Member>
constexpr BlockField<Block, Member> block_field(Member Block::*member, uint32_t since_version = 0) {
  return {member, since_version};
}

inline bool read_field(frame::ByteReader& r, uint32_t& value) { return frame::store(r.u32(), value); }
inline bool read_field(frame::ByteReader& r, bool& value) { return frame::store(r.u32_flag(), value); }
inline bool read_field(frame::ByteReader& r, std::string& text) { return frame::store(r.counted_text(), text); }
inline bool read_field(frame::ByteReader& r, std::vector<uint8_t>& bytes) {
  return frame::store(r.counted_bytes(), bytes);
}
template <typename Element, size_t N>
bool read_field(frame::ByteReader& r, std::array<Element, N>& elements) {
  for (auto& element : elements)
    if (!read_field(r, element)) return false;
  return true;
}

inline void write_field(frame::ByteWriter& w, uint32_t value) { w.u32(value); }
inline void write_field(frame::ByteWriter& w, bool value) { w.flag(value); }
inline void write_field(frame::ByteWriter& w, const std::string& text) { w.counted_text(text); }
inline void write_field(frame::ByteWriter& w, const std::vector<uint8_t>& bytes) { w.counted_bytes(bytes); }
template <typename Element, size_t N>
void write_field(frame::ByteWriter& w, const std::array<Element, N>& elements) {
  for (const auto& element : elements) write_field(w, element);
}

// Accepts versions up to `newest`; nothing for a newer version or data that ends
// early.
template <typename Block, typename... Members>
std::optional<Block> decode_block(std::span<const uint8_t> data, uint32_t newest,
                                  const std::tuple<BlockField<Block, Members>...>& fields) {
  return frame::read_versioned_block<Block>(data, newest, [&](frame::ByteReader& r, uint32_t version, Block& b) {
    return std::apply(
        [&](const auto&... field) {
          return ((version < field.since_version || read_field(r, b.*field.member)) && ...);
        },
        fields);
  });
}

// Always writes `version`, with every field of the list.
template <typename Block, typename... Members>
std::vector<uint8_t> encode_block(const Block& block, uint32_t version,
                                  const std::tuple<BlockField<Block, Members>...>& fields) {
  frame::ByteWriter w;
  w.u32(version);
  std::apply([&](const auto&... field) { (write_field(w, block.*field.member), ...); }, fields);
  return w.take();
}

}  // namespace units
