#pragma once
// The checksum the program header carries over the data the build embeds: CRC-32
// (zlib's) of the constants area followed directly by the window template. The
// build tool that writes it (cassemble checksum) and the frame that checks it at
// start-up both compute it here, so they cannot disagree about the bytes covered.
#include <cstdint>
#include <span>

namespace frame {

// The CRC-32 of no bytes: a program that embeds no data carries this.
inline constexpr uint32_t kEmptyDataChecksum = 0;

// Continues `checksum` over `bytes`; chaining calls equals one call over the
// concatenation.
uint32_t extend_data_checksum(uint32_t checksum, std::span<const uint8_t> bytes);

uint32_t data_checksum(std::span<const uint8_t> constants_area, std::span<const uint8_t> window_template);

}  // namespace frame
