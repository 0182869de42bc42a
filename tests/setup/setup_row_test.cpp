#include "setup/setup_row.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace sonavid::setup
