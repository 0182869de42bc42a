#include "engine/media_info_macro.h"

#include <gtest/gtest.h>

#include "engine/value_formatting.h"
#include "engine_fakes.h"

namespace sonavid {
namespace {

using testing::FakeFile;
using testing::FakeReader;
using testing::FakeSubstitution;

TEST(MediaInfoParamsTest, SplitsTypeAndFieldAtTheFirstComma) {
  struct Case {
    std::u16string_view text;
    int typeIndex;
    std::u16string_view field;
  };
  const Case cases[] = {
      {u"", -1, u"TIME"},
      {u",AFMT", -1, u"AFMT"},
      {u"MP3,INAM_v1", 0, u"INAM_v1"},
      {u"WMA", 4, u"TIME"},
      {u"MP4,", 7, u""},
      {u"mp3,TIME", -1, u"TIME"},
      {u"\u81EA\u52D5,TIME", -1, u"TIME"},
      {u"INAM_v1", -1, u"TIME"},
      {u"OGG,a,b,c", 5, u"a,b,c"},
      {u" MP3,AFMT", -1, u"AFMT"},
  };
  for (const Case& c : cases) {
    const MediaInfoParams params = parseMediaInfoParams(c.text);
    EXPECT_EQ(params.typeIndex, c.typeIndex) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(params.fieldCode, c.field) << std::string(c.text.begin(), c.text.end());
  }
}

TEST(ItemExpressionTest, LastItemOfTheNameWinsAndIncompleteItemsAreIgnored) {
  const ItemList items = {u"TIME_min", u"first",  u"s/a/b/", u"TIME_sec", u"",         u"s/c/d/",
                          u"TIME_min", u"second", u"s/e/f/", u"TIME_min", u"cut short"};
  EXPECT_EQ(findItemExpression(items, u"TIME_min"), u"s/e/f/");
  EXPECT_EQ(findItemExpression(items, u"TIME_sec"), u"s/c/d/");
  EXPECT_EQ(findItemExpression(items, u"time_min"), u"");
  EXPECT_EQ(findItemExpression({}, u"TIME_min"), u"");
}

TEST(PlayingTimeTest, FormatsSecondsAsMinutesAndSeconds) {
  EXPECT_EQ(formatPlayingTime(u"205"), u"3:25 (205sec)");
  EXPECT_EQ(formatPlayingTime(u""), u"0:00 (sec)");
  EXPECT_EQ(formatPlayingTime(u"59"), u"0:59 (59sec)");
  EXPECT_EQ(formatPlayingTime(u"3600"), u"60:00 (3600sec)");
  EXPECT_EQ(formatPlayingTime(u"$10"), u"0:16 ($10sec)");
  EXPECT_EQ(formatPlayingTime(u"12 "), u"0:00 (12 sec)");
  EXPECT_EQ(formatPlayingTime(u"-65"), u"-1:-5 (-65sec)");
  EXPECT_EQ(formatPlayingTime(u"-2147483648"), u"-35791394:-8 (-2147483648sec)");
  EXPECT_EQ(formatPlayingTime(u"2147483648"), u"0:00 (2147483648sec)");
}

class MediaInfoMacroTest : public ::testing::Test {
 protected:
  std::u16string run(FakeFile file, std::u16string_view params) {
    reader.hold(std::move(file));
    reader.asked.clear();
    MacroRequest request;
    request.macroIndex = kMediaInfoMacro;
    request.parameterText = params;
    const char16_t* text = mediaInfoMacro(context, request);
    EXPECT_NE(text, nullptr);
    return text != nullptr ? std::u16string(text) : std::u16string(u"<null>");
  }

  PluginState state;
  FakeReader reader;
  FakeSubstitution substitution;
  MacroContext context{state, reader, substitution};
};

TEST_F(MediaInfoMacroTest, TypeMustMatchWhenGivenAndBeKnownWhenAutomatic) {
  const FakeFile wav{kTypeWav, {{u"TIME", u"1:00 (60sec)"}, {u"INAM", u"Title"}}};
  EXPECT_EQ(run(wav, u""), u"1'00 (60sec)");
  EXPECT_EQ(run(wav, u",TIME"), u"1'00 (60sec)");
  EXPECT_EQ(run(wav, u"WAV,INAM"), u"Title");
  EXPECT_EQ(run(wav, u"MP3,TIME"), u"");
  EXPECT_EQ(run(wav, u"mp3,INAM"), u"Title");
  for (int32_t code : {0, 6, 10, -1}) {
    EXPECT_EQ(run({code, {{u"TIME", u"x"}}}, u",TIME"), u"") << code;
    EXPECT_TRUE(reader.asked.empty());
  }
  EXPECT_EQ(run({kTypeMp4, {{u"TIME", u"x"}}}, u"MP4,TIME"), u"x");
}

TEST_F(MediaInfoMacroTest, AnyFieldCodeIsPassedOnAndMissingValuesAreEmpty) {
  const FakeFile mp3{kTypeMp3, {{u"INAM_v1", u"Song"}, {u"odd,code", u"v"}}};
  EXPECT_EQ(run(mp3, u"MP3,INAM_v1"), u"Song");
  EXPECT_EQ(run(mp3, u",odd,code"), u"v");
  EXPECT_EQ(run(mp3, u",IART_v1"), u"");
  EXPECT_EQ(run(mp3, u",VFMT"), u"");
}

TEST_F(MediaInfoMacroTest, TimeColonsBecomeApostrophes) {
  EXPECT_EQ(run({kTypeMp3, {{u"TIME", u"1:02:03 (3723sec)"}}}, u""), u"1'02'03 (3723sec)");
  EXPECT_TRUE(substitution.calls.empty());
}

TEST_F(MediaInfoMacroTest, MissingTimeIsDerivedFromTheAudioFormat) {
  const std::u16string afmt = u"X, 205.3 more";
  substitution.answer(std::u16string(kDefaultTimeExpression), afmt, {1, u"205"});
  EXPECT_EQ(run({kTypeMp3, {{u"AFMT", afmt}}}, u",TIME"), u"3'25 (205sec)");
  EXPECT_EQ(substitution.calls.back().first, kDefaultTimeExpression);

  // No match (or an unusable engine) formats an empty seconds text.
  EXPECT_EQ(run({kTypeMp3, {{u"AFMT", u"no time here"}}}, u",TIME"), u"0'00 (sec)");
  EXPECT_EQ(run({kTypeMp3, {}}, u",TIME"), u"0'00 (sec)");
}

TEST_F(MediaInfoMacroTest, AudioFormatRatesAreWrittenAsBps) {
  EXPECT_EQ(run({kTypeMp3, {{u"AFMT", u"MPEG1 L3, 128kbits/s"}}}, u",AFMT"), u"MPEG1 L3, 128kbps");
  EXPECT_EQ(run({kTypeMp3, {{u"AFMT", u"PCM, 1411kb/s"}}}, u",AFMT"), u"PCM, 1411kbps");
  // Every occurrence; "/s" after anything else stays.
  EXPECT_EQ(run({kTypeMp3, {{u"AFMT", u"b/s/s bits/sbb/s its/s 8/s b/"}}}, u",AFMT"),
            u"bps/s bpsbbps its/s 8/s b/");
  // The rewrite belongs to "AFMT" alone.
  EXPECT_EQ(run({kTypeAvi, {{u"VFMT", u"DivX, 800kb/s"}}}, u",VFMT"), u"DivX, 800kb/s");
}

TEST_F(MediaInfoMacroTest, CommentLineFeedsAreRemoved) {
  const std::u16string twoLines = u"one\r\ntwo\n";
  for (std::u16string_view code : {u"ICMT", u"ICMT_v1", u"ICMT_v2", u"ICMT_rmp", u"ICMTx"}) {
    std::u16string params = u",";
    params += code;
    EXPECT_EQ(run({kTypeMp3, {{std::u16string(code), twoLines}}}, params), u"one\rtwo");
  }
  EXPECT_EQ(run({kTypeMp3, {{u"ICM", twoLines}}}, u",ICM"), twoLines);
}

TEST_F(MediaInfoMacroTest, UserItemsRewriteTheBaseFieldOfAnExplicitType) {
  state.settings.itemLists[0] = {u"TIME_min", u"", u"s/first/", u"TIME_min", u"", u"s/second/"};
  substitution.answer(u"s/second/", u"3'25 (205sec)", {1, u"3 min"});
  const FakeFile mp3{kTypeMp3, {{u"TIME", u"3:25 (205sec)"}, {u"AFMT", u"MPEG, 128kbits/s"}}};
  EXPECT_EQ(run(mp3, u"MP3,TIME_min"), u"3 min");
  EXPECT_EQ(reader.asked, std::vector<std::u16string>{u"TIME"});

  // Automatic type: the code goes to the reader unchanged and no list is consulted.
  substitution.calls.clear();
  EXPECT_EQ(run(mp3, u",TIME_min"), u"");
  EXPECT_EQ(reader.asked, std::vector<std::u16string>{u"TIME_min"});
  EXPECT_TRUE(substitution.calls.empty());

  // No item of that name: the base value, rewritten as usual.
  EXPECT_EQ(run(mp3, u"MP3,AFMT_x"), u"MPEG, 128kbps");
  // The lists are per type: an MP3 item does not apply to a WAV file.
  EXPECT_EQ(run({kTypeWav, {{u"TIME", u"0:01 (1sec)"}}}, u"WAV,TIME_min"), u"0'01 (1sec)");
}

}  // namespace
}  // namespace sonavid
