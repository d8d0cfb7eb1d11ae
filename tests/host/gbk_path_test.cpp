// Where a GBK path splits into its parent and its last component.
#include "services/gbk_path.h"

#include <gtest/gtest.h>

namespace services {
namespace {

void expect_split(std::string_view path, std::string_view parent, std::string_view last) {
  const PathParts parts = split_at_last_backslash(path);
  EXPECT_EQ(parts.parent, parent) << path;
  EXPECT_EQ(parts.last, last) << path;
}

TEST(SplitAtLastBackslash, SplitsAtTheLastOfSeveralBackslashes) {
  expect_split(R"(SOFTWARE\Microsoft\Uninstall\KOWTAN\InstallLocation)", R"(SOFTWARE\Microsoft\Uninstall\KOWTAN)",
               "InstallLocation");
}

TEST(SplitAtLastBackslash, WithoutBackslashTheWholePathIsTheLastComponent) {
  expect_split("InstallLocation", "", "InstallLocation");
  expect_split("", "", "");
}

TEST(SplitAtLastBackslash, TrailingBackslashLeavesAnEmptyLastComponent) {
  expect_split("Software\\Trellimo\\", "Software\\Trellimo", "");
}

TEST(SplitAtLastBackslash, LeadingBackslashLeavesAnEmptyParent) { expect_split("\\Value", "", "Value"); }

// 0x81 0x5C is one GBK character (乗) whose trail byte is a backslash.
TEST(SplitAtLastBackslash, BackslashTrailByteInsideACharacterDoesNotSplit) {
  expect_split("Key\\\x81\x5CName", "Key", "\x81\x5CName");
  expect_split("\x81\x5C", "", "\x81\x5C");
  expect_split("\x81\x5C\x81\x5C\\", "\x81\x5C\x81\x5C", "");
}

// 0x80 and 0xFF lead no character in code page 936: a backslash after them splits.
TEST(SplitAtLastBackslash, BackslashAfterByteEightySplits) {
  expect_split("Key\x80\\Name", "Key\x80", "Name");
}

TEST(SplitAtLastBackslash, BackslashAfterByteFFSplits) {
  expect_split("Key\xFF\\Name", "Key\xFF", "Name");
}

TEST(SplitAtLastBackslash, BackslashAfterADoubleByteCharacterSplits) {
  expect_split("\xB0\xB2\\\xD7\xB0", "\xB0\xB2", "\xD7\xB0");  // 安\装
}

// A lead byte at the very end has no trail byte to skip; the scan just stops.
TEST(SplitAtLastBackslash, LeadByteAtTheEndEndsTheScan) {
  expect_split("Key\\Name\x81", "Key", "Name\x81");
  expect_split("\x81", "", "\x81");
}

}  // namespace
}  // namespace services
