// The calling thunk in our own process: argument order, results, and the stack
// difference it measures for callees that do and do not match the calling sequence.
#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "frame/stdcall_call.h"

namespace {

uint32_t __stdcall digits(uint32_t a, uint32_t b, uint32_t c, uint32_t d) { return a * 1000 + b * 100 + c * 10 + d; }

uint32_t __stdcall answer() { return 42; }

uint64_t __stdcall joined(uint32_t high, uint32_t low) { return (static_cast<uint64_t>(high) << 32) | low; }

uint32_t __cdecl cdecl_sum(uint32_t a, uint32_t b) { return a + b; }

uint32_t __stdcall sum_of_three(uint32_t a, uint32_t b, uint32_t c) { return a + b + c; }

// Weighs each argument by its position, so that order and count both show.
uint32_t __stdcall weighted_forty(uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3, uint32_t w4, uint32_t w5,
                                  uint32_t w6, uint32_t w7, uint32_t w8, uint32_t w9, uint32_t w10, uint32_t w11,
                                  uint32_t w12, uint32_t w13, uint32_t w14, uint32_t w15, uint32_t w16, uint32_t w17,
                                  uint32_t w18, uint32_t w19, uint32_t w20, uint32_t w21, uint32_t w22, uint32_t w23,
                                  uint32_t w24, uint32_t w25, uint32_t w26, uint32_t w27, uint32_t w28, uint32_t w29,
                                  uint32_t w30, uint32_t w31, uint32_t w32, uint32_t w33, uint32_t w34, uint32_t w35,
                                  uint32_t w36, uint32_t w37, uint32_t w38, uint32_t w39) {
  const uint32_t words[] = {w0,  w1,  w2,  w3,  w4,  w5,  w6,  w7,  w8,  w9,  w10, w11, w12, w13,
                            w14, w15, w16, w17, w18, w19, w20, w21, w22, w23, w24, w25, w26, w27,
                            w28, w29, w30, w31, w32, w33, w34, w35, w36, w37, w38, w39};
  uint32_t sum = 0;
  for (uint32_t i = 0; i < 40; ++i) sum += (i + 1) * words[i];
  return sum;
}

template <typename Function>
const void* address(Function* function) {
  return reinterpret_cast<const void*>(function);
}

struct Call {
  uint64_t result;
  int32_t stack_difference;
};

Call call(const void* function, const std::vector<uint32_t>& words) {
  Call made{0, 12345};
  made.result = frame_call_stdcall(function, words.data(), static_cast<uint32_t>(words.size()), &made.stack_difference);
  return made;
}

TEST(StdcallCall, PassesTheFirstWordAsTheFirstArgument) {
  const Call made = call(address(digits), {1, 2, 3, 4});
  EXPECT_EQ(made.result & 0xFFFFFFFF, 1234u);
  EXPECT_EQ(made.stack_difference, 0);
}

TEST(StdcallCall, CallsWithoutArguments) {
  const Call made = call(address(answer), {});
  EXPECT_EQ(made.result & 0xFFFFFFFF, 42u);
  EXPECT_EQ(made.stack_difference, 0);
}

TEST(StdcallCall, ReturnsEdxAndEaxTogether) {
  const Call made = call(address(joined), {0x01234567, 0x89ABCDEF});
  EXPECT_EQ(made.result, 0x0123456789ABCDEFull);
  EXPECT_EQ(made.stack_difference, 0);
}

TEST(StdcallCall, PassesFortyWordsInOrder) {
  std::vector<uint32_t> words(40);
  std::iota(words.begin(), words.end(), 100u);
  uint32_t expected = 0;
  for (uint32_t i = 0; i < 40; ++i) expected += (i + 1) * words[i];
  const Call made = call(address(weighted_forty), words);
  EXPECT_EQ(made.result & 0xFFFFFFFF, expected);
  EXPECT_EQ(made.stack_difference, 0);
}

TEST(StdcallCall, CdeclCalleeLeavesItsArgumentsAndOurStackIsRestored) {
  volatile uint32_t canary = 0xC0FFEE;
  const Call made = call(address(cdecl_sum), {20, 22});
  EXPECT_EQ(made.result & 0xFFFFFFFF, 42u);
  EXPECT_EQ(made.stack_difference, -8);
  EXPECT_EQ(canary, 0xC0FFEEu);
}

TEST(StdcallCall, CalleeTakingMoreArgumentsThanPushedIsMeasuredAndOurStackIsRestored) {
  volatile uint32_t canary = 0xC0FFEE;
  const Call made = call(address(sum_of_three), {20, 22});
  EXPECT_EQ(made.stack_difference, 4);
  EXPECT_EQ(canary, 0xC0FFEEu);
}

}  // namespace
