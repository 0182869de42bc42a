#include "regex/subst_command.h"

#include <gtest/gtest.h>

namespace sonavid::regex {
namespace {

void expectParts(std::u16string_view command, std::u16string_view pattern,
                 std::u16string_view replacement) {
  const auto c = parseSubstCommand(command);
  ASSERT_TRUE(c) << "refused a command of " << command.size() << " units";
  EXPECT_EQ(c->pattern, pattern);
  EXPECT_EQ(c->replacement, replacement);
}

TEST(SubstCommand, SplitsThePartsAtTheDelimiter) {
  expectParts(u"s/a+/b/", u"a+", u"b");
  expectParts(u"s///", u"", u"");
  expectParts(u"sgagbgg", u"a", u"b");  // any character delimits, letters too
  // Before the delimiter a backslash yields the delimiter; other sequences stay as they are.
  expectParts(u"s/a\\/b/c\\/d/", u"a/b", u"c/d");
  expectParts(u"s/\\d\\.\\\\/\\1\\n\\\\/", u"\\d\\.\\\\", u"\\1\\n\\\\");
  // "\\" then the delimiter: a kept backslash pair, and the delimiter ends the part.
  expectParts(u"s/a\\\\/b/", u"a\\\\", u"b");
  // A backslash delimiter cannot be escaped.
  expectParts(u"s\\a\\b\\", u"a", u"b");
  // A surrogate pair delimits as one character; a lone surrogate as one unit.
  expectParts(u"s\U0001F3B5a\U0001F3B5\U0001F3B5", u"a", u"");
  expectParts(
      u"s\xD83C"
      u"a\xD83C"
      u"b\xD83C",
      u"a", u"b");
  // A final backslash leaves the part open.
  EXPECT_FALSE(parseSubstCommand(u"s/a/b\\"));
  EXPECT_FALSE(parseSubstCommand(u"s\U0001F3B5a\U0001F3B5"));
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

}  // namespace
}  // namespace sonavid::regex
