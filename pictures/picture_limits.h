// Size checks shared by the decoders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace pictures {

// 16 Mi pixels is 64 MB as 32-bit pixels: about what a 32-bit process can still find
// in one piece, and far beyond any picture a window shows.
constexpr uint64_t kMaxPixels = uint64_t(1) << 24;
constexpr int64_t kMaxSide = 32767;  // GDI's own coordinate limit

inline bool dimensions_allowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         uint64_t(width) * uint64_t(height) <= kMaxPixels;
}

// a * b, or nothing when it does not fit the target's 32-bit size_t.
inline std::optional<size_t> checked_size(uint64_t a, uint64_t b) {
  const uint64_t product = a * b;  // both factors stay below 2^32 at every call site
  if (a != 0 && product / a != b) return std::nullopt;
  if (product > SIZE_MAX || product > UINT32_MAX) return std::nullopt;
  return size_t(product);
}

}  // namespace pictures
