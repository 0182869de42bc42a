#include "setup/setup_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"

namespace sonavid::setup {
namespace {

// Item lists with `count` MP3 items named TIME_0, TIME_1 ... (description "d<k>").
std::array<ItemList, kPageCount> listsWithMp3Items(int count) {
  std::array<ItemList, kPageCount> lists;
  for (int k = 0; k < count; ++k) {
    const std::u16string n = toU16(k);
    lists[0].insert(lists[0].end(), {u"TIME_" + n, u"d" + n, u"s/x/" + n + u"/"});
  }
  return lists;
}

std::vector<std::u16string> suffixes(const std::vector<SetupRow>& rows) {
  std::vector<std::u16string> result;
  for (const auto& row : rows) result.push_back(row.suffix);
  return result;
}

TEST(SetupModelLoad, SplitsNamesByPositionShortNamesKeepWholeNameAsCode) {
  std::array<ItemList, kPageCount> lists;
  lists[1] = {u"AFMT_abcd", u"long suffix",     u"s/a/b/",  // more than 3: shown in full
              u"TIM",       u"short",           u"s///",    // shorter than five characters
              u"TIME",      u"exactly four",    u"s///",   u"TIMEx", u"fifth dropped", u"s///",
              u"AF-MT_x",   u"no search for _", u"s///",   u"VFMT_v"};  // trailing group cut short
  SetupModel model(lists);
  const auto& rows = model.rows(1);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0], (SetupRow{u"AFMT", u"abcd", u"long suffix", u"s/a/b/"}));
  EXPECT_EQ(rows[1], (SetupRow{u"TIM", u"", u"short", u"s///"}));
  EXPECT_EQ(rows[2], (SetupRow{u"TIME", u"", u"exactly four", u"s///"}));
  EXPECT_EQ(rows[3], (SetupRow{u"TIME", u"", u"fifth dropped", u"s///"}));
  EXPECT_EQ(rows[4], (SetupRow{u"AF-M", u"_x", u"no search for _", u"s///"}));
  EXPECT_EQ(rows[5], (SetupRow{u"VFMT", u"v", u"", u""}));
  EXPECT_TRUE(model.rows(0).empty());
  EXPECT_EQ(model.shownPage(), 0);
  EXPECT_FALSE(model.anyPageModified());
  EXPECT_FALSE(model.saveCommandEnabled());
  EXPECT_FALSE(model.okEnabled());
  EXPECT_EQ(model.sampleFileName(), u"*.mp3");
}

TEST(SetupModelEditors, CommitCountsOnlyAnExactChange) {
  SetupModel model(listsWithMp3Items(2));
  auto start = model.openTextEditor(1, 2);
  ASSERT_TRUE(start);
  EXPECT_EQ(start->text, u"d1");
  EXPECT_TRUE(start->proportionalFont);
  EXPECT_EQ(start->maxLength, 0);
  EXPECT_FALSE(model.commitTextEditor(u"d1"));  // equal text
  EXPECT_FALSE(model.textEditorOpen());
  EXPECT_FALSE(model.pageModified(0));
  EXPECT_FALSE(model.saveCommandEnabled());

  model.openTextEditor(1, 2);
  EXPECT_TRUE(model.commitTextEditor(u"D1"));  // only the case differs
  EXPECT_EQ(model.rows(0)[1].description, u"D1");
  EXPECT_TRUE(model.pageModified(0));
  EXPECT_TRUE(model.saveCommandEnabled());
  EXPECT_TRUE(model.okEnabled());
}

TEST(SetupModelEditors, ColumnsChooseTextLengthAndFont) {
  SetupModel model(listsWithMp3Items(1));
  auto suffix = model.openTextEditor(0, 1);
  ASSERT_TRUE(suffix);
  EXPECT_EQ(suffix->maxLength, kSuffixMaxLength);
  EXPECT_FALSE(suffix->proportionalFont);
  model.cancelTextEditor();
  auto expression = model.openTextEditor(0, 3);
  ASSERT_TRUE(expression);
  EXPECT_EQ(expression->text, u"s/x/0/");
  EXPECT_EQ(expression->maxLength, 0);
  EXPECT_FALSE(expression->proportionalFont);
  EXPECT_TRUE(model.commitTextEditor(u"s/y//"));
  EXPECT_EQ(model.rows(0)[0].substitution, u"s/y//");

  EXPECT_FALSE(model.openTextEditor(0, 0));  // the code column has the drop-down
  EXPECT_FALSE(model.openTextEditor(0, 4));
  EXPECT_FALSE(model.openTextEditor(1, 1));
  EXPECT_FALSE(model.openCodeEditor(-1));
}

// What the suffix box keeps from a user's typing, and what committing it stores: whole
// characters only, blanks at the ends trimmed; a blank suffix leaves the row incomplete.
TEST(SetupModelEditors, SuffixKeepsWholeCharactersAndLosesItsBlanks) {
  struct Case {
    std::vector<std::u16string_view> typed;  // the box's text after each change
    std::u16string_view stored;
    bool complete;
  };
  const Case cases[] = {
      {{u"a", u"ab", u"ab\xD83C", u"ab\U0001F3B5"}, u"ab\U0001F3B5", true},
      {{u"abc", u"abc\xD83C", u"abc\xDFB5"}, u"abc", true},
      {{u"a", u"ab", u"ab\xD842"}, u"ab", true},  // left with half a pair typed
      {{u" ", u"  ", u"   "}, u"", false},
      {{u"\u3000x "}, u"x", true},
  };
  for (const Case& c : cases) {
    SetupModel model(listsWithMp3Items(1));
    model.openTextEditor(0, 1);
    std::u16string shown;
    for (std::u16string_view text : c.typed) shown = model.typeInTextEditor(text).text;
    EXPECT_TRUE(model.commitTextEditor(shown));
    EXPECT_EQ(model.rows(0)[0].suffix, c.stored) << utf16ToUtf8(shown);
    EXPECT_EQ(rowComplete(model.rows(0)[0]), c.complete) << utf16ToUtf8(shown);
  }
}

TEST(SetupModelEditors, EscapeLeavesTheRowAndCodeChoiceCommitsLikeText) {
  SetupModel model(listsWithMp3Items(1));
  model.openTextEditor(0, 1);
  model.cancelTextEditor();
  EXPECT_FALSE(model.commitTextEditor(u"zzz"));  // nothing open any more
  EXPECT_EQ(model.rows(0)[0].suffix, u"0");

  EXPECT_EQ(model.openCodeEditor(0), u"TIME");
  EXPECT_EQ(model.editedRow(), 0);
  EXPECT_FALSE(model.commitCodeEditor(u"TIME"));
  model.openCodeEditor(0);
  EXPECT_FALSE(model.commitCodeEditor(u""));  // no entry chosen keeps the code
  EXPECT_FALSE(model.pageModified(0));
  model.openCodeEditor(0);
  EXPECT_TRUE(model.commitCodeEditor(u"AFMT"));
  EXPECT_EQ(model.rows(0)[0].baseCode, u"AFMT");
  EXPECT_TRUE(model.pageModified(0));
}

TEST(SetupModelEditors, ARowDeletedUnderAnOpenEditorTakesNoText) {
  SetupModel model(listsWithMp3Items(2));
  model.openTextEditor(1, 2);
  ASSERT_TRUE(model.deleteRow(1));
  EXPECT_FALSE(model.commitTextEditor(u"late"));
  ASSERT_EQ(model.rows(0).size(), 1u);
  EXPECT_EQ(model.rows(0)[0].description, u"d0");
}

TEST(SetupModelRows, AddAndDelete) {
  SetupModel model(listsWithMp3Items(0));
  EXPECT_FALSE(model.deleteRow(0));  // empty list: nothing removed, nothing marked
  EXPECT_FALSE(model.deleteRow(-1));
  EXPECT_FALSE(model.pageModified(0));

  EXPECT_EQ(model.addRow(), 0);
  EXPECT_EQ(model.addRow(), 1);
  EXPECT_EQ(model.rows(0)[1], (SetupRow{u"TIME", u"", u"", u"s///"}));
  EXPECT_TRUE(model.saveCommandEnabled());
  EXPECT_TRUE(model.deleteRow(0));
  EXPECT_EQ(model.rows(0).size(), 1u);
}

TEST(SetupModelRows, DropMovesTheSelectedRowToTheTargetIndex) {
  {
    SetupModel model(listsWithMp3Items(8));
    EXPECT_TRUE(model.dropRow(5, 2));
    EXPECT_EQ(suffixes(model.rows(0)),
              (std::vector<std::u16string>{u"0", u"1", u"5", u"2", u"3", u"4", u"6", u"7"}));
    EXPECT_TRUE(model.saveCommandEnabled());
  }
  {
    SetupModel model(listsWithMp3Items(8));
    EXPECT_TRUE(model.dropRow(2, 5));
    EXPECT_EQ(suffixes(model.rows(0)),
              (std::vector<std::u16string>{u"0", u"1", u"3", u"4", u"5", u"2", u"6", u"7"}));
    // The moved row keeps all its texts.
    EXPECT_EQ(model.rows(0)[5], (SetupRow{u"TIME", u"2", u"d2", u"s/x/2/"}));
  }
  {
    SetupModel model(listsWithMp3Items(8));
    EXPECT_FALSE(model.dropRow(3, 3));  // onto itself
    EXPECT_FALSE(model.dropRow(3, 8));  // past the end
    EXPECT_FALSE(model.dropRow(-1, 2));
    EXPECT_EQ(model.rows(0), SetupModel(listsWithMp3Items(8)).rows(0));
    EXPECT_FALSE(model.saveCommandEnabled());
    EXPECT_FALSE(model.okEnabled());
  }
}

TEST(SetupModelPages, LeavingWithAnEditedEditorMarksThePageLeft) {
  std::array<ItemList, kPageCount> lists = listsWithMp3Items(2);
  lists[1] = {u"AFMT_w", u"wav", u"s///"};
  SetupModel model(lists);
  model.openTextEditor(0, 2);
  model.leavePage({.editText = u"changed"});
  model.enterPage(1);
  EXPECT_EQ(model.rows(0)[0].description, u"changed");
  EXPECT_TRUE(model.pageModified(0));
  EXPECT_FALSE(model.pageModified(1));
  EXPECT_FALSE(model.saveCommandEnabled());
  EXPECT_TRUE(model.okEnabled());
  EXPECT_FALSE(model.textEditorOpen());

  // An unchanged open drop-down marks nothing.
  model.openCodeEditor(0);
  model.leavePage({.codeText = u"AFMT"});
  model.enterPage(0);
  EXPECT_FALSE(model.pageModified(1));
  EXPECT_TRUE(model.saveCommandEnabled());
}

TEST(SetupModelPages, SaveCommandFollowsTheShownPageOkStaysOn) {
  SetupModel model(listsWithMp3Items(1));
  model.addRow();
  model.leavePage({});
  model.enterPage(1);
  EXPECT_FALSE(model.saveCommandEnabled());
  EXPECT_TRUE(model.okEnabled());
  model.leavePage({});
  model.enterPage(0);
  EXPECT_TRUE(model.saveCommandEnabled());
}

TEST(SetupModelPages, CodesFileNamesAndSampleTextsPerPage) {
  SetupModel model(listsWithMp3Items(0));
  const std::vector<std::u16string_view> audio = {u"TIME", u"AFMT"};
  const std::vector<std::u16string_view> video = {u"TIME", u"AFMT", u"VFMT"};
  for (int page = 0; page < kPageCount; ++page) {
    model.leavePage({});
    EnteredPage entered = model.enterPage(page);
    const bool offersVideo = page == 2 || page == 4 || page == 7 || page == 12 || page == 13 ||
                             page == 14;
    EXPECT_EQ(entered.offeredCodes, offersVideo ? video : audio) << page;
    EXPECT_EQ(model.sampleFileName(), kPages[page].defaultFileName);
    EXPECT_EQ(model.sampleFilter(), kPages[page].filter);
  }
  EXPECT_EQ(kPages[4].filter, u"Windows Media(*.wma *.wmv)|*.wma;*.wmv|全てのファイル(*.*)|*.*");

  model.leavePage({});
  model.enterPage(1);
  model.leavePage({.sampleTexts = {u"a", u"b", u"a"}, .sampleChosen = 2});
  model.enterPage(3);
  EXPECT_TRUE(model.samples(3).texts.empty());
  model.leavePage({.sampleTexts = {}, .sampleChosen = 7});  // out of range: none chosen
  EXPECT_EQ(model.samples(3).chosen, -1);
  EnteredPage back = model.enterPage(1);
  EXPECT_EQ(back.samples->texts, (std::vector<std::u16string>{u"a", u"b", u"a"}));
  EXPECT_EQ(back.samples->chosen, 2);
}

TEST(SetupModelSampleFile, FolderFallsBackToTheDataFileFolderAndFollowsTheChosenFile) {
  SetupModel model(listsWithMp3Items(0));
  auto exists = [](std::u16string_view folder) { return folder == u"C:\\music"; };
  EXPECT_EQ(model.prepareSampleFolder(u"C:\\host\\mac_Sonavid.dat", exists), u"C:\\host");
  model.setSampleFolder(u"C:\\music");
  EXPECT_EQ(model.prepareSampleFolder(u"C:\\host\\mac_Sonavid.dat", exists), u"C:\\music");
  model.setSampleFolder(u"C:\\gone");
  EXPECT_EQ(model.prepareSampleFolder(u"mac_Sonavid.dat", exists), u"");

  model.rememberSampleFile(u"D:\\a\\b\\song.mp3");
  EXPECT_EQ(model.sampleFolder(), u"D:\\a\\b");
  EXPECT_EQ(model.sampleFileName(), u"song.mp3");
  model.rememberSampleFile(u"D:\\root.wav");
  EXPECT_EQ(model.sampleFolder(), u"D:\\");
  model.leavePage({});
  model.enterPage(0);
  EXPECT_EQ(model.sampleFileName(), u"*.mp3");
}

}  // namespace
}  // namespace sonavid::setup
