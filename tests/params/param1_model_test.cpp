#include "params/param1_model.h"

#include <gtest/gtest.h>

#include "core/media_reader.h"
#include "core/substitution.h"
#include "params/field_catalogue.h"

namespace sonavid {
namespace {

TEST(MediaInfoMacroTextTest, TypeCommaAndCode) {
  EXPECT_EQ(mediaInfoMacroText(u"I", 0, u"TIME     再生時間"), u"/I<,TIME>");
  EXPECT_EQ(mediaInfoMacroText(u"I", 1, u"INAM_v1  タイトル(ID3v1)"), u"/I<MP3,INAM_v1>");
  EXPECT_EQ(mediaInfoMacroText(u"I", 8, u"COMPOSER 作曲"), u"/I<MP4,COMPOSER>");
  EXPECT_EQ(mediaInfoMacroText(u"I", kNoSelection, u"TIME     再生時間"), u"/I<,TIME>");
  EXPECT_EQ(mediaInfoMacroText(u"I", 3, u""), u"/I<AVI,>");
}

class Param1ModelTest : public ::testing::Test {
 protected:
  Param1ModelTest() {
    state_.macroLetter = u"M";
    state_.dialogCaption = u"音声/動画情報";
  }
  void open() {
    model_.create();
    model_.show();
  }

  PluginState state_;
  Param1Model model_{state_};
};

TEST_F(Param1ModelTest, FirstOpeningShowsAutomaticAndTime) {
  open();
  EXPECT_EQ(model_.title(), u"音声/動画情報");
  EXPECT_EQ(model_.groupCaption(), u"/M<ファイル種別,取得情報>");
  EXPECT_EQ(model_.typeIndex(), 0);
  EXPECT_EQ(model_.fieldEntries().size(), 81u);
  EXPECT_EQ(model_.fieldIndex(), 0);
  EXPECT_EQ(model_.macroText(), u"/M<,TIME>");
}

TEST_F(Param1ModelTest, ChoosingATypeSelectsTimeThenAField) {
  open();
  model_.selectField(5);
  model_.selectType(1);
  EXPECT_EQ(model_.fieldIndex(), 0);
  EXPECT_EQ(model_.macroText(), u"/M<MP3,TIME>");
  ASSERT_EQ(model_.fieldEntries()[2], u"INAM_v1  タイトル(ID3v1)");
  model_.selectField(2);
  EXPECT_EQ(model_.macroText(), u"/M<MP3,INAM_v1>");
}

TEST_F(Param1ModelTest, UserItemGivesItsWholeName) {
  state_.settings.itemLists[0] = {u"TIME_a", u"分だけ", u"s/.*/x/"};
  open();
  model_.selectType(1);
  ASSERT_EQ(model_.fieldEntries()[1], u"TIME_a   分だけ");
  model_.selectField(1);
  EXPECT_EQ(model_.macroText(), u"/M<MP3,TIME_a>");
}

// A position stored before the common fields were appended still names the same field; the
// positions after a list's own entries name the common fields.
TEST_F(Param1ModelTest, OpensAtTheConfirmedTypeAndPosition) {
  state_.settings.itemLists[0] = {u"TIME_a", u"分", u"s/a/b/"};
  struct Case {
    int def11, def12;
    std::u16string_view macro;
  } const cases[] = {
      {3, 2, u"/M<AVI,VFMT>"},       {3, 13, u"/M<AVI,AVIV>"},     {3, 14, u"/M<AVI,AART>"},
      {0, 63, u"/M<,TOOL>"},         {0, 66, u"/M<,AART>"},        {0, 68, u"/M<,YEAR>"},
      {8, 16, u"/M<MP4,TOOL>"},      {8, 17, u"/M<MP4,AART>"},     {8, 18, u"/M<MP4,TRACK00>"},
      {1, 39, u"/M<MP3,TRACK_APE>"}, {1, 40, u"/M<MP3,AART>"},     {6, 29, u"/M<OGG,FPS>"},
  };
  for (const Case& c : cases) {
    state_.settings.def11 = c.def11;
    state_.settings.def12 = c.def12;
    open();
    EXPECT_EQ(model_.typeIndex(), c.def11);
    EXPECT_EQ(model_.macroText(), c.macro);
  }
  EXPECT_EQ(model_.fieldEntries().size(), 30u);
}

TEST_F(Param1ModelTest, PositionPastTheEndSelectsNoField) {
  state_.settings.def11 = 4;
  state_.settings.def12 = 28;
  open();
  EXPECT_EQ(model_.fieldIndex(), kNoSelection);
  EXPECT_EQ(model_.macroText(), u"/M<VQF,>");
  state_.settings.def12 = -2;
  open();
  EXPECT_EQ(model_.macroText(), u"/M<VQF,>");
}

TEST_F(Param1ModelTest, TypeOutOfRangeOffersTheOggApeListWithoutUserItems) {
  state_.settings.itemLists[5] = {u"TIME_o", u"ogg", u"s/a/b/"};
  for (int stored : {kTypeSelectorCount, -1, -100, 1000}) {
    state_.settings.def11 = stored;
    state_.settings.def12 = 1;
    open();
    EXPECT_EQ(model_.typeIndex(), kNoSelection);
    EXPECT_EQ(model_.fieldEntries().size(), 30u);
    EXPECT_EQ(model_.macroText(), u"/M<,AFMT>");
  }
}

TEST_F(Param1ModelTest, ConfirmStoresTypeAndPositionCancelDoesNot) {
  open();
  model_.selectType(5);
  model_.selectField(4);
  EXPECT_EQ(state_.settings.def11, 0);
  EXPECT_EQ(state_.settings.def12, 0);
  EXPECT_EQ(model_.confirm(), u"/M<WMA,TRACK>");
  EXPECT_EQ(state_.settings.def11, 5);
  EXPECT_EQ(state_.settings.def12, 4);
}

TEST_F(Param1ModelTest, FieldIndexOutsideTheListSelectsNothing) {
  open();
  model_.selectField(81);
  EXPECT_EQ(model_.fieldIndex(), kNoSelection);
  EXPECT_EQ(model_.macroText(), u"/M<,>");
  model_.selectType(42);
  EXPECT_EQ(model_.typeIndex(), kNoSelection);
  EXPECT_EQ(model_.macroText(), u"/M<,TIME>");
}

}  // namespace
}  // namespace sonavid
