// A byte array: how the frame hands bytes to handlers and services, and how the
// constants area stores its blobs, so that a blob can be handed out in place.
//
//   0  u32 dimension count, always 1
//   4  u32 length N
//   8  N content bytes
//
// Words are little-endian; nothing pads or aligns. Writers: the constants assembler
// (tools/constants-assembler) and the frame heap; readers: the frame heap and the
// installer's embedded blobs (payload/embedded_blobs.h).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "frame/byte_reader.h"

namespace frame {

inline constexpr uint32_t kByteArrayDimensions = 1;
inline constexpr size_t kByteArrayHeaderSize = 8;

using ByteArrayHeader = std::array<uint8_t, kByteArrayHeaderSize>;

inline ByteArrayHeader byte_array_header(uint32_t length) {
  ByteWriter w;
  w.u32(kByteArrayDimensions);
  w.u32(length);
  const std::vector<uint8_t> words = w.take();
  ByteArrayHeader header;
  std::copy(words.begin(), words.end(), header.begin());
  return header;
}

inline void write_byte_array(ByteWriter& w, std::span<const uint8_t> content) {
  w.bytes(byte_array_header(ByteWriter::length_word(content.size())));
  w.bytes(content);
}

// The content of the byte array whose header starts at `array`. The header is
// trusted: only our own build and our own heap make byte arrays.
inline std::span<const uint8_t> byte_array_content(const uint8_t* array) {
  ByteReader header({array, kByteArrayHeaderSize});
  header.u32();  // the dimension count
  return {array + kByteArrayHeaderSize, *header.u32()};
}

}  // namespace frame
