#include "regex/perl_pattern.h"

#include <gtest/gtest.h>

#include "regex/builtin_substitution.h"

namespace sonavid::regex {
namespace {

TEST(PerlPattern, ByteEscapesBecomeCodePoints) {
  EXPECT_EQ(adaptPerlPattern(u"\\x41\\x7\\xfF"), u"\\x{41}\\x{7}\\x{FF}");
  EXPECT_EQ(adaptPerlPattern(u"\\x414"), u"\\x{41}4");
  EXPECT_EQ(adaptPerlPattern(u"\\0\\07\\012\\0123"), u"\\x{0}\\x{7}\\x{A}\\x{A}3");
  EXPECT_EQ(adaptPerlPattern(u"[\\x00-\\x1f]"), u"[\\x{0}-\\x{1F}]");
}

TEST(PerlPattern, HorizontalSpaceClasses) {
  EXPECT_EQ(adaptPerlPattern(u"\\h+[\\H]"), u"\\p{Blank}+[\\P{Blank}]");
  BuiltinSubstitution engine;
  const SubstResult r = engine.subst(u"s/\\h+/_/g", u"a \t\u3000b\nc");
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.output, u"a_b\nc");
  EXPECT_EQ(engine.subst(u"s/\\H+/_/", u"ab c").output, u"_ c");
}

TEST(PerlPattern, LeavesEverythingElse) {
  for (std::u16string_view p : {u"\\x{263A}", u"\\xg", u"\\\\x41", u"\\1\\12", u"\\Q\\x41\\E",
                                u"\\Q\\x41", u"\\Q\\h", u"\\\\h", u"a\\", u"\\d+\\.\\s", u""}) {
    EXPECT_EQ(adaptPerlPattern(p), p);
  }
  EXPECT_EQ(adaptPerlPattern(u"\\Q\\x41\\E\\x41"), u"\\Q\\x41\\E\\x{41}");
}

TEST(PerlPattern, EscapesMatchCharactersInSubstitutions) {
  BuiltinSubstitution engine;
  SubstResult r = engine.subst(u"s/\\x41\\x{3042}/-/", u"xAあy");
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.output, u"x-y");
  r = engine.subst(u"s/[\\x00-\\x1F]+/ /g", u"a\tb\r\nc");
  EXPECT_EQ(r.count, 2);
  EXPECT_EQ(r.output, u"a b c");
  r = engine.subst(u"s/\\012/|/", u"a\nb");
  EXPECT_EQ(r.output, u"a|b");
  r = engine.subst(u"s/\\Q.\\x41\\E/-/", u"A.\\x41");
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.output, u"A-");
}

}  // namespace
}  // namespace sonavid::regex
