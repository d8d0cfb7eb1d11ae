// Numbers shown by the services: the shortest decimal that reads back, plain or in
// exponent form, whichever is shorter. The host's std::to_chars makes the same
// choice and is the reference for values of every magnitude.
#include "services/number_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

template <typename Floating>
std::string reference(Floating value) {
  char buffer[128];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

TEST(ShortestDecimal, ShowsTheValuesPeopleTypeAsTheyTypedThem) {
  EXPECT_EQ(services::shortest_decimal(0.1f), "0.1");
  EXPECT_EQ(services::shortest_decimal(3.0), "3");
  EXPECT_EQ(services::shortest_decimal(100.0), "100");
  EXPECT_EQ(services::shortest_decimal(-2.5), "-2.5");
  EXPECT_EQ(services::shortest_decimal(0.001), "0.001");
  EXPECT_EQ(services::shortest_decimal(0.0001), "1e-04");
  EXPECT_EQ(services::shortest_decimal(123.456), "123.456");
  EXPECT_EQ(services::shortest_decimal(1e21), "1e+21");
  EXPECT_EQ(services::shortest_decimal(1e-7), "1e-07");
  EXPECT_EQ(services::shortest_decimal(0.1 + 0.2), "0.30000000000000004");
}

TEST(ShortestDecimal, ZeroesInfinitiesAndNotANumber) {
  EXPECT_EQ(services::shortest_decimal(0.0), "0");
  EXPECT_EQ(services::shortest_decimal(-0.0), "-0");
  EXPECT_EQ(services::shortest_decimal(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(services::shortest_decimal(-std::numeric_limits<float>::infinity()), "-inf");
  EXPECT_EQ(services::shortest_decimal(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(ShortestDecimal, ExtremesOfEachType) {
  for (const double value : {std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::denorm_min(), 9007199254740993.0, 123456789012345680.0}) {
    EXPECT_EQ(services::shortest_decimal(value), reference(value));
  }
  for (const float value : {std::numeric_limits<float>::max(), std::numeric_limits<float>::min(),
                            std::numeric_limits<float>::denorm_min(), 16777217.0f}) {
    EXPECT_EQ(services::shortest_decimal(value), reference(value));
  }
}

template <typename Floating, typename Bits>
void expect_random_values_match_the_reference(int count) {
  std::mt19937_64 random(20261208);
  for (int i = 0; i < count; ++i) {
    const auto bits = static_cast<Bits>(random());
    Floating value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) continue;
    ASSERT_EQ(services::shortest_decimal(value), reference(value)) << "bits " << std::hex << bits;
  }
}

TEST(ShortestDecimal, AgreesWithTheStandardLibraryOnRandomDoublesAndFloats) {
  expect_random_values_match_the_reference<double, uint64_t>(20000);
  expect_random_values_match_the_reference<float, uint32_t>(20000);
}

TEST(ShortestDecimal, AgreesOnRoundNumbersOfEveryMagnitude) {
  for (int exponent = -30; exponent <= 30; ++exponent) {
    for (const double mantissa : {1.0, 1.5, 2.25, 9.999, 123.0}) {
      const double value = mantissa * std::pow(10.0, exponent);
      EXPECT_EQ(services::shortest_decimal(value), reference(value)) << value;
    }
  }
}

}  // namespace
