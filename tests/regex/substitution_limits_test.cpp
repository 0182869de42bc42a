// Inputs that must come back with a defined result instead of a hang, a crash or an unbounded
// allocation. No test measures time: each only has to return.
#include <gtest/gtest.h>

#include <string>

#include "regex/builtin_substitution.h"

namespace sonavid {
namespace {

TEST(SubstitutionLimits, LargestTargetIsHandledLongerIsLeftAlone) {
  BuiltinSubstitution engine;
  const std::u16string largest(kMaxSubstTargetUnits, u'a');
  SubstResult r = engine.subst(u"s/a/b/g", largest);
  EXPECT_EQ(r.count, static_cast<int>(kMaxSubstTargetUnits));
  EXPECT_EQ(r.output, std::u16string(kMaxSubstTargetUnits, u'b'));

  r = engine.subst(u"s/a$/z/", largest);
  ASSERT_EQ(r.count, 1);
  EXPECT_EQ(r.output.back(), u'z');

  EXPECT_EQ(engine.subst(u"s/a/b/", largest + u"a").count, 0);
}

TEST(SubstitutionLimits, RunawayBacktrackingGivesUp) {
  BuiltinSubstitution engine;
  const std::u16string target = std::u16string(40, u'a') + u"!";
  EXPECT_EQ(engine.subst(u"s/(a|aa)+$/x/", target).count, 0);
  // Matches found before the search gave up are not applied either.
  EXPECT_EQ(engine.subst(u"s/^a|(a|aa)+$/x/g", target).count, 0);
  EXPECT_EQ(engine
                .subst(u"s/^(\\w+\\s?)*$/x/",
                       u"An input string that takes a long time or even makes this regex hang!")
                .count,
            0);
  // The engine is still fine afterwards.
  EXPECT_EQ(engine.subst(u"s/!/?/", target).count, 1);
}

TEST(SubstitutionLimits, QuadraticWorkOnALargeTextGivesUp) {
  BuiltinSubstitution engine;
  const std::u16string target(kMaxSubstTargetUnits, u'a');
  EXPECT_EQ(engine.subst(u"s/.(?=.*z)/x/g", target).count, 0);
  // Deep backtracking stacks stop at their cap: a result of 0 or a real match, no crash.
  const SubstResult r = engine.subst(u"s/(?:a|b)*$/x/", target);
  EXPECT_GE(r.count, 0);
  EXPECT_LE(r.count, 1);
}

TEST(SubstitutionLimits, OutputBeyondTheCapIsAbandoned) {
  BuiltinSubstitution engine;
  const std::u16string target(kMaxSubstTargetUnits, u'a');
  EXPECT_EQ(engine.subst(u"s/a/$&$&$&$&$&/g", target).count, 0);
  // Within the cap it works.
  EXPECT_EQ(engine.subst(u"s/a/$&$&$&$&/g", target).count, static_cast<int>(kMaxSubstTargetUnits));
  // One expansion that alone is too large.
  std::u16string many = u"s/.*/";
  for (int i = 0; i < 8; ++i) many += u"$&";
  EXPECT_EQ(engine.subst(many + u"/", target).count, 0);
}

TEST(SubstitutionLimits, OverlongCommandIsRefused) {
  BuiltinSubstitution engine;
  std::u16string command = u"s/a/";
  command += std::u16string(kMaxSubstCommandUnits - command.size() - 1, u'b');
  command += u"/";
  EXPECT_EQ(engine.subst(command, u"a").count, 1);
  command.insert(4, u"b");
  EXPECT_EQ(engine.subst(command, u"a").count, -1);
}

TEST(SubstitutionLimits, DeeplyNestedPatterns) {
  BuiltinSubstitution engine;
  auto nested = [](int depth) {
    std::u16string p;
    for (int i = 0; i < depth; ++i) p += u"(?:a|";
    p += u"a";
    for (int i = 0; i < depth; ++i) p += u")*";
    return u"s/" + p + u"/x/";
  };
  EXPECT_EQ(engine.subst(nested(90), u"aaa").count, 1);
  EXPECT_EQ(engine.subst(nested(20000), u"aaa").count, -1);
  std::u16string alternatives;
  while (alternatives.size() < 60000) alternatives += u"ab|";
  EXPECT_EQ(engine.subst(u"s/" + alternatives + u"c/x/", u"zzc").count, 1);
  EXPECT_EQ(engine.subst(u"s/(?:(?:a{100000}){100000})/x/", u"aaa").count, -1);
}

TEST(SubstitutionLimits, UnpairedSurrogatesReadAsReplacementCharacter) {
  BuiltinSubstitution engine;
  std::u16string target = u"x";
  target += char16_t(0xDC00);
  target += u"y";
  target += char16_t(0xD800);
  SubstResult r = engine.subst(u"s/y/z/", target);
  ASSERT_EQ(r.count, 1);
  EXPECT_EQ(r.output, u"x\uFFFDz\uFFFD");
  r = engine.subst(u"s/./-/g", target);
  EXPECT_EQ(r.count, 4);
  EXPECT_EQ(r.output, u"----");
  std::u16string lonePattern = u"s/";
  lonePattern += char16_t(0xD800);
  lonePattern += u"/-/";
  r = engine.subst(lonePattern, target);
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.output, u"x-y\uFFFD");
}

TEST(SubstitutionLimits, NulCharactersInTheTarget) {
  BuiltinSubstitution engine;
  const std::u16string target(u"a\0b", 3);
  const SubstResult r = engine.subst(u"s/\\x00/-/", target);
  ASSERT_EQ(r.count, 1);
  EXPECT_EQ(r.output, u"a-b");
  EXPECT_EQ(engine.subst(u"s/b$/c/", target).output, std::u16string(u"a\0c", 3));
}

}  // namespace
}  // namespace sonavid
