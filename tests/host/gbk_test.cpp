// Character steps through GBK bytes by code page 936's lead-byte range.
//   "\xB0\xB2" 安   "\x95\x5C" 昞 (its trail byte is '\')
#include "frame/gbk.h"

#include <gtest/gtest.h>

namespace {

using frame::is_gbk_lead_byte;
using frame::last_backslash;
using frame::next_character;

constexpr size_t kNone = std::string_view::npos;

TEST(GbkLeadByte, IsExactly0x81To0xFE) {
  for (unsigned byte = 0; byte <= 0xFF; ++byte)
    EXPECT_EQ(is_gbk_lead_byte(uint8_t(byte)), byte >= 0x81 && byte <= 0xFE) << byte;
}

TEST(NextCharacter, StepsOverALeadByteAndItsTrailByte) {
  const std::string_view text = "a\xB0\xB2\x95\x5C" "b";
  EXPECT_EQ(next_character(text, 0), 1u);
  EXPECT_EQ(next_character(text, 1), 3u);
  EXPECT_EQ(next_character(text, 3), 5u);
  EXPECT_EQ(next_character(text, 5), 6u);
}

TEST(NextCharacter, Byte0x80And0xFFAreCharactersOfOneByte) {
  const std::string_view text = "\x80\\\xFF\\";
  EXPECT_EQ(next_character(text, 0), 1u);
  EXPECT_EQ(next_character(text, 2), 3u);
}

TEST(NextCharacter, ALeadByteEndingTheTextStepsPastTheEnd) {
  EXPECT_EQ(next_character("ab\xB0", 2), 4u);
}

TEST(LastBackslash, IsTheLastOfSeveral) { EXPECT_EQ(last_backslash("C:\\a\\b"), 4u); }

TEST(LastBackslash, NoneWithoutOne) {
  EXPECT_EQ(last_backslash(""), kNone);
  EXPECT_EQ(last_backslash("setup.exe"), kNone);
}

TEST(LastBackslash, ATrailByteBackslashIsPartOfItsCharacter) {
  EXPECT_EQ(last_backslash("\x95\x5C"), kNone);
  EXPECT_EQ(last_backslash("a\\\x95\x5C"), 1u);
}

TEST(LastBackslash, ABackslashAfter0x80Or0xFFCounts) {
  EXPECT_EQ(last_backslash("C:\\\x80\\"), 4u);
  EXPECT_EQ(last_backslash("C:\\\xFF\\x"), 4u);
}

}  // namespace
