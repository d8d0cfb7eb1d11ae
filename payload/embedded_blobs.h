#pragma once
// The constants area: the installer's texts and embedded blobs, back to back in the
// executable's read-only data, in the order the installer first refers to them.
//
//   text   GBK bytes, then one zero byte
//   blob   u32 dimension count (always 1), u32 length N, N content bytes
//
// Nothing marks where a constant starts or what it is: the code that refers to an
// offset (app/constants.h) knows its kind. The area is laid down by our own build
// (tools/constants-assembler), lives as long as the process and is never freed.
#include <cstdint>
#include <span>

namespace payload {

inline constexpr uint32_t kBlobHeaderSize = 8;

// A read-only view of a blob's content; it never owns or copies.
struct EmbeddedBlob {
  uint32_t length;
  const uint8_t* bytes;

  std::span<const uint8_t> content() const { return {bytes, length}; }
};

// The blob whose header starts at `header`. Consumers skip the dimension count.
inline EmbeddedBlob blob_view(const uint8_t* header) {
  uint32_t length = 0;
  for (int i = 3; i >= 0; --i) length = (length << 8) | header[4 + i];
  return {length, header + kBlobHeaderSize};
}

// The text at `offset` in the executable's constants area.
const char* constant_text(uint32_t offset);
// The blob at `offset` in the executable's constants area; never fails.
EmbeddedBlob blob_at(uint32_t offset);

}  // namespace payload
