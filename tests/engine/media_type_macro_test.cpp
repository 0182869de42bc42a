#include "engine/media_type_macro.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "engine_fakes.h"

namespace sonavid {
namespace {

using testing::FakeFile;
using testing::FakeReader;
using testing::FakeSubstitution;

TEST(MediaTypeParamsTest, ReadsUpToTwoIntegersWithDefaults) {
  struct Case {
    std::u16string_view text;
    int32_t caseChoice;
    int32_t nonTarget;
  };
  // Defaults are 7 (case) and 8 (non-target) so that kept defaults show.
  const Case cases[] = {
      {u"", 7, 8},      {u",", 7, 8},       {u"1,0", 1, 0},
      {u"1", 1, 8},     {u",1", 7, 1},      {u"x,1", 7, 1},
      {u"0,1,7", 0, 1}, {u"-1,-1", -1, -1}, {u"abc", 7, 8},
      {u"5", 5, 8},     {u"1,", 1, 8},      {u" 2,$10", 2, 16},
      {u"2 ,3", 7, 3},  {u"1,2,x,y", 1, 2}, {u"99999999999,1", 7, 1},
  };
  for (const Case& c : cases) {
    const MediaTypeParams params = parseMediaTypeParams(c.text, 7, 8);
    EXPECT_EQ(params.caseChoice, c.caseChoice) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(params.nonTarget, c.nonTarget) << std::string(c.text.begin(), c.text.end());
  }
}

TEST(FileExtensionTest, TakesThePartAfterTheLastPeriod) {
  EXPECT_EQ(fileExtension(u"Notes.TXT"), u"TXT");
  EXPECT_EQ(fileExtension(u"README"), u"");
  EXPECT_EQ(fileExtension(u"a.b.c"), u"c");
  EXPECT_EQ(fileExtension(u"trailing."), u"");
  EXPECT_EQ(fileExtension(u".hidden"), u"hidden");
  EXPECT_EQ(fileExtension(u"dir.d\\README"), u"");
}

class MediaTypeMacroTest : public ::testing::Test {
 protected:
  std::u16string run(FakeFile file, std::u16string_view params,
                     std::u16string_view fileName = u"song.mp3") {
    reader.hold(std::move(file));
    MacroRequest request;
    request.parameterText = params;
    request.fileName = fileName;
    const char16_t* text = mediaTypeMacro(context, request);
    EXPECT_NE(text, nullptr);
    if (text == nullptr) return u"<null>";
    EXPECT_TRUE(text == state.macroResult.c_str() ||
                (text == kEmptyText && state.macroResult.empty()));
    return text;
  }

  PluginState state;
  FakeReader reader;
  FakeSubstitution substitution;
  MacroContext context{state, reader, substitution};
};

TEST_F(MediaTypeMacroTest, NamesEveryTypeCodeInEitherCase) {
  const std::pair<int32_t, std::u16string_view> names[] = {
      {1, u"MP3"},   {2, u"WAV"},   {3, u"AVI"}, {4, u"VQF"},  {7, u"OGG"},
      {8, u"APE"},   {9, u"MP4"},   {11, u"FLAC"}, {12, u"AIFF"}, {13, u"WV"},
      {14, u"DSF"}};
  for (const auto& [code, name] : names) {
    EXPECT_EQ(run({code, {}}, u""), name);
    EXPECT_EQ(run({code, {}}, u"1"), asciiLower(name));
  }
}

TEST_F(MediaTypeMacroTest, DefaultsComeFromTheStateAtEachRequest) {
  EXPECT_EQ(run({kTypeMp3, {}}, u""), u"MP3");
  state.settings.def01 = 1;
  EXPECT_EQ(run({kTypeMp3, {}}, u""), u"mp3");
  EXPECT_EQ(run({kTypeMp3, {}}, u"0"), u"MP3");
  state.settings.def02 = 1;
  EXPECT_EQ(run({kTypeNone, {}}, u"", u"Notes.TXT"), u"TXT");
}

TEST_F(MediaTypeMacroTest, WmaWithVideoIsWmv) {
  EXPECT_EQ(run({kTypeWma, {{u"VFMT", u"N/A"}}}, u""), u"WMA");
  EXPECT_EQ(run({kTypeWma, {{u"VFMT", u"WMV3, 320x240"}}}, u""), u"WMV");
  EXPECT_EQ(run({kTypeWma, {}}, u""), u"WMV");
  EXPECT_EQ(run({kTypeWma, {{u"VFMT", u"n/a"}}}, u""), u"WMV");
  EXPECT_EQ(run({kTypeWma, {{u"VFMT", u"N/A"}}}, u"1"), u"wma");
  EXPECT_EQ(run({kTypeWma, {}}, u"-1"), u"wmv");
  // Only a WMA file is asked for its video format.
  reader.asked.clear();
  run({kTypeAvi, {}}, u"");
  EXPECT_TRUE(reader.asked.empty());
}

TEST_F(MediaTypeMacroTest, MatroskaIsNamedByDocumentTypeAndVideo) {
  EXPECT_EQ(run({kTypeMatroska, {{u"DOCTYPE", u"matroska"}, {u"VFMT", u"H264, 64x48"}}}, u""),
            u"MKV");
  EXPECT_EQ(
      run({kTypeMatroska, {{u"DOCTYPE", u"matroska"}, {u"AFMT", u"Opus, 48000Hz, 1ch"}}}, u""),
      u"MKA");
  // No track list read: nothing says there is no video.
  EXPECT_EQ(run({kTypeMatroska, {{u"DOCTYPE", u"matroska"}}}, u""), u"MKV");
  EXPECT_EQ(run({kTypeMatroska, {{u"DOCTYPE", u"webm"}}}, u"1"), u"webm");
  EXPECT_EQ(run({kTypeMatroska, {{u"DOCTYPE", u"webm"}, {u"VFMT", u"VP9, 64x48"}}}, u""), u"WEBM");
  EXPECT_EQ(run({kTypeTs, {{u"DOCTYPE", u"ts"}}}, u""), u"TS");
  EXPECT_EQ(run({kTypeTs, {{u"DOCTYPE", u"m2ts"}}}, u"1"), u"m2ts");
  EXPECT_EQ(run({kTypeMpegPs, {{u"DOCTYPE", u"mpeg"}}}, u""), u"MPG");
  EXPECT_EQ(run({kTypeMpegPs, {{u"DOCTYPE", u"vob"}}}, u""), u"VOB");
  EXPECT_EQ(run({kTypeAdts, {}}, u""), u"AAC");
}

TEST_F(MediaTypeMacroTest, UnrecognisedFileGivesNothingOrItsOwnExtension) {
  EXPECT_EQ(run({kTypeNone, {}}, u"0,0", u"Notes.TXT"), u"");
  EXPECT_EQ(run({kTypeNone, {}}, u"0,1", u"Notes.TXT"), u"TXT");
  EXPECT_EQ(run({kTypeNone, {}}, u"1,1", u"Notes.TXT"), u"TXT");
  EXPECT_EQ(run({kTypeNone, {}}, u",1", u"README"), u"");
  EXPECT_EQ(run({kTypeNone, {}}, u"-1,-1", u"a.b.c"), u"c");
}

TEST_F(MediaTypeMacroTest, CodesWithoutANameCountAsUnrecognised) {
  for (int32_t code : {6, 10, 19, 255, -1, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(run({code, {}}, u"0,0", u"clip.xyz"), u"") << code;
    EXPECT_EQ(run({code, {}}, u"1,1", u"clip.XYZ"), u"XYZ") << code;
  }
}

}  // namespace
}  // namespace sonavid
