#include "regex/builtin_substitution.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"

namespace sonavid {
namespace {

struct Outcome {
  int count;
  std::string output;  // UTF-8, for readable failure messages
};

Outcome run(BuiltinSubstitution& engine, std::u16string_view command, std::u16string_view target) {
  SubstResult r = engine.subst(command, target);
  return {r.count, utf16ToUtf8(r.output)};
}

void expectSubst(std::u16string_view command, std::u16string_view target, int count,
                 const std::string& output) {
  BuiltinSubstitution engine;
  const Outcome got = run(engine, command, target);
  EXPECT_EQ(got.count, count) << utf16ToUtf8(command) << " on " << utf16ToUtf8(target);
  if (count > 0) {
    EXPECT_EQ(got.output, output) << utf16ToUtf8(command) << " on " << utf16ToUtf8(target);
  }
}

TEST(BuiltinSubstitution, DefaultTimeExpression) {
  const std::u16string_view command = u"s/^.*?, (.*?)\\..*$/\\1/";
  expectSubst(command, u"X, 205.3 more", 1, "205");
  expectSubst(command, u"MPEG1 Layer3, 128kbps, 44100Hz, 3:25 (205.4sec)", 1,
              "128kbps, 44100Hz, 3:25 (205");
  expectSubst(command, u"abc", 0, "");
  expectSubst(command, u"a, b", 0, "");
  expectSubst(command, u"", 0, "");
}

TEST(BuiltinSubstitution, DelimitersAndEscapedDelimiters) {
  expectSubst(u"s#a#b#", u"cat", 1, "cbt");
  expectSubst(u"s|a|b|", u"cat", 1, "cbt");
  expectSubst(u"s/\\//-/g", u"a/b/c", 2, "a-b-c");
  expectSubst(u"s/a/\\//", u"cat", 1, "c/t");
  expectSubst(u"s#\\##x#", u"a#b", 1, "axb");
  // A doubled backslash before the delimiter is a literal backslash; the delimiter still ends.
  expectSubst(u"s/\\\\/x/", u"a\\b", 1, "axb");
  expectSubst(u"s/a/\\\\/", u"cat", 1, "c\\t");
}

TEST(BuiltinSubstitution, InvalidCommandsGiveMinusOne) {
  for (std::u16string_view command :
       {u"", u"s", u"s/", u"s/a", u"s/a/", u"s/a/b", u"x/a/b/", u"S/a/b/", u" s/a/b/", u"s/a\\/b/",
        u"s/(/x/", u"s/[a/x/", u"s/a{2,1}/x/", u"s/*/x/", u"s/(?<n>a/x/", u"s/\\/"}) {
    BuiltinSubstitution engine;
    EXPECT_EQ(engine.subst(command, u"abc").count, -1) << utf16ToUtf8(command);
  }
}

TEST(BuiltinSubstitution, CountsWithAndWithoutGlobal) {
  expectSubst(u"s/a/x/", u"banana", 1, "bxnana");
  expectSubst(u"s/a/x/g", u"banana", 3, "bxnxnx");
  expectSubst(u"s/z/x/g", u"banana", 0, "");
  expectSubst(u"s/an/<$&>/g", u"banana", 2, "b<an><an>a");
}

TEST(BuiltinSubstitution, EmptyMatchesAdvanceOneCharacter) {
  expectSubst(u"s//x/", u"abc", 1, "xabc");
  expectSubst(u"s//x/g", u"abc", 4, "xaxbxcx");
  expectSubst(u"s//x/", u"", 1, "x");
  expectSubst(u"s/a*/x/g", std::u16string_view{}, 1, "x");
  expectSubst(u"s/^/>/", u"", 1, ">");
  expectSubst(u"s/x*/-/g", u"xab", 4, "--a-b-");
  expectSubst(u"s/$/!/", u"abc", 1, "abc!");
  // A surrogate pair is stepped over whole, never split.
  expectSubst(u"s//|/g", u"a\U00020BB7b", 4, "|a|\xF0\xA0\xAE\xB7|b|");
}

TEST(BuiltinSubstitution, FlagI) {
  expectSubst(u"s/abc/x/", u"ABC", 0, "");
  expectSubst(u"s/abc/x/i", u"ABC", 1, "x");
  expectSubst(u"s/ｂ/x/i", u"ａＢ", 1, "ａx");  // full-width letters fold too
}

TEST(BuiltinSubstitution, AnchorsWithoutAndWithFlagM) {
  // Without m: ^ only at the start, $ at the end or before a final line feed.
  expectSubst(u"s/^b/x/", u"a\nb", 0, "");
  expectSubst(u"s/a$/x/", u"a\nb", 0, "");
  expectSubst(u"s/b$/x/", u"a\nb\n", 1, "a\nx\n");
  expectSubst(u"s/b$/x/", u"b\n\n", 0, "");
  expectSubst(u"s/^/>/g", u"a\nb", 1, ">a\nb");
  // With m: at every line.
  expectSubst(u"s/^b/x/m", u"a\nb", 1, "a\nx");
  expectSubst(u"s/a$/x/m", u"a\nb", 1, "x\nb");
  expectSubst(u"s/^/>/gm", u"a\nb", 2, ">a\n>b");
  // \A and \z keep their meaning either way.
  expectSubst(u"s/\\Ab/x/m", u"a\nb", 0, "");
  expectSubst(u"s/a\\z/x/m", u"a\nb", 0, "");
}

TEST(BuiltinSubstitution, FlagSLetsDotMatchLineFeed) {
  expectSubst(u"s/a.b/x/", u"a\nb", 0, "");
  expectSubst(u"s/a.b/x/s", u"a\nb", 1, "x");
  expectSubst(u"s/.+/x/", u"ab\ncd", 1, "x\ncd");
  expectSubst(u"s/.+/x/s", u"ab\ncd", 1, "x");
}

TEST(BuiltinSubstitution, FlagXAndUnknownFlags) {
  expectSubst(u"s/a b # comment/x/", u"a b # comment", 1, "x");
  expectSubst(u"s/a b # comment/x/x", u"ab", 1, "x");
  expectSubst(u"s/a/x/kqz9", u"aa", 1, "xa");
  expectSubst(u"s/a/x/gimsx", u"AA", 2, "xx");
}

TEST(BuiltinSubstitution, GroupsByNumberAndByName) {
  expectSubst(u"s/(?<min>\\d+):(?<sec>\\d+)/${sec}-$+{min}-$1/", u"3:25", 1, "25-3-3");
  // Numbered groups keep their numbers beside named ones.
  expectSubst(u"s/(?<a>x)(y)/$2$1/", u"xy", 1, "yx");
  expectSubst(u"s/(a)|b/[$1]/g", u"ab", 2, "[a][]");
}

TEST(BuiltinSubstitution, JapaneseText) {
  expectSubst(u"s/(.+)・(.+)/$2・$1/", u"山田・花子", 1, "花子・山田");
  // A character outside the BMP is one character to the engine.
  expectSubst(u"s/^(.)./$1/", u"\U00020BB7野家", 1, "\xF0\xA0\xAE\xB7家");
  expectSubst(u"s/𠮷/吉/g", u"𠮷野家の𠮷", 2, "吉野家の吉");
}

TEST(BuiltinSubstitution, CachedCommandsGiveTheSameResults) {
  BuiltinSubstitution engine;
  // More distinct commands than the cache holds, each used again after the others.
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < static_cast<int>(kCompiledCommandCacheSize) + 5; ++i) {
      const std::u16string command = u"s/(" + toU16(i) + u")/<$1>/";
      const Outcome got = run(engine, command, u"x" + toU16(i) + u"y");
      EXPECT_EQ(got.count, 1);
      EXPECT_EQ(got.output, "x<" + std::to_string(i) + ">y");
    }
  }
  EXPECT_EQ(run(engine, u"s/(/x/", u"a").count, -1);
  EXPECT_EQ(run(engine, u"s/(/x/", u"a").count, -1);
}

}  // namespace
}  // namespace sonavid
