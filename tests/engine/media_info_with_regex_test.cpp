// The media-info macro with the built-in substitution engine: the time derivation and user
// items as users write them.
#include <gtest/gtest.h>

#include "engine/media_info_macro.h"
#include "engine_fakes.h"
#include "regex/builtin_substitution.h"

namespace sonavid {
namespace {

using testing::FakeFile;
using testing::FakeReader;

class MediaInfoWithRegexTest : public ::testing::Test {
 protected:
  std::u16string run(FakeFile file, std::u16string_view params) {
    reader.hold(std::move(file));
    MacroRequest request;
    request.macroIndex = kMediaInfoMacro;
    request.parameterText = params;
    return mediaInfoMacro(context, request);
  }

  PluginState state;
  FakeReader reader;
  BuiltinSubstitution substitution;
  MacroContext context{state, reader, substitution};
};

TEST_F(MediaInfoWithRegexTest, TimeIsTakenFromTheAudioFormatsSecondsPart) {
  const auto timeFrom = [&](std::u16string afmt) {
    return run({kTypeMp3, {{u"AFMT", std::move(afmt)}}}, u",TIME");
  };
  EXPECT_EQ(timeFrom(u"X, 205.3 more"), u"3'25 (205sec)");
  // The lazy groups stop at the first ", " and the first period after it.
  EXPECT_EQ(timeFrom(u"A, 61.5, 7.2"), u"1'01 (61sec)");
  EXPECT_EQ(timeFrom(u"X, 205 more"), u"0'00 (sec)");
  EXPECT_EQ(timeFrom(u"no comma. here"), u"0'00 (sec)");
  EXPECT_EQ(timeFrom(u""), u"0'00 (sec)");
  // A captured text that is not a number reads as 0 seconds but stands in the brackets.
  EXPECT_EQ(timeFrom(u"PCM, 44.1kHz"), u"0'44 (44sec)");
  EXPECT_EQ(timeFrom(u"PCM, stereo 1.0"), u"0'00 (stereo 1sec)");
}

TEST_F(MediaInfoWithRegexTest, UserItemsRunTheirSubstitutionOnTheFormattedValue) {
  state.settings.itemLists[0] = {
      u"TIME_min",  u"minutes",        u"s/^(\\d+)'.*$/\\1 min/",
      u"TIME_min",  u"minutes, later", u"s/^(\\d+)'(\\d+).*$/\\1m\\2s/",
      u"AFMT_rate", u"bit rate",       u"s/^.* (\\d+)kbps.*$/\\1/",
      u"AFMT_bad",  u"broken",         u"s/(unclosed/x/",
      u"VFMT_none", u"no video",       u"s/^$/audio only/",
  };
  const FakeFile mp3{kTypeMp3,
                     {{u"TIME", u"3:25 (205sec)"}, {u"AFMT", u"MPEG 1 Layer 3, 128kbits/s"}}};
  EXPECT_EQ(run(mp3, u"MP3,TIME_min"), u"3m25s");
  EXPECT_EQ(run(mp3, u"MP3,AFMT_rate"), u"128");
  EXPECT_EQ(run(mp3, u"MP3,AFMT_bad"), u"MPEG 1 Layer 3, 128kbps");
  EXPECT_EQ(run(mp3, u"MP3,AFMT_none"), u"MPEG 1 Layer 3, 128kbps");
  EXPECT_EQ(run(mp3, u"MP3,VFMT_none"), u"audio only");
  EXPECT_EQ(run({kTypeMp3, {{u"VFMT", u"N/A"}}}, u"MP3,VFMT_none"), u"N/A");
}

}  // namespace
}  // namespace sonavid
