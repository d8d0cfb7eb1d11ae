// The frame's byte reader with the 8- and 16-bit reads picture formats need.
#pragma once

#include <cstdint>
#include <optional>

#include "frame/byte_reader.h"

namespace pictures {

inline std::optional<uint8_t> read_u8(frame::ByteReader& r) {
  auto b = r.bytes(1);
  if (!b) return std::nullopt;
  return (*b)[0];
}

inline std::optional<uint16_t> read_u16(frame::ByteReader& r) {
  auto b = r.bytes(2);
  if (!b) return std::nullopt;
  return uint16_t((*b)[0] | (*b)[1] << 8);
}

inline bool skip(frame::ByteReader& r, size_t count) { return r.bytes(count).has_value(); }

}  // namespace pictures
