#include <gtest/gtest.h>

#include <windows.h>

#include "base/codepage.h"
#include "base/text.h"

TEST(TextToNumber, ReadsLeadingNumberAfterNarrowingFullWidthForms) {
  struct Case {
    const char* text;
    double asDouble;
    int asInt;
  };
  const Case cases[] = {
      {"", 0, 0},
      {"42", 42, 42},
      {"１２３", 123, 123},        // full-width digits
      {"－７．５", -7.5, -7},      // full-width minus and point
      {"３.２５ＫＢ", 3.25, 3},     // mixed forms, trailing text ignored
      {"　８", 8, 8},              // ideographic space is skipped like a blank
      {"abc", 0, 0},
      {"12abc", 12, 12},
      {"中文", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(TextToDouble(c.text), c.asDouble) << c.text;
    EXPECT_EQ(TextToInt(c.text), c.asInt) << c.text;
  }
}

TEST(TextToNumber, LeavesOtherDoubleByteCharactersAlone) {
  // "中" is D6 D0 in GBK; its trail byte must not be read as a character of its own.
  EXPECT_EQ(NarrowFullWidth("中Ａ"), "中A");
  EXPECT_EQ(NarrowFullWidth("\xA3"), "\xA3");  // a lone lead byte at the end stays
}

TEST(JoinTexts, ConcatenatesAndTreatsAbsentAsEmpty) {
  EXPECT_EQ(JoinTexts({}), "");
  EXPECT_EQ(JoinTexts({"a", "", "b"}), "ab");
  EXPECT_EQ(JoinTexts({TextOf(nullptr), "盘", TextOf(nullptr)}), "盘");
  EXPECT_EQ(TextOf(nullptr), "");
}

TEST(FindLastCharGbk, SkipsTrailBytesThatLookLikeTheCharacter) {
  // "表" is B1 ED; "\x95\x5C" is a GBK character whose trail byte is a backslash.
  const std::string path = "C:\\dir\\\x95\x5C";
  EXPECT_EQ(FindLastCharGbk(path, '\\'), 6u);
  EXPECT_EQ(FindLastCharGbk("none", '\\'), std::string_view::npos);
}

TEST(UpperAsciiLetters, LeavesDoubleByteCharactersAlone) {
  EXPECT_EQ(UpperAsciiLetters("abc-xyz"), "ABC-XYZ");
  // "杭" is BA BC; "朋" is C5 F3; in "乙" (D2 D2) nothing changes. Trail bytes 0x61..0x7A
  // are letters in ASCII: "擤" is DF 61 and must stay.
  EXPECT_EQ(UpperAsciiLetters("\xDF\x61" "a"), "\xDF\x61" "A");
  EXPECT_EQ(UpperAsciiLetters("a\xB0\x7A" "z"), "A\xB0\x7A" "Z");
}

TEST(LowerAsciiLetters, LeavesDoubleByteCharactersAlone) {
  EXPECT_EQ(LowerAsciiLetters("CommonAppData"), "commonappdata");
  // "\x95\x41" is a GBK character whose trail byte is an 'A': it stays.
  EXPECT_EQ(LowerAsciiLetters("A\x95\x41" "B"), "a\x95\x41" "b");
}

TEST(CutAtCharBoundary, NeverSplitsADoubleByteCharacter) {
  EXPECT_EQ(CutAtCharBoundary("abcdef", 4), "abcd");
  EXPECT_EQ(CutAtCharBoundary("ab", 4), "ab");
  EXPECT_EQ(CutAtCharBoundary("a岚石", 4), "a岚");  // the second character would end at byte 5
  EXPECT_EQ(CutAtCharBoundary("岚石", 4), "岚石");
  EXPECT_EQ(CutAtCharBoundary("岚", 1), "");
}

TEST(CodePage, RoundTripsGbkWhateverTheAnsiCodePage) {
  const std::string gbk = "岚石万能下载工具";
  std::wstring wide = Widen(gbk);
  EXPECT_EQ(wide, L"\u5c9a\u77f3\u4e07\u80fd\u4e0b\u8f7d\u5de5\u5177");
  EXPECT_EQ(Narrow(wide), gbk);
  EXPECT_EQ(Widen(""), L"");
}
