#include "frame/typed_value.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace frame {
namespace {

// Truncation toward zero. A value outside the 32-bit range has no truncation; it
// becomes INT_MIN, which is what the processor's own conversion yields for it.
int32_t truncate_to_int32(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace

bool TypedValue::is_two_words() const {
  return type == kTypeInt64 || type == kTypeDouble || type == kTypeDateTime || type == kTypeTwoWord ||
         type == kTypeMenuItem;
}

TypedValue TypedValue::of_double(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), kTypeDouble};
}

std::optional<int32_t> numeric_to_int32(const TypedValue& value) {
  switch (value.type) {
    case kTypeByte:
      return static_cast<int32_t>(value.low & 0xFF);
    case kTypeShort:
      return static_cast<int32_t>(static_cast<int16_t>(value.low & 0xFFFF));
    case kTypeInt:
    case kTypeInt64:
      return static_cast<int32_t>(value.low);
    case kTypeFloat: {
      float f;
      std::memcpy(&f, &value.low, sizeof f);
      return truncate_to_int32(f);
    }
    case kTypeDouble: {
      const uint64_t bits = value.payload();
      double d;
      std::memcpy(&d, &bits, sizeof d);
      return truncate_to_int32(d);
    }
    default:
      return std::nullopt;
  }
}

}  // namespace frame
