#include "common/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace sonavid {
namespace {

TEST(Text, Utf8RoundTripIncludingSurrogatePairs) {
  const std::u16string text = u"abc 日本語 \U0001F3B5";
  EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(text)), text);
  EXPECT_EQ(utf16ToUtf8(u"é"), "\xC3\xA9");
}

TEST(Text, InvalidUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(utf8ToUtf16("a\xFF"
                        "b"),
            u"a\uFFFDb");
  EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong '/'
  EXPECT_EQ(utf8ToUtf16("\xE6\x97"), u"\uFFFD\uFFFD");            // cut short
  EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
}

TEST(Text, FileNameBytesSurviveTheRoundTripWhetherOrNotTheyAreUtf8) {
  for (const std::string bytes : {"caf\xC3\xA9 \xF0\x9F\x8E\xB5.mp3", "\x93\xFA\x96\x7B.mp3",
                                  "\xED\xA0\x80\xC0\xAF\xE6\x97", "\xFF"}) {
    EXPECT_EQ(utf16ToFileNameBytes(fileNameBytesToUtf16(bytes)), bytes);
  }
  EXPECT_EQ(fileNameBytesToUtf16("\x93\xFA"
                                 "a"),
            u"\xDC93\xDCFA"
            "a");
  EXPECT_EQ(fileNameBytesToUtf16("caf\xC3\xA9"), u"café");
}

TEST(Text, MultiByteUtf8NeedsOneMultiByteSequenceAndNoErrors) {
  EXPECT_TRUE(isMultiByteUtf8("caf\xC3\xA9"));
  EXPECT_FALSE(isMultiByteUtf8("plain ascii"));
  EXPECT_FALSE(isMultiByteUtf8(""));
  EXPECT_FALSE(isMultiByteUtf8("\x83\x65\x83\x58\x83\x67"));  // Shift-JIS "テスト"
  EXPECT_FALSE(isMultiByteUtf8("caf\xE9"));                   // Latin-1
}

TEST(Text, AsciiOnlyCaseFolding) {
  EXPECT_EQ(asciiLower(u"MP3 ÄÖ ＭＰ"), u"mp3 ÄÖ ＭＰ");
  EXPECT_TRUE(equalsIgnoreAsciiCase(u"Def01", u"DEF01"));
  EXPECT_FALSE(equalsIgnoreAsciiCase(u"Def01", u"Def1"));
}

TEST(Text, ReplaceAllIsLeftToRightWithoutOverlap) {
  std::u16string text = u"128kbits/s, 64kb/s, aaa";
  replaceAll(text, u"bits/s", u"bps");
  replaceAll(text, u"b/s", u"bps");
  replaceAll(text, u"aa", u"b");
  EXPECT_EQ(text, u"128kbps, 64kbps, ba");
  // Same length (done in place): a replacement never makes a match of its own.
  std::u16string time = u"01:02:03 aab";
  replaceAll(time, u":", u"'");
  replaceAll(time, u"ab", u"ba");
  replaceAll(time, u"aa", u"ab");
  EXPECT_EQ(time, u"01'02'03 aba");
  std::u16string unchanged = u"x";
  replaceAll(unchanged, u"", u"y");
  EXPECT_EQ(unchanged, u"x");
}

TEST(Text, DecimalDigitsWithLeadingZeros) {
  std::u16string out = u"t=";
  appendDecimal(out, 0);
  appendDecimal(out, 7, 2);
  appendDecimal(out, 123, 2);
  appendDecimal(out, UINT64_MAX);
  EXPECT_EQ(out, u"t=00712318446744073709551615");
  out.clear();
  appendDecimal(out, 5, 99);  // padding is capped at the widest number
  EXPECT_EQ(out, std::u16string(19, u'0') + u"5");
}

TEST(Text, ShortTextLeavesOutWhatDoesNotFit) {
  EXPECT_EQ(ShortText<32>().ascii("r=").decimal(7, 3).ascii(", ").decimal(UINT64_MAX).str(),
            u"r=007, 18446744073709551615");
  EXPECT_EQ(ShortText<8>().ascii("abc").decimal(12345678).ascii("x").str(), u"abc12345");
  EXPECT_EQ(ShortText<4>().ascii("abcdef").decimal(1).str(), u"abcd");
}

// Frame rates and lengths in format texts read as printf's "%.3f" and "%.6f" write them: exact
// ties (to the even digit), long mantissas, and the values the function leaves to printf.
TEST(Text, FixedDecimalsReadAsPrintfWritesThem) {
  const double values[] = {0.0,
                           -0.0,
                           0.0005,
                           0.0015,
                           0.0625,
                           2.5,
                           25.0,
                           30000 / 1001.0,
                           24000 / 1001.0,
                           1e9 / 41708333.0,
                           1e-300,
                           4.9e-324,
                           123456.7890625,
                           9.9999995,
                           1e14 + 0.5,
                           -1.25,
                           1e300,
                           INFINITY,
                           NAN};
  for (const double value : values) {
    for (const int decimals : {0, 3, 6}) {
      std::u16string out = u"=";
      appendFixedDecimal(out, value, decimals);
      char expected[512];
      std::snprintf(expected, sizeof expected, "=%.*f", decimals, value);
      EXPECT_EQ(utf16ToUtf8(out), expected) << value << " with " << decimals << " decimals";
    }
  }
}

TEST(Text, DirectoryPartKeepsTheLastSeparator) {
  EXPECT_EQ(directoryPart(u"C:\\a\\b.ini"), u"C:\\a\\");
  EXPECT_EQ(directoryPart(u"/x/y/z"), u"/x/y/");
  EXPECT_EQ(directoryPart(u"b.ini"), u"");
}

}  // namespace
}  // namespace sonavid
