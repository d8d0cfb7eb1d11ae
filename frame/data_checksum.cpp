#include "frame/data_checksum.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace frame {

// zlib takes a uInt length; feed it in pieces it can hold.
uint32_t extend_data_checksum(uint32_t checksum, std::span<const uint8_t> bytes) {
  constexpr size_t kLargestPiece = std::numeric_limits<uInt>::max();
  uLong crc = checksum;
  while (!bytes.empty()) {
    const size_t piece = std::min(bytes.size(), kLargestPiece);
    crc = crc32(crc, bytes.data(), static_cast<uInt>(piece));
    bytes = bytes.subspan(piece);
  }
  return static_cast<uint32_t>(crc);
}

uint32_t data_checksum(std::span<const uint8_t> constants_area, std::span<const uint8_t> window_template) {
  return extend_data_checksum(extend_data_checksum(kEmptyDataChecksum, constants_area), window_template);
}

}  // namespace frame
