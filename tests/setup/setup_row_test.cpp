#include "setup/setup_row.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace sonavid::setup {
namespace {

TEST(SetupRowTest, ItemNamesSplitIntoBaseCodeAndSuffix) {
  EXPECT_EQ(splitItemName(u"TIME_abc"), (SetupRow{u"TIME", u"abc", u"", u""}));
  EXPECT_EQ(splitItemName(u"AFMT_"), (SetupRow{u"AFMT", u"", u"", u""}));
  EXPECT_EQ(splitItemName(u"VFMTx"), (SetupRow{u"VFMT", u"", u"", u""}));
  EXPECT_EQ(splitItemName(u"TI"), (SetupRow{u"TI", u"", u"", u""}));
  EXPECT_EQ(splitItemName(u""), SetupRow{});
  EXPECT_EQ(rowsOf({u"TIME_a", u"d", u"r", u"AFMT_b"}),
            (std::vector<SetupRow>{{u"TIME", u"a", u"d", u"r"}, {u"AFMT", u"b", u"", u""}}));
}

TEST(SetupRowTest, OnlyCompleteRowsBecomeItems) {
  EXPECT_EQ(itemListOf({{u"TIME", u"a", u"first", u"s/1/2/"},
                        {u"AFMT", u"b", u"", u"s/x/y/"},
                        {u"AFMT", u"", u"d", u"s/x/y/"},
                        {u"AFMT", u"c", u"d", u""},
                        {u"AFMT", u"c", u"third", u"s/3/4/"}}),
            (ItemList{u"TIME_a", u"first", u"s/1/2/", u"AFMT_c", u"third", u"s/3/4/"}));
}

// The suffix box holds three characters, a surrogate pair counting as one and never split;
// a suffix loaded longer may shrink but not grow.
TEST(SetupRowTest, TypedTextIsHeldToTheLimitInCharacters) {
  struct Case {
    std::u16string_view before, after, kept;
    size_t caret;
  };
  const Case cases[] = {
      {u"ab", u"ab\U0001F3B5", u"ab\U0001F3B5", 4},  // a pair as the third character
      {u"ab", u"ab\xD83C", u"ab\xD83C", 3},          // its first half, still being typed
      {u"abc", u"abc\xD842", u"abc", 3},             // no room for a fourth, not even half
      {u"abc", u"abc\xDFB7", u"abc", 3},
      {u"", u"wxyz", u"wxy", 3},  // pasted: cut to fit
      {u"", u"ab\U00020BB7cd", u"ab\U00020BB7", 4},
      {u"a\U0001F3B5", u"a\U0001F3B5\U0001F3B5\U0001F3B5", u"a\U0001F3B5\U0001F3B5", 5},
      {u"ac", u"axyzc", u"axc", 2},        // inserted in the middle
      {u"abcde", u"abcdeX", u"abcde", 5},  // loaded longer: does not grow
      {u"abcde", u"abde", u"abde", 4},     // but may shrink
  };
  for (const Case& c : cases) {
    size_t caret = 0;
    EXPECT_EQ(limitTypedText(c.before, c.after, 3, caret), c.kept) << utf16ToUtf8(c.after);
    EXPECT_EQ(caret, c.caret) << utf16ToUtf8(c.after);
  }
}

// A row is complete when its suffix is not blank and its description and substitution are not
// empty; what is missing is what the list marks.
TEST(SetupRowTest, BlankSuffixesAreMissingParts) {
  EXPECT_EQ(trimmedSuffix(u" \t\u3000a b\u3000 "), u"a b");
  const SetupRow blank{u"TIME", u" \u3000", u"d", u"s///"};
  EXPECT_TRUE(partMissing(blank, kSuffixText));
  EXPECT_FALSE(partMissing(blank, kDescriptionText));
  EXPECT_FALSE(rowComplete(blank));
  EXPECT_TRUE(itemListOf({blank}).empty());
  EXPECT_TRUE(rowComplete({u"TIME", u" a", u"d", u"s///"}));
  EXPECT_EQ(withoutLoneSurrogates(u"a\xD83C\U0001F3B5\xDFB5"
                                  u"b\xD83C"),
            u"a\U0001F3B5b");
}

}  // namespace
}  // namespace sonavid::setup
