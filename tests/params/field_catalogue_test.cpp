#include "params/field_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/common_fields.h"

namespace sonavid {
namespace {

using Entries = std::vector<std::u16string>;

// Each list's own entries, which keep their positions; the common fields follow them.
struct FixedListCase {
  int selector;
  size_t ownLength;
  std::u16string_view first;
  size_t sampleAt;
  std::u16string_view sample;
  std::u16string_view lastOwn;
};

const FixedListCase kFixedLists[] = {
    {0, 66, u"TIME     再生時間", 39, u"TRACK_APEトラック番号(APE)", u"START    開始時刻"},
    {1, 39, u"TIME     再生時間", 32, u"URL_v2   URL(ID3v2)", u"TRACK_APEトラック番号(APE)"},
    {2, 13, u"TIME     再生時間", 3, u"ISBJ     タイトル", u"IENG     エンジニア"},
    {3, 14, u"TIME     再生時間", 2, u"VFMT     映像フォーマット", u"AVIV     AVIバージョン"},
    {4, 7, u"TIME     再生時間", 6, u"FILE     保存名", u"FILE     保存名"},
    {5, 13, u"TIME     再生時間", 4, u"TRACK    トラック", u"URL2     URL(関連)"},
    {6, 9, u"TIME     再生時間", 1, u"AFMT     音声フォーマット", u"TRACK    トラック"},
    {7, 9, u"TIME     再生時間", 4, u"IPRD     アルバム", u"TRACK    トラック"},
    {8, 17, u"TIME     再生時間", 12, u"COMPOSER 作曲", u"TOOL     ツール"},
    {14, 9, u"TIME     再生時間", 5, u"CHANNEL  放送局", u"IGNR     ジャンル"},
};

TEST(FieldCatalogueTest, FixedListsKeepTheirEntriesAtTheirPositions) {
  for (const auto& c : kFixedLists) {
    SCOPED_TRACE(c.selector);
    const auto list = fixedFieldList(c.selector);
    ASSERT_GT(list.size(), c.ownLength);
    EXPECT_EQ(list.front(), c.first);
    EXPECT_EQ(list[c.sampleAt], c.sample);
    EXPECT_EQ(list[c.ownLength - 1], c.lastOwn);
    EXPECT_EQ(list[c.ownLength], u"AART     アルバムアーティスト");
    EXPECT_EQ(list.back(), u"FPS      フレームレート");
    EXPECT_EQ(list[1], u"AFMT     音声フォーマット");
  }
}

// Every list ends with the common fields in their order, each code once in the list: MP4 and
// the automatic choice, which show some of them already, leave those out at the end.
TEST(FieldCatalogueTest, EveryListEndsWithTheCommonFieldsEachCodeOnce) {
  for (int selector = -1; selector < kTypeSelectorCount; ++selector) {
    SCOPED_TRACE(selector);
    const auto list = fixedFieldList(selector);
    std::vector<std::u16string> codes;
    for (const auto entry : list) codes.push_back(codeOfEntry(entry));
    const auto tail = std::find(codes.begin(), codes.end(), u"AART");
    ASSERT_NE(tail, codes.end());
    Entries expected;
    for (const CommonField& field : kCommonFields) {
      if (std::find(codes.begin(), tail, field.code) == tail) {
        expected.push_back(userItemEntry(field.code, field.description));
      }
    }
    EXPECT_EQ(Entries(list.begin() + (tail - codes.begin()), list.end()), expected);
    EXPECT_EQ(expected.size(), selector == 0 || selector == 8 ? 15u : 21u);
    for (const auto& code : codes) EXPECT_EQ(std::count(codes.begin(), codes.end(), code), 1);
  }
}

TEST(FieldCatalogueTest, EveryFixedEntryHasItsCodeInANineCharacterColumn) {
  for (int selector = 0; selector < kTypeSelectorCount; ++selector) {
    for (const auto entry : fixedFieldList(selector)) {
      SCOPED_TRACE(selector);
      const std::u16string code = codeOfEntry(entry);
      ASSERT_GE(entry.size(), kEntryCodeWidth);
      for (char16_t c : code) EXPECT_TRUE(c > u' ' && c < 0x80);
      // Only the nine-character code runs straight into its caption.
      if (code.size() < kEntryCodeWidth) {
        EXPECT_EQ(entry[kEntryCodeWidth - 1], u' ');
      }
      EXPECT_NE(entry[kEntryCodeWidth], u' ');
    }
  }
}

TEST(FieldCatalogueTest, AllTypesListDiffersFromTypeListsOnlyInTrackWording) {
  const auto all = fixedFieldList(0);
  EXPECT_EQ(all[55], u"TRACK    トラック番号");
  EXPECT_EQ(fixedFieldList(5)[4], u"TRACK    トラック");
  // Every code of every type list appears in the automatic list.
  for (int selector = 1; selector < kTypeSelectorCount; ++selector) {
    for (const auto entry : fixedFieldList(selector)) {
      bool found = false;
      for (const auto candidate : all)
        found = found || codeOfEntry(candidate) == codeOfEntry(entry);
      EXPECT_TRUE(found);
    }
  }
}

TEST(FieldCatalogueTest, NoSelectionAndOutOfRangeGiveTheOggAndApeList) {
  const auto ogg = fixedFieldList(6);
  EXPECT_EQ(fixedFieldList(-1).data(), ogg.data());
  EXPECT_EQ(fixedFieldList(9).data(), ogg.data());
  EXPECT_EQ(fixedFieldList(-200).data(), ogg.data());
  EXPECT_EQ(fixedFieldList(7).data(), ogg.data());
}

TEST(FieldCatalogueTest, CodeOfEntry) {
  EXPECT_EQ(codeOfEntry(u"TRACK_APEトラック番号(APE)"), u"TRACK_APE");
  EXPECT_EQ(codeOfEntry(u"COMPOSER 作曲"), u"COMPOSER");
  EXPECT_EQ(codeOfEntry(u"TIME_a   速い"), u"TIME_a");
  EXPECT_EQ(codeOfEntry(u"TIME_abcdef long"), u"TIME_abcd");
  EXPECT_EQ(codeOfEntry(u"AB\t\x01  "), u"AB");
  EXPECT_EQ(codeOfEntry(u""), u"");
  EXPECT_EQ(codeOfEntry(u"  "), u"");
}

TEST(FieldCatalogueTest, UserItemEntryPadsToNineAndKeepsLongNames) {
  EXPECT_EQ(userItemEntry(u"TIME_a", u"分"), u"TIME_a   分");
  EXPECT_EQ(userItemEntry(u"AFMT_abc", u"x"), u"AFMT_abc x");
  EXPECT_EQ(userItemEntry(u"TIME_abcde", u"説明"), u"TIME_abcde説明");
  EXPECT_EQ(userItemEntry(u"", u""), u"         ");
}

class BuildFieldListTest : public ::testing::Test {
 protected:
  std::array<ItemList, kMediaTypeCount> lists_;
  ItemList& list(int selector) { return lists_[size_t(selector - 1)]; }
  Entries build(int selector) { return buildFieldList(selector, lists_); }
};

TEST_F(BuildFieldListTest, TypesWithoutUserItemsGiveTheirFixedList) {
  for (int selector = -1; selector < kTypeSelectorCount; ++selector) {
    const auto fixed = fixedFieldList(selector);
    EXPECT_EQ(build(selector), Entries(fixed.begin(), fixed.end()));
  }
}

TEST_F(BuildFieldListTest, MergesTimeAndAfmtItemsBehindTheirFieldsInStoredOrder) {
  list(1) = {u"TIME_a", u"秒",     u"s/a/b/", u"AFMT_b", u"簡略",
             u"s/x/y/", u"TIME_c", u"分",     u"s/1/2/"};
  const Entries entries = build(1);
  ASSERT_EQ(entries.size(), 63u);
  EXPECT_EQ(entries[0], u"TIME     再生時間");
  EXPECT_EQ(entries[1], u"TIME_a   秒");
  EXPECT_EQ(entries[2], u"TIME_c   分");
  EXPECT_EQ(entries[3], u"AFMT     音声フォーマット");
  EXPECT_EQ(entries[4], u"AFMT_b   簡略");
  EXPECT_EQ(entries[5], u"INAM_v1  タイトル(ID3v1)");
  EXPECT_EQ(entries[41], u"TRACK_APEトラック番号(APE)");
}

TEST_F(BuildFieldListTest, VfmtItemsAreOfferedForAviAndWmaOnly) {
  const ItemList items = {u"VFMT_v", u"映像", u"s/a/b/", u"TIME_t", u"時間", u"s/a/b/"};
  for (int selector = 1; selector < kTypeSelectorCount; ++selector) list(selector) = items;

  for (int selector : {3, 5}) {
    const Entries entries = build(selector);
    ASSERT_EQ(entries.size(), fixedFieldList(selector).size() + 2);
    EXPECT_EQ(entries[1], u"TIME_t   時間");
    EXPECT_EQ(entries[3], u"VFMT     映像フォーマット");
    EXPECT_EQ(entries[4], u"VFMT_v   映像");
    EXPECT_EQ(entries[5], u"INAM     タイトル");
  }
  for (int selector : {1, 2, 4, 6, 7, 8}) {
    const Entries entries = build(selector);
    EXPECT_EQ(entries.size(), fixedFieldList(selector).size() + 1) << selector;
    for (const auto& e : entries) EXPECT_NE(codeOfEntry(e), u"VFMT_v");
  }
}

TEST_F(BuildFieldListTest, AviListWithAllThreeKinds) {
  list(3) = {u"VFMT_1", u"v1",     u"r",  u"AFMT_1", u"a1",     u"r",  u"TIME_1", u"t1",
             u"r",      u"VFMT_2", u"v2", u"r",      u"TIME_2", u"t2", u"r"};
  const Entries entries = build(3);
  const Entries head(entries.begin(), entries.begin() + 9);
  EXPECT_EQ(head,
            (Entries{u"TIME     再生時間", u"TIME_1   t1", u"TIME_2   t2",
                     u"AFMT     音声フォーマット", u"AFMT_1   a1", u"VFMT     映像フォーマット",
                     u"VFMT_1   v1", u"VFMT_2   v2", u"INAM     タイトル"}));
  EXPECT_EQ(entries.size(), 40u);
}

TEST_F(BuildFieldListTest, AutomaticAndNoSelectionIgnoreUserItems) {
  for (auto& l : lists_) l = {u"TIME_a", u"x", u"s/a/b/"};
  EXPECT_EQ(build(0).size(), 81u);
  EXPECT_EQ(build(-1).size(), 30u);
  EXPECT_EQ(build(6), build(7));
}

TEST_F(BuildFieldListTest, NamesAreMatchedExactlyOnTheirFirstFourCharacters) {
  list(1) = {u"time_a", u"小文字", u"r", u"TIM",          u"短い",     u"r",
             u"XFMT_a", u"他",     u"r", u"TIME_abcdefg", u"長い名前", u"r"};
  const Entries entries = build(1);
  ASSERT_EQ(entries.size(), 61u);
  EXPECT_EQ(entries[1], u"TIME_abcdefg長い名前");
  EXPECT_EQ(codeOfEntry(entries[1]), u"TIME_abcd");
}

TEST_F(BuildFieldListTest, AnItemListCutShortStillBuilds) {
  list(2) = {u"AFMT_a", u"d", u"r", u"TIME_b"};
  const Entries entries = build(2);
  ASSERT_EQ(entries.size(), 36u);
  EXPECT_EQ(entries[1], u"TIME_b   ");
  EXPECT_EQ(entries[3], u"AFMT_a   d");
}

}  // namespace
}  // namespace sonavid
