// The text services' logic on GBK bytes: replacing, finding the last occurrence,
// left parts and blank texts. Two-byte characters are written as hex escapes:
//   "\xB0\xB2" 安   "\xD7\xB0" 装   "\x95\x5C" 昞 (its trail byte is '\')
//   "\xB0\x41" 癆 and "\xB0\x61" 癮 (trail bytes 'A' and 'a')
//   "\xA3\xC1" Ａ and "\xA3\xE1" ａ (full-width letters)
#include <gtest/gtest.h>

#include <climits>

#include "services/gbk_text.h"

namespace {

using services::blank_text;
using services::find_last;
using services::left_part;
using services::replace_text;
using std::nullopt;

constexpr bool kCaseSensitive = true;
constexpr bool kFoldCase = false;

std::string replace_all(std::string_view text, std::string_view find, std::string_view replacement) {
  return replace_text(text, find, replacement, nullopt, nullopt, kCaseSensitive);
}

TEST(TextReplace, AnOmittedReplacementRemovesEveryDoubleQuote) {
  EXPECT_EQ(replace_all("\"C:\\Program Files\\Trellimo\\launch.exe\" \"-x\"", "\"", ""),
            "C:\\Program Files\\Trellimo\\launch.exe -x");
}

TEST(TextReplace, ReplacesEveryOccurrenceWhenNoCountIsGiven) {
  EXPECT_EQ(replace_all("a-b-c-d", "-", "+"), "a+b+c+d");
  EXPECT_EQ(replace_all("a-b-c-d", "-", "=>"), "a=>b=>c=>d");
}

TEST(TextReplace, AMatchIsSkippedWholeSoOccurrencesDoNotOverlap) { EXPECT_EQ(replace_all("aaaaa", "aa", "b"), "bba"); }

TEST(TextReplace, CountOfOneReplacesOnlyTheFirstOccurrenceAfterTheStart) {
  EXPECT_EQ(replace_text("a-b-c-d", "-", "+", 3, 1, kCaseSensitive), "a-b+c-d");
  EXPECT_EQ(replace_text("a-b-c-d", "-", "+", nullopt, 1, kCaseSensitive), "a+b-c-d");
}

TEST(TextReplace, CountLimitsTheReplacementsAndTheRestIsCopied) {
  EXPECT_EQ(replace_text("a-b-c-d", "-", "+", nullopt, 2, kCaseSensitive), "a+b+c-d");
  EXPECT_EQ(replace_text("a-b-c-d", "-", "+", nullopt, 9, kCaseSensitive), "a+b+c+d");
}

TEST(TextReplace, ANegativeCountIsUnlimited) {
  EXPECT_EQ(replace_text("a-b-c-d", "-", "+", nullopt, -1, kCaseSensitive), "a+b+c+d");
  EXPECT_EQ(replace_text("a-b-c-d", "-", "+", nullopt, -7, kCaseSensitive), "a+b+c+d");
}

TEST(TextReplace, CountOfZeroLeavesTheTextUnchanged) {
  EXPECT_EQ(replace_text("a-b", "-", "+", nullopt, 0, kCaseSensitive), "a-b");
}

TEST(TextReplace, BytesBeforeTheStartAreCopiedEvenWhereTheyMatch) {
  EXPECT_EQ(replace_text("--x--", "-", "", 3, nullopt, kCaseSensitive), "--x");
  EXPECT_EQ(replace_text("--x--", "-", "", 5, nullopt, kCaseSensitive), "--x-");
}

TEST(TextReplace, AStartBelowOneCountsAsTheFirstByte) {
  EXPECT_EQ(replace_text("-x-", "-", "+", 1, nullopt, kCaseSensitive), "+x+");
  EXPECT_EQ(replace_text("-x-", "-", "+", 0, nullopt, kCaseSensitive), "+x+");
  EXPECT_EQ(replace_text("-x-", "-", "+", -5, nullopt, kCaseSensitive), "+x+");
  EXPECT_EQ(replace_text("-x-", "-", "+", INT_MIN, nullopt, kCaseSensitive), "+x+");
}

TEST(TextReplace, AStartAtTheLastByteStillReplacesThere) {
  EXPECT_EQ(replace_text("-x-", "-", "+", 3, nullopt, kCaseSensitive), "-x+");
}

TEST(TextReplace, AStartBeyondTheEndLeavesTheTextUnchanged) {
  EXPECT_EQ(replace_text("-x-", "-", "+", 4, nullopt, kCaseSensitive), "-x-");
  EXPECT_EQ(replace_text("-x-", "-", "+", INT_MAX, nullopt, kCaseSensitive), "-x-");
}

TEST(TextReplace, AnEmptyTextOrFindTextGivesTheTextBack) {
  EXPECT_EQ(replace_all("", "-", "+"), "");
  EXPECT_EQ(replace_all("a-b", "", "+"), "a-b");
}

TEST(TextReplace, AFindTextLongerThanTheTextReplacesNothing) { EXPECT_EQ(replace_all("ab", "abc", "x"), "ab"); }

TEST(TextReplace, CaseSensitiveComparesBytesExactly) {
  EXPECT_EQ(replace_text("Exe EXE exe", "exe", "bin", nullopt, nullopt, kCaseSensitive), "Exe EXE bin");
}

TEST(TextReplace, WithoutCaseSensitivityAsciiLettersFold) {
  EXPECT_EQ(replace_text("Exe EXE exe", "eXe", "bin", nullopt, nullopt, kFoldCase), "bin bin bin");
}

TEST(TextReplace, FoldingLeavesFullWidthLettersDistinct) {
  EXPECT_EQ(replace_text("\xA3\xC1", "\xA3\xE1", "x", nullopt, nullopt, kFoldCase), "\xA3\xC1");
}

TEST(TextReplace, FoldingIsByteWiseSoTrailBytesInTheLetterRangeFoldToo) {
  EXPECT_EQ(replace_text("\xB0\x41", "\xB0\x61", "x", nullopt, nullopt, kFoldCase), "x");
  EXPECT_EQ(replace_text("\xB0\x41", "\xB0\x61", "x", nullopt, nullopt, kCaseSensitive), "\xB0\x41");
}

TEST(TextReplace, ATrailByteEqualToTheFindTextIsNotMatched) {
  EXPECT_EQ(replace_all("\x95\x5C"
                        "a\\b",
                        "\\", "/"),
            "\x95\x5C"
            "a/b");
}

TEST(TextReplace, AMatchNeverBeginsOnATrailByte) { EXPECT_EQ(replace_all("\x95\x5C\\", "\\\\", "/"), "\x95\x5C\\"); }

TEST(TextReplace, TwoByteCharactersAreMatchedAndReplacedWhole) {
  EXPECT_EQ(replace_all("\xB0\xB2\xD7\xB0\xB0\xB2", "\xB0\xB2", "-"), "-\xD7\xB0-");
}

TEST(TextReplace, AStartInsideATwoByteCharacterReadsItsTrailByteAsALeadByte) {
  // From byte 2 the scan takes B2 5C as one character, so the backslash stays.
  EXPECT_EQ(replace_text("\xB0\xB2\\", "\\", "/", 2, nullopt, kCaseSensitive), "\xB0\xB2\\");
}

TEST(TextReplace, ALeadByteTheScanMeetsBeforeTheTerminatorIsDropped) {
  EXPECT_EQ(replace_all("a-b\xB0", "-", "+"), "a+b");
  EXPECT_EQ(replace_all("ab\xB0", "x", "+"), "ab");
}

TEST(TextReplace, ALeadByteTheScanDoesNotReachIsKept) {
  // Two bytes of find text no longer fit at the last byte, which is copied as rest.
  EXPECT_EQ(replace_all("ab\xB0", "xy", "+"), "ab\xB0");
  EXPECT_EQ(replace_text("a-b\xB0", "-", "+", nullopt, 1, kCaseSensitive), "a+b\xB0");
}

TEST(TextReplace, ALoneLeadByteThatMatchesIsReplaced) { EXPECT_EQ(replace_all("ab\xB0", "\xB0", "+"), "ab+"); }

// 0x80 and 0xFF lead no character in code page 936: the byte after them is read on its own.
TEST(TextReplace, ByteEightyStandsAloneSoTheBackslashAfterItIsReplaced) {
  EXPECT_EQ(replace_all("a\x80\\b", "\\", "/"), "a\x80/b");
}

TEST(TextReplace, ByteFFStandsAloneSoTheFindTextAfterItIsReplaced) {
  EXPECT_EQ(replace_all("\xFF"
                        "ab\xFF",
                        "a", "x"),
            "\xFF"
            "xb\xFF");
}

TEST(FindLast, FindsTheLastBackslashOfASixBytePath) { EXPECT_EQ(find_last("C:\\a\\b", "\\", nullopt, false), 5); }

TEST(FindLast, GivesMinusOneWhenTheTextHasNoOccurrence) {
  EXPECT_EQ(find_last("C:ab", "\\", nullopt, false), -1);
  EXPECT_EQ(find_last("", "\\", nullopt, false), -1);
}

TEST(FindLast, ATrailByteEqualToTheFindTextIsNotMatched) {
  EXPECT_EQ(find_last("\x95\x5C"
                      "ab",
                      "\\", nullopt, false),
            -1);
  EXPECT_EQ(find_last("\\\x95\x5C", "\\", nullopt, false), 1);
  EXPECT_EQ(find_last("\x95\x5C\\", "\\", nullopt, false), 3);
}

TEST(FindLast, ByteEightyStandsAloneSoTheBackslashAfterItIsFound) {
  EXPECT_EQ(find_last("C:\\\x80\\x", "\\", nullopt, false), 5);
}

TEST(FindLast, ByteFFStandsAloneSoTheFindTextAfterItIsFound) {
  EXPECT_EQ(find_last("\xFF"
                      "ab",
                      "a", nullopt, false),
            2);
}

TEST(FindLast, FindsTwoByteCharacters) {
  EXPECT_EQ(find_last("\xB0\xB2\xD7\xB0\xB0\xB2"
                      "x",
                      "\xB0\xB2", nullopt, false),
            5);
}

TEST(FindLast, OverlappingOccurrencesAreAllSeen) { EXPECT_EQ(find_last("aaa", "aa", nullopt, false), 2); }

TEST(FindLast, TheStartLimitsTheSearchToTheBytesBeforeIt) {
  EXPECT_EQ(find_last("C:\\a\\b", "\\", 5, false), 3);
  EXPECT_EQ(find_last("C:\\a\\b", "\\", 6, false), 5);
}

TEST(FindLast, AnOccurrenceMustLieWhollyBeforeTheStart) {
  EXPECT_EQ(find_last("abcabc", "bc", 6, false), 2);
  EXPECT_EQ(find_last("abcabc", "bc", 7, false), 5);
}

TEST(FindLast, AStartOfOneOrLessSearchesNothing) {
  EXPECT_EQ(find_last("\\a", "\\", 1, false), -1);
  EXPECT_EQ(find_last("\\a", "\\", 0, false), -1);
  EXPECT_EQ(find_last("\\a", "\\", INT_MIN, false), -1);
}

TEST(FindLast, AStartBeyondTheEndSearchesTheWholeText) {
  EXPECT_EQ(find_last("a\\", "\\", 100, false), 2);
  EXPECT_EQ(find_last("a\\", "\\", INT_MAX, false), 2);
}

TEST(FindLast, AnEmptyFindTextIsFoundAtOneInANonEmptyWindow) {
  EXPECT_EQ(find_last("abc", "", nullopt, false), 1);
  EXPECT_EQ(find_last("abc", "", 2, false), 1);
  EXPECT_EQ(find_last("abc", "", 1, false), -1);
  EXPECT_EQ(find_last("", "", nullopt, false), -1);
}

TEST(FindLast, CaseInsensitiveFoldsAsciiLetters) {
  EXPECT_EQ(find_last("Setup.EXE", ".exe", nullopt, true), 6);
  EXPECT_EQ(find_last("Setup.EXE", ".exe", nullopt, false), -1);
}

TEST(FindLast, FoldingLeavesFullWidthLettersDistinct) {
  EXPECT_EQ(find_last("\xA3\xC1", "\xA3\xE1", nullopt, true), -1);
}

TEST(FindLast, ALeadByteAtTheEndOfTheWindowIsComparedAlone) {
  EXPECT_EQ(find_last("ab\xB0", "\xB0", nullopt, false), 3);
  EXPECT_EQ(find_last("ab\xB0\xB2", "\xB0", 4, false), 3);
}

TEST(LeftPart, TakesTheFirstBytes) { EXPECT_EQ(left_part("Trellimo", 4), "Trel"); }

TEST(LeftPart, ACountLargerThanTheTextGivesTheWholeText) {
  EXPECT_EQ(left_part("abc", 4), "abc");
  EXPECT_EQ(left_part("abc", INT_MAX), "abc");
}

TEST(LeftPart, ACountOfZeroOrLessGivesTheEmptyText) {
  EXPECT_EQ(left_part("abc", 0), "");
  EXPECT_EQ(left_part("abc", -3), "");
}

TEST(LeftPart, MayCutATwoByteCharacterInHalf) { EXPECT_EQ(left_part("\xB0\xB2\xD7\xB0", 3), "\xB0\xB2\xD7"); }

TEST(BlankText, IsCountSpaces) {
  EXPECT_EQ(blank_text(1), " ");
  EXPECT_EQ(blank_text(5), "     ");
}

TEST(BlankText, ACountBelowOneGivesTheEmptyText) {
  EXPECT_EQ(blank_text(0), "");
  EXPECT_EQ(blank_text(-1), "");
  EXPECT_EQ(blank_text(INT_MIN), "");
}

}  // namespace
