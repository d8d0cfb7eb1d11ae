// The conversions at the edge to Windows, against the system's own code page 936:
// GBK bytes to UTF-16 and back, whatever code page the process runs with.
#include <gtest/gtest.h>

#include "frame/gbk_wide.h"

namespace {

using frame::gbk_from_wide;
using frame::gbk_from_wide_or_marked;
using frame::wide_from_gbk;

// "安装位置" and "卸载Pandrel.lnk" as the installer carries them.
constexpr char kInstallPlaceGbk[] = "\xB0\xB2\xD7\xB0\xCE\xBB\xD6\xC3";
constexpr char kUninstallShortcutGbk[] = "\xD0\xB6\xD4\xD8Pandrel.lnk";
// Thai and an emoji (a surrogate pair): neither has a GBK form.
constexpr wchar_t kThaiKo[] = L"\x0E01";
constexpr wchar_t kGrinningFace[] = L"\xD83D\xDE00";

TEST(GbkToWide, ConvertsChineseAsciiAndEmptyTexts) {
  EXPECT_EQ(wide_from_gbk(kInstallPlaceGbk), L"安装位置");
  EXPECT_EQ(wide_from_gbk(kUninstallShortcutGbk), L"卸载Pandrel.lnk");
  EXPECT_EQ(wide_from_gbk("C:\\Program Files (x86)\\Trellimo"), L"C:\\Program Files (x86)\\Trellimo");
  EXPECT_EQ(wide_from_gbk(""), L"");
}

// A trail byte may be '\' or a letter: it belongs to its character, not to the path.
TEST(GbkToWide, KeepsTrailBytesThatLookLikeAscii) {
  EXPECT_EQ(wide_from_gbk("\x95\x5C"), L"\x661E");  // ends in '\'
  EXPECT_EQ(wide_from_gbk("\x81\x41"), L"\x4E04");  // ends in 'A'
  EXPECT_EQ(wide_from_gbk("C:\\\x95\x5C\\x"), L"C:\\\x661E\\x");
}

TEST(GbkToWide, TakesTheSingleBytes0x80And0xFF) {
  EXPECT_EQ(wide_from_gbk("\x80"), L"\x20AC") << "the euro sign";
  EXPECT_EQ(wide_from_gbk("a\xFF"
                          "b"),
            L"a\xF8F5"
            L"b")
      << "a private-use character of its own";
  EXPECT_EQ(gbk_from_wide(L"\xF8F5"), std::optional<std::string>("\xFF"));
}

// A lead byte takes the byte after it, as the text services count characters
// (frame/gbk.h); a pair that is no GBK character becomes one '?', and so does a
// lead byte that ends the text.
TEST(GbkToWide, MarksEachInvalidPairWithOneQuestionMark) {
  EXPECT_EQ(wide_from_gbk("ab\xB0"), L"ab?");
  EXPECT_EQ(wide_from_gbk("\xB0 x"), L"?x") << "a blank cannot trail";
  EXPECT_EQ(wide_from_gbk("\xB0\x7F"
                          "x"),
            L"?x")
      << "0x7F cannot trail";
  EXPECT_EQ(wide_from_gbk("\xB0\xB2\xB0"), L"\x5B89?") << "a whole character, then a lead byte alone";
}

TEST(WideToGbk, RoundTripsEveryGbkText) {
  EXPECT_EQ(gbk_from_wide(L"安装位置"), std::optional<std::string>(kInstallPlaceGbk));
  EXPECT_EQ(gbk_from_wide(L"卸载Pandrel.lnk"), std::optional<std::string>(kUninstallShortcutGbk));
  EXPECT_EQ(gbk_from_wide(L""), std::optional<std::string>(""));
  EXPECT_EQ(gbk_from_wide(L"\x20AC"), std::optional<std::string>("\x80"));
  EXPECT_EQ(gbk_from_wide(L"\x661E"), std::optional<std::string>("\x95\x5C"));
  const std::string all_ascii = [] {
    std::string text;
    for (char c = 1; c > 0; ++c) text += c;
    return text;
  }();
  EXPECT_EQ(gbk_from_wide(wide_from_gbk(all_ascii)), std::optional<std::string>(all_ascii));
}

TEST(WideToGbk, RefusesCharactersWithoutAGbkForm) {
  EXPECT_EQ(gbk_from_wide(std::wstring(L"C:\\") + kThaiKo), std::nullopt);
  EXPECT_EQ(gbk_from_wide(std::wstring(L"C:\\") + kGrinningFace), std::nullopt);
  EXPECT_EQ(gbk_from_wide(L"a\xD800"
                          L"b"),
            std::nullopt)
      << "half a surrogate pair";
  EXPECT_EQ(gbk_from_wide(L"\x00C1"), std::nullopt) << "not the look-alike A";
}

TEST(WideToGbk, MarksCharactersWithoutAGbkFormWhenOnlyShown) {
  EXPECT_EQ(gbk_from_wide_or_marked(std::wstring(L"a") + kThaiKo + L"b"), "a?b");
  EXPECT_EQ(gbk_from_wide_or_marked(L"安装"), std::string(kInstallPlaceGbk, 4));
  EXPECT_EQ(gbk_from_wide_or_marked(L""), "");
}

}  // namespace
