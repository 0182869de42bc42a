#include "regex/replacement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"

namespace sonavid::regex {
namespace {

// The match of "(b)(c)?(x)?" in "abcd": whole "bc", group 1 "b", group 2 "c", group 3 unmatched.
constexpr std::u16string_view kText = u"abcd";
const std::vector<GroupSpan> kGroups = {{1, 3}, {1, 2}, {2, 3}, {-1, -1}};

std::string expand(std::u16string_view replacement, int groupCount = 3,
                   const Replacement::GroupByName& byName = {}) {
  const Replacement r = Replacement::parse(replacement, groupCount, byName);
  std::u16string out;
  EXPECT_TRUE(r.expand(kText, kGroups, out, 1000));
  return utf16ToUtf8(out);
}

TEST(Replacement, GroupReferences) {
  EXPECT_EQ(expand(u"[\\1|\\2]"), "[b|c]");
  EXPECT_EQ(expand(u"[$1|$2]"), "[b|c]");
  EXPECT_EQ(expand(u"[${1}|${2}]"), "[b|c]");
  EXPECT_EQ(expand(u"[$&|$0|${0}]"), "[bc|bc|bc]");
  EXPECT_EQ(expand(u"[$`|$']"), "[a|d]");
  // Unmatched and missing groups insert nothing.
  EXPECT_EQ(expand(u"[\\3|$3|\\9|$9|${12}|${99999999999}]"), "[|||||]");
  // $+ is the highest-numbered group that took part.
  EXPECT_EQ(expand(u"[$+]"), "[c]");
  std::u16string out;
  const std::vector<GroupSpan> onlyWhole = {{1, 3}};
  Replacement::parse(u"[$+]", 0).expand(kText, onlyWhole, out, 1000);
  EXPECT_EQ(out, u"[]");
}

TEST(Replacement, MultiDigitGroupNumbers) {
  std::vector<GroupSpan> twelve(13, GroupSpan{0, 1});
  twelve[12] = GroupSpan{3, 4};
  auto run = [&](std::u16string_view text, int groupCount) {
    std::u16string out;
    Replacement::parse(text, groupCount).expand(kText, twelve, out, 1000);
    return utf16ToUtf8(out);
  };
  // A backslash reads a second digit only when that group exists.
  EXPECT_EQ(run(u"\\12", 12), "d");
  EXPECT_EQ(run(u"\\12", 11), "a2");
  EXPECT_EQ(run(u"\\123", 12), "d3");
  // "$" reads every digit, as Perl does: a group the pattern lacks inserts nothing, and a
  // number too large for any count neither wraps nor names a small group.
  EXPECT_EQ(run(u"$12", 12), "d");
  EXPECT_EQ(run(u"[$12|$99|$123]", 11), "[||]");
  EXPECT_EQ(run(u"[$4294967297|$4294967308|$99999999999999999999]", 12), "[||]");
  EXPECT_EQ(run(u"$01|$0x", 12), "a1|ax");
  EXPECT_EQ(run(u"${1}2", 12), "a2");
}

TEST(Replacement, NamedGroups) {
  auto byName = [](std::u16string_view name) { return name == u"second" ? 2 : -1; };
  EXPECT_EQ(expand(u"<${second}|$+{second}|${third}>", 3, byName), "<c|c|>");
  // Without a name lookup the reference is dropped.
  EXPECT_EQ(expand(u"<${second}>"), "<>");
}

TEST(Replacement, EscapedCharacters) {
  EXPECT_EQ(expand(u"\\t\\n\\r\\f\\a\\e"), "\t\n\r\f\a\x1B");
  EXPECT_EQ(expand(u"\\x41\\x4a\\x7"), "AJ\x07");
  EXPECT_EQ(expand(u"\\x{263A}\\x{1F600}"), "\u263A\U0001F600");
  EXPECT_EQ(expand(u"\\0101\\012\\07"), "\b1\n\a");
  // A code point of zero is dropped; one beyond Unicode becomes U+FFFD.
  EXPECT_EQ(expand(u"a\\0b\\x00c\\x{0}d"), "abcd");
  EXPECT_EQ(expand(u"\\x{110000}"), "\uFFFD");
  // \x without digits, or with a brace that holds no hex number, is read as plain text.
  EXPECT_EQ(expand(u"\\xg\\x{zz}\\x{12"), "xgx{zz}x{12");
  // Any other escaped character is itself; a final backslash stays.
  EXPECT_EQ(expand(u"\\$1\\\\\\q\\/\\}"), "$1\\q/}");
  EXPECT_EQ(expand(u"end\\"), "end\\");
}

TEST(Replacement, DollarThatStartsNothing) {
  EXPECT_EQ(expand(u"$"), "$");
  EXPECT_EQ(expand(u"5$ $x ${ ${} ${a b} ${1 $+{"), "5$ $x ${ ${} ${a b} ${1 $+{");
}

TEST(Replacement, CaseModifiersChangeAsciiLettersOnly) {
  EXPECT_EQ(expand(u"\\U$1x\\E$1"), "BXb");
  EXPECT_EQ(expand(u"\\LAB$&\\EC"), "abbcC");
  EXPECT_EQ(expand(u"\\u$1$2"), "Bc");
  EXPECT_EQ(expand(u"\\Uab\\lCD"), "ABcD");
  EXPECT_EQ(expand(u"\\u\\LHELLO"), "Hello");
  EXPECT_EQ(expand(u"\\L\\uhELLO"), "Hello");
  EXPECT_EQ(expand(u"\\Uäöü ａ"), "äöü ａ");
  // \u before an empty group waits for the next character.
  EXPECT_EQ(expand(u"\\u$3x"), "X");
}

TEST(Replacement, OutputCap) {
  const Replacement r = Replacement::parse(u"$&$&$&", 3);
  std::u16string out = u"xx";
  EXPECT_TRUE(r.expand(kText, kGroups, out, 8));
  EXPECT_EQ(out, u"xxbcbcbc");
  out = u"xx";
  EXPECT_FALSE(r.expand(kText, kGroups, out, 7));
  EXPECT_LE(out.size(), 7u);
}

}  // namespace
}  // namespace sonavid::regex
