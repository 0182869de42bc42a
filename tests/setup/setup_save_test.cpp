// Saving the setup lists: which pages each mode writes, what reaches the item lists and the
// data file, and what the buttons show afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "common/platform.h"
#include "common/faulty_platform.h"
#include "common/platform_posix.h"
#include "common/text.h"
#include "core/media_reader.h"
#include "core/substitution.h"
#include "settings/ini_form.h"
#include "setup/setup_model.h"

namespace sonavid::setup {
namespace {

class SetupSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/sonavid-setup-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    setPlatform(&platform_);
    state_.settings.dataFilePath = utf8ToUtf16(dir_ + "/mac_Sonavid.dat");
    // A data file with a version, an MP3 item and a WAV item already saved.
    IniForm data = IniForm::parse(
        u"[Version]\r\nNo=52\r\n[MP3]\r\nCount=1\r\nI1=TIME_old\r\nD1=old\r\nR1=s/a/b/\r\n"
        u"[WAV]\r\nCount=1\r\nI1=AFMT_w\r\nD1=wav\r\nR1=s/w//\r\n");
    ASSERT_TRUE(data.saveAs(state_.settings.dataFilePath));
    state_.settings.itemLists[0] = {u"TIME_old", u"old", u"s/a/b/"};
    state_.settings.itemLists[1] = {u"AFMT_w", u"wav", u"s/w//"};
  }
  void TearDown() override {
    setPlatform(nullptr);
    std::filesystem::remove_all(dir_);
  }
  IniForm dataFile() const { return IniForm::load(state_.settings.dataFilePath); }

  // Fills the shown page's row `row` through the editors, as a user would.
  static void fill(SetupModel& model, int row, std::u16string_view suffix,
                   std::u16string_view description, std::u16string_view expression) {
    model.openTextEditor(row, 1);
    model.commitTextEditor(suffix);
    model.openTextEditor(row, 2);
    model.commitTextEditor(description);
    model.openTextEditor(row, 3);
    model.commitTextEditor(expression);
  }

  PosixPlatform platform_;
  std::string dir_;
  PluginState state_;
};

TEST_F(SetupSaveTest, ShownPageSkipsRowsWithAnEmptyPart) {
  SetupModel model(state_.settings.itemLists);
  fill(model, model.addRow(), u"min", u"minutes", u"s/^(\\d+)'.*/$1/");
  fill(model, model.addRow(), u"sec", u"", u"s/x/y/");  // no description
  fill(model, model.addRow(), u"", u"no suffix", u"s/x/y/");
  fill(model, model.addRow(), u"raw", u"no expression", u"");

  EXPECT_EQ(model.save(SaveMode::ShownPage, state_).pagesSaved, 1);
  const IniForm data = dataFile();
  EXPECT_EQ(data.readInt(u"MP3", u"Count", -1), 2);  // five rows shown
  EXPECT_EQ(data.readText(u"MP3", u"I2"), u"TIME_min");
  EXPECT_EQ(data.readText(u"MP3", u"R2"), u"s/^(\\d+)'.*/$1/");
  EXPECT_FALSE(data.find(u"MP3", u"I3"));
  EXPECT_EQ(data.readInt(u"Version", u"No", 0), 52);
  EXPECT_EQ(state_.settings.itemLists[0], (ItemList{u"TIME_old", u"old", u"s/a/b/", u"TIME_min", u"minutes",
                                           u"s/^(\\d+)'.*/$1/"}));
  // The skipped rows stay shown until the dialog closes.
  EXPECT_EQ(model.rows(0).size(), 5u);
  EXPECT_FALSE(model.saveCommandEnabled());
  EXPECT_FALSE(model.okEnabled());
}

TEST_F(SetupSaveTest, EmptyPageWritesCountZeroAndNoItemKeys) {
  SetupModel model(state_.settings.itemLists);
  ASSERT_TRUE(model.deleteRow(0));
  model.save(SaveMode::ShownPage, state_);
  const IniForm data = dataFile();
  EXPECT_TRUE(data.hasSection(u"MP3"));
  EXPECT_EQ(data.readInt(u"MP3", u"Count", -1), 0);
  EXPECT_FALSE(data.find(u"MP3", u"I1"));
  EXPECT_TRUE(state_.settings.itemLists[0].empty());
  EXPECT_EQ(data.readText(u"WAV", u"I1"), u"AFMT_w");  // other types untouched
}

TEST_F(SetupSaveTest, MenuSavesTheShownPageOnlyOkSavesEveryModifiedPage) {
  SetupModel model(state_.settings.itemLists);
  model.leavePage({});
  model.enterPage(1);
  fill(model, model.addRow(), u"k", u"kbps", u"s/k//");  // WAV modified
  model.openCodeEditor(1);
  model.commitCodeEditor(u"AFMT");
  model.leavePage({});
  model.enterPage(0);
  fill(model, model.addRow(), u"m", u"mp3", u"s/m//");  // MP3 modified

  model.save(SaveMode::ShownPage, state_);
  EXPECT_EQ(dataFile().readInt(u"MP3", u"Count", -1), 2);
  EXPECT_EQ(dataFile().readInt(u"WAV", u"Count", -1), 1);
  EXPECT_FALSE(model.saveCommandEnabled());
  EXPECT_TRUE(model.okEnabled());  // WAV still unsaved
  EXPECT_EQ(model.pagesToSave(SaveMode::ModifiedPages), std::vector<int>{1});

  EXPECT_EQ(model.save(SaveMode::ModifiedPages, state_).pagesSaved, 1);
  EXPECT_EQ(dataFile().readInt(u"WAV", u"Count", -1), 2);
  EXPECT_EQ(state_.settings.itemLists[1][3], u"AFMT_k");
  EXPECT_FALSE(model.okEnabled());
  EXPECT_EQ(model.save(SaveMode::ModifiedPages, state_).pagesSaved, 0);
}

TEST_F(SetupSaveTest, FailedSaveKeepsThePagesModifiedAndSaysSo) {
  SetupModel model(state_.settings.itemLists);
  fill(model, model.addRow(), u"min", u"minutes", u"s/x/y/");
  test::FaultyPlatform fullDisk({.failedWrites = true});
  setPlatform(&fullDisk);
  for (SaveMode mode : {SaveMode::ShownPage, SaveMode::ModifiedPages}) {
    const SaveResult result = model.save(mode, state_);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.pagesSaved, 0);
    EXPECT_TRUE(model.saveCommandEnabled());
    EXPECT_TRUE(model.okEnabled());
  }
  EXPECT_EQ(dataFile().readInt(u"MP3", u"Count", -1), 1);

  setPlatform(&platform_);  // the disk has room again: the same save goes through
  const SaveResult retried = model.save(SaveMode::ModifiedPages, state_);
  EXPECT_FALSE(retried.failed);
  EXPECT_EQ(retried.pagesSaved, 1);
  EXPECT_FALSE(model.okEnabled());
  EXPECT_EQ(dataFile().readInt(u"MP3", u"Count", -1), 2);
}

}  // namespace
}  // namespace sonavid::setup
