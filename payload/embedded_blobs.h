#pragma once
// The constants area: the installer's texts and embedded blobs, back to back in the
// executable's read-only data, in the order the installer first refers to them.
//
//   text   GBK bytes, then one zero byte
//   blob   a byte array (frame/byte_array.h): u32 1, u32 length N, N content bytes
//
// Nothing marks where a constant starts or what it is: the code that refers to an
// offset (app/constants.h) knows its kind. The area is laid down by our own build
// (tools/constants-assembler), lives as long as the process and is never freed.
#include <cstdint>
#include <span>

#include "frame/byte_array.h"

// The area as the build embeds it (cmake/embedded_constants.S.in).
extern "C" const uint8_t constants_begin[];
extern "C" const uint8_t constants_end[];

namespace payload {

// A blob in place, never owned or copied. The frame takes `array`, header and all,
// wherever it takes a byte array.
struct EmbeddedBlob {
  const uint8_t* array;

  std::span<const uint8_t> content() const { return frame::byte_array_content(array); }
};

// The text at `offset` in the executable's constants area.
const char* constant_text(uint32_t offset);
// The blob at `offset` in the executable's constants area; never fails.
EmbeddedBlob blob_at(uint32_t offset);

}  // namespace payload
