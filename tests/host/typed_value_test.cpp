// Typed values turned into 32-bit integers, type by type.
#include "frame/typed_value.h"

#include <gtest/gtest.h>

#include <cstring>

namespace frame {
namespace {

TypedValue of_float(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return {bits, 0, kTypeFloat};
}

TEST(NumericToInt32, ByteIsZeroExtendedAndShortSignExtended) {
  EXPECT_EQ(numeric_to_int32({0xFFFFFFF0, 0, kTypeByte}), 0xF0);
  EXPECT_EQ(numeric_to_int32({0x0000FFFE, 0, kTypeShort}), -2);
  EXPECT_EQ(numeric_to_int32({0x00017FFF, 0, kTypeShort}), 0x7FFF);
}

TEST(NumericToInt32, IntAndInt64GiveTheirLowWord) {
  EXPECT_EQ(numeric_to_int32(TypedValue::of_int(-40000)), -40000);
  EXPECT_EQ(numeric_to_int32({0x89ABCDEF, 0x01234567, kTypeInt64}), static_cast<int32_t>(0x89ABCDEF));
}

TEST(NumericToInt32, FloatAndDoubleAreTruncatedTowardZero) {
  EXPECT_EQ(numeric_to_int32(of_float(2.9f)), 2);
  EXPECT_EQ(numeric_to_int32(of_float(-2.9f)), -2);
  EXPECT_EQ(numeric_to_int32(TypedValue::of_double(32627.99)), 32627);
  EXPECT_EQ(numeric_to_int32(TypedValue::of_double(-0.5)), 0);
}

TEST(NumericToInt32, DoubleOutsideTheRangeBecomesIntMin) {
  EXPECT_EQ(numeric_to_int32(TypedValue::of_double(3e9)), INT32_MIN);
  EXPECT_EQ(numeric_to_int32(TypedValue::of_double(-3e9)), INT32_MIN);
}

TEST(NumericToInt32, NonNumericTypesGiveNothing) {
  EXPECT_EQ(numeric_to_int32({1, 0, kTypeText}), std::nullopt);
  EXPECT_EQ(numeric_to_int32(TypedValue::of_bool(true)), std::nullopt);
  EXPECT_EQ(numeric_to_int32({}), std::nullopt);
}

TEST(TypedValueWords, SixtyFourBitTypesTravelAsTwoWords) {
  EXPECT_TRUE((TypedValue{0, 0, kTypeInt64}).is_two_words());
  EXPECT_TRUE(TypedValue::of_double(1.0).is_two_words());
  EXPECT_TRUE((TypedValue{0, 0, kTypeDateTime}).is_two_words());
  EXPECT_FALSE(TypedValue::of_int(1).is_two_words());
  EXPECT_FALSE((TypedValue{0, 0, kTypeText}).is_two_words());
}

}  // namespace
}  // namespace frame
