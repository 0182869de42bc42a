#include "params/param0_model.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "common/text.h"
#include "core/media_reader.h"
#include "core/substitution.h"
#include "settings/ini_form.h"
#include "params/param0_host_settings.h"

namespace sonavid {
namespace {

TEST(MediaTypeMacroTextTest, WriteModeAlwaysWritesBothValues) {
  EXPECT_EQ(mediaTypeMacroText(u"A", 0, 0, 0, 0, false), u"/A<0,0>");
  EXPECT_EQ(mediaTypeMacroText(u"A", 1, 0, 0, 0, false), u"/A<1,0>");
  EXPECT_EQ(mediaTypeMacroText(u"A", 1, 1, 1, 1, false), u"/A<1,1>");
}

TEST(MediaTypeMacroTextTest, OmitModeLeavesOutValuesEqualToTheDefaults) {
  EXPECT_EQ(mediaTypeMacroText(u"B", 0, 0, 0, 0, true), u"/B");
  EXPECT_EQ(mediaTypeMacroText(u"B", 1, 1, 1, 1, true), u"/B");
  EXPECT_EQ(mediaTypeMacroText(u"B", 0, 1, 0, 0, true), u"/B<,1>");
  EXPECT_EQ(mediaTypeMacroText(u"B", 1, 0, 0, 0, true), u"/B<1>");
  EXPECT_EQ(mediaTypeMacroText(u"B", 1, 0, 0, 1, true), u"/B<1,0>");
}

TEST(MediaTypeMacroTextTest, RadioItemForStoredChoice) {
  EXPECT_EQ(radioItemFor(0), 0);
  EXPECT_EQ(radioItemFor(1), 1);
  EXPECT_EQ(radioItemFor(5), 1);
  EXPECT_EQ(radioItemFor(-1), 1);
}

// Host settings in memory, recording each write.
class FakeSettings : public Param0Settings {
 public:
  explicit FakeSettings(const PluginState& state) : state_(state) {}

  bool omit = false;
  std::vector<bool> omitWrites;
  std::vector<std::pair<int32_t, int32_t>> defaultWrites;
  int omitReads = 0;

  bool readOmitMode() override {
    ++omitReads;
    return omit;
  }
  void writeOmitMode(bool value) override {
    omit = value;
    omitWrites.push_back(value);
  }
  void writeDefaults() override { defaultWrites.emplace_back(state_.settings.def01, state_.settings.def02); }

 private:
  const PluginState& state_;
};

class Param0ModelTest : public ::testing::Test {
 protected:
  Param0ModelTest() {
    state_.macroLetter = u"T";
    state_.dialogCaption = u"音声/動画種別";
  }
  void open() {
    model_.create();
    model_.show();
  }

  PluginState state_;
  FakeSettings settings_{state_};
  Param0Model model_{state_, settings_};
};

TEST_F(Param0ModelTest, OpensWithTitleCaptionAndTheLastChoice) {
  state_.lastCase = 1;
  open();
  EXPECT_EQ(model_.title(), u"音声/動画種別");
  EXPECT_EQ(model_.groupCaption(), u"/T<大文字/小文字,対象外戻り値>");
  EXPECT_EQ(settings_.omitReads, 1);
  EXPECT_EQ(model_.caseItem(), 1);
  EXPECT_EQ(model_.nonTargetItem(), 0);
  EXPECT_EQ(model_.macroText(), u"/T<1,0>");
}

TEST_F(Param0ModelTest, OmitModeFromTheSettingsShapesTheFirstText) {
  settings_.omit = true;
  open();
  EXPECT_TRUE(model_.omitMode());
  EXPECT_EQ(model_.macroText(), u"/T");
  model_.selectNonTarget(1);
  EXPECT_EQ(model_.macroText(), u"/T<,1>");
}

TEST_F(Param0ModelTest, SaveDefaultsInOmitModeShrinksTheTextAndWritesBothKeys) {
  settings_.omit = true;
  open();
  model_.selectCase(1);
  model_.selectNonTarget(1);
  EXPECT_EQ(model_.macroText(), u"/T<1,1>");
  model_.saveDefaults();
  EXPECT_EQ(model_.macroText(), u"/T");
  EXPECT_EQ(state_.settings.def01, 1);
  EXPECT_EQ(state_.settings.def02, 1);
  ASSERT_EQ(settings_.defaultWrites.size(), 1u);
  EXPECT_EQ(settings_.defaultWrites[0], std::make_pair(1, 1));
}

TEST_F(Param0ModelTest, RestoreDefaultsBringsBackTheStoredChoice) {
  state_.settings.def01 = 1;
  open();
  model_.selectCase(0);
  model_.selectNonTarget(1);
  model_.restoreDefaults();
  EXPECT_EQ(model_.caseItem(), 1);
  EXPECT_EQ(model_.nonTargetItem(), 0);
  EXPECT_EQ(model_.macroText(), u"/T<1,0>");
  EXPECT_TRUE(settings_.defaultWrites.empty());
}

TEST_F(Param0ModelTest, SwitchingTheModeIsWrittenAtOnce) {
  open();
  model_.setOmitMode(true);
  EXPECT_EQ(model_.macroText(), u"/T");
  model_.setOmitMode(false);
  EXPECT_EQ(model_.macroText(), u"/T<0,0>");
  EXPECT_EQ(settings_.omitWrites, (std::vector<bool>{true, false}));
}

TEST_F(Param0ModelTest, OnlyConfirmRemembersTheChoice) {
  open();
  model_.selectCase(1);
  model_.selectNonTarget(1);
  EXPECT_EQ(state_.lastCase, 0);
  EXPECT_EQ(state_.lastNonTarget, 0);
  EXPECT_EQ(model_.confirm(), u"/T<1,1>");
  EXPECT_EQ(state_.lastCase, 1);
  EXPECT_EQ(state_.lastNonTarget, 1);
  EXPECT_EQ(state_.settings.def01, 0);
}

TEST_F(Param0ModelTest, OutOfRangeStoredChoicesShowTheSecondItem) {
  // Hand-edited Def01/Def02 values: any non-zero value means lower case and the extension.
  state_.settings.def01 = 7;
  state_.settings.def02 = -3;
  state_.lastCase = 7;
  state_.lastNonTarget = -3;
  settings_.omit = true;
  open();
  EXPECT_EQ(model_.caseItem(), 1);
  EXPECT_EQ(model_.nonTargetItem(), 1);
  EXPECT_EQ(model_.macroText(), u"/T<1,1>");
  model_.saveDefaults();
  EXPECT_EQ(settings_.defaultWrites.back(), std::make_pair(1, 1));
  EXPECT_EQ(model_.macroText(), u"/T");
}

// The same handlers through the host settings file.
class Param0HostSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/sonavid-param0-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    state_.settings.hostIniPath = utf8ToUtf16(dir_ + "/host.ini");
    state_.settings.hostSection = u"Sonavid";
    state_.macroLetter = u"T";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  IniForm hostFile() const { return IniForm::load(state_.settings.hostIniPath); }

  std::string dir_;
  PluginState state_;
  Param0HostSettings settings_{state_};
};

TEST_F(Param0HostSettingsTest, MenuCommandsWriteTheirKeysAndTheNextOpeningReadsThem) {
  {
    Param0Model model(state_, settings_);
    model.create();
    model.show();
    EXPECT_FALSE(model.omitMode());
    EXPECT_FALSE(hostFile().find(u"Sonavid", u"Def00").has_value());
    model.setOmitMode(true);
    EXPECT_EQ(hostFile().readText(u"sonavid", u"def00"), u"1");
    model.selectCase(1);
    model.saveDefaults();
    EXPECT_EQ(hostFile().readInt(u"Sonavid", u"Def01", -1), 1);
    EXPECT_EQ(hostFile().readInt(u"Sonavid", u"Def02", -1), 0);
    EXPECT_EQ(model.macroText(), u"/T");
  }
  Param0Model next(state_, settings_);
  next.create();
  next.show();
  EXPECT_TRUE(next.omitMode());
  next.setOmitMode(false);
  EXPECT_EQ(hostFile().readText(u"Sonavid", u"Def00"), u"0");
}

}  // namespace
}  // namespace sonavid
