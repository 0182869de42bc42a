#include "regex/subst_command.h"

#include <gtest/gtest.h>

namespace sonavid::regex {
namespace {

TEST(SubstCommand, SplitsThePartsAtTheDelimiter) {
  auto c = parseSubstCommand(u"s/a+/b/");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->pattern, u"a+");
  EXPECT_EQ(c->replacement, u"b");

  c = parseSubstCommand(u"s,x,,");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->pattern, u"x");
  EXPECT_EQ(c->replacement, u"");

  c = parseSubstCommand(u"s///");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->pattern, u"");
  EXPECT_EQ(c->replacement, u"");

  // Any character may delimit, letters and the flag letters included.
  c = parseSubstCommand(u"sgagbgg");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->pattern, u"a");
  EXPECT_EQ(c->replacement, u"b");
  EXPECT_TRUE(c->flags.global);
}

TEST(SubstCommand, BackslashBeforeTheDelimiterYieldsTheDelimiter) {
  auto c = parseSubstCommand(u"s/a\\/b/c\\/d/");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->pattern, u"a/b");
  EXPECT_EQ(c->replacement, u"c/d");

  // Other sequences stay as they are, for the engine and the expander.
  c = parseSubstCommand(u"s/\\d\\.\\\\/\\1\\n\\\\/");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->pattern, u"\\d\\.\\\\");
  EXPECT_EQ(c->replacement, u"\\1\\n\\\\");

  // "\\" then the delimiter: a kept backslash pair, and the delimiter ends the part.
  c = parseSubstCommand(u"s/a\\\\/b/");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->pattern, u"a\\\\");
  EXPECT_EQ(c->replacement, u"b");

  // A lone backslash at the very end is kept and the part stays open.
  EXPECT_FALSE(parseSubstCommand(u"s/a/b\\"));
}

TEST(SubstCommand, BackslashDelimiterCannotBeEscaped) {
  auto c = parseSubstCommand(u"s\\a\\b\\g");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->pattern, u"a");
  EXPECT_EQ(c->replacement, u"b");
  EXPECT_TRUE(c->flags.global);
}

TEST(SubstCommand, SurrogatePairDelimiter) {
  auto c = parseSubstCommand(u"s\U0001F3B5a\U0001F3B5\U0001F3B5i");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->pattern, u"a");
  EXPECT_EQ(c->replacement, u"");
  EXPECT_TRUE(c->flags.ignoreCase);
  // A lone high surrogate delimits as a single unit.
  c = parseSubstCommand(
      u"s\xD83C"
      u"a\xD83C"
      u"b\xD83C");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->pattern, u"a");
  EXPECT_EQ(c->replacement, u"b");
}

TEST(SubstCommand, Flags) {
  auto c = parseSubstCommand(u"s/a/b/");
  ASSERT_TRUE(c);
  EXPECT_FALSE(c->flags.global || c->flags.ignoreCase || c->flags.multiLine || c->flags.dotAll ||
               c->flags.extended);

  c = parseSubstCommand(u"s/a/b/xsmig");
  ASSERT_TRUE(c);
  EXPECT_TRUE(c->flags.global && c->flags.ignoreCase && c->flags.multiLine && c->flags.dotAll &&
              c->flags.extended);

  // Unknown letters and other characters are ignored, even a further delimiter.
  c = parseSubstCommand(u"s/a/b/k/oG e");
  ASSERT_TRUE(c);
  EXPECT_FALSE(c->flags.global || c->flags.ignoreCase || c->flags.multiLine || c->flags.dotAll ||
               c->flags.extended);
}

TEST(SubstCommand, RefusesWhatIsNotASubstitution) {
  for (std::u16string_view text : {u"", u"s", u"s/", u"s/a", u"s/a/b", u"s/a\\/b/", u"m/a/b/",
                                   u"S/a/b/", u" s/a/b/", u"/a/b/", u"s\U0001F3B5a\U0001F3B5"}) {
    EXPECT_FALSE(parseSubstCommand(text)) << "accepted a command of " << text.size() << " units";
  }
}

}  // namespace
}  // namespace sonavid::regex
