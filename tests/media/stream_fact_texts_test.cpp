// The stream-fact field codes: their shapes from given facts, and the facts every reader finds
// in the media fixtures (lengths, rates, sizes and frame rates checked against ffprobe and
// mediainfo; where they differ, the row says why).
#include "media/values/stream_fact_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "common/platform_posix.h"
#include "common/text.h"
#include "media/builtin_reader.h"
#include "media/expected_values.h"
#include "media/western_code_page.h"

namespace sonavid::media {
namespace {

std::string factText(const StreamFacts& facts, std::string_view code) {
  std::u16string out = u"(not a fact code)";
  streamFactText(facts, code, out);
  return utf16ToUtf8(out);
}

TEST(StreamFactTexts, EachFactHasOneShapeAndNoneIsEmpty) {
  const auto picture = [](uint32_t width, uint32_t height, bool interlaced = false) {
    StreamFacts facts;
    facts.width = width;
    facts.height = height;
    facts.interlaced = interlaced;
    return facts;
  };
  const auto frameRate = [](uint64_t num, uint64_t den) {
    StreamFacts facts;
    setFrameRate(facts, num, den);
    return facts;
  };
  const auto length = [](int64_t ms) {
    StreamFacts facts;
    facts.durationMs = ms;
    return facts;
  };
  const struct {
    StreamFacts facts;
    const char* code;
    const char* text;
  } cases[] = {
      {length(205999), "SECS", "205"},
      {length(205999), "LENGTH", "3'25"},
      {length(3599999), "LENGTH", "59'59"},
      {length(3723000), "LENGTH", "1'02'03"},
      {length(0), "LENGTH", "0'00"},
      {length(-1), "SECS", ""},
      {length(-1), "LENGTH", ""},
      // The class of the larger of the height and the width's 16:9 height.
      {picture(1920, 1080), "RES", "1080p"},
      {picture(1440, 1080, true), "RES", "1080i"},
      {picture(1920, 800), "RES", "1080p"},
      {picture(3840, 1600), "RES", "2160p"},
      {picture(2560, 1440), "RES", "1440p"},
      {picture(1280, 720), "RES", "720p"},
      {picture(720, 576, true), "RES", "576i"},
      {picture(720, 480), "RES", "480p"},
      {picture(640, 360), "RES", "360p"},
      {picture(320, 240), "RES", "240p"},
      {picture(0, 240), "RES", ""},
      {picture(1920, 1080), "WIDTH", "1920"},
      {frameRate(24000, 1001), "FPS", "23.976"},
      {frameRate(30000, 1001), "FPS", "29.97"},
      {frameRate(60000, 1001), "FPS", "59.94"},
      {frameRate(1000000000, 40000000), "FPS", "25"},
      {frameRate(1, 3), "FPS", "0.333"},
      // A rate of 64-bit counts is reduced to fit and keeps its figures.
      {frameRate(uint64_t{30000} << 40, uint64_t{1001} << 40), "FPS", "29.97"},
      {frameRate(1, 10000), "FPS", ""},
      {frameRate(25, 0), "FPS", ""},
      // Facts the file did not give are empty, never 0.
      {StreamFacts{}, "KBPS", ""},
      {StreamFacts{}, "SRATE", ""},
      {StreamFacts{}, "BITS", ""},
      {StreamFacts{}, "CH", ""},
      {StreamFacts{}, "ACODEC", ""},
      {StreamFacts{}, "HEIGHT", ""},
      {StreamFacts{}, "TIME", "(not a fact code)"},
      {StreamFacts{}, "secs", "(not a fact code)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(factText(c.facts, c.code), c.text) << c.code << " case " << (&c - cases);
  }
}

class StreamFactFixtures : public test::WesternCodePageTest {};

TEST_F(StreamFactFixtures, EveryTypeGivesTheFactsOfItsFirstStreams) {
  constexpr const char* kCodes[] = {"SECS",   "ACODEC", "KBPS",   "SRATE", "BITS", "CH",
                                    "VCODEC", "WIDTH",  "HEIGHT", "RES",   "FPS"};
  // One row per file: the values of kCodes, '|'-separated. Bitrates are the ones AFMT is made
  // from, truncated (as ffprobe's); they differ from mediainfo's where it shows the encoder's
  // nominal rate (Vorbis, some AAC) or counts the file's whole size (DSF). Lengths follow TIME
  // where ffprobe trusts a header over the bytes a cut-off file holds.
  const struct {
    const char* file;
    const char* facts;
  } rows[] = {
      {"mp3-cbr-info.mp3", "5|MP3|48|32000||2|||||"},
      {"mp3-vbr-xing.mp3", "5|MP3|86|32000||2|||||"},
      {"mp3-layer1.mp3", "2|MP1|32|44100||1|||||"},
      {"mp3-layer2.mp3", "3|MP2|64|32000||2|||||"},
      {"rmp3-info.wav", "5|MP3|48|32000||2|||||"},
      {"wav-pcm16-mono.wav", "3|PCM|128|8000|16|1|||||"},
      {"wav-float.wav", "2|PCM|256|8000|32|1|||||"},
      {"wav-extensible-24bit.wav", "3|PCM|192|8000|24|1|||||"},
      // mediainfo gives ADPCM 4 bits; a lossy codec has no bit depth here.
      {"wav-ima-adpcm.wav", "5|ADPCM|128|11025||1|||||"},
      {"wav-mp3.wav", "5|MP3|32|22050||2|||||"},
      {"avi-xvid-mp3.avi", "3|MP3|32|22050||2|MPEG-4|160|120|120p|10"},
      {"avi-mjpeg-pcm.avi", "2|PCM|128|8000|16|1|MJPEG|96|64|64p|25"},
      {"tone-v2.vqf", "3|TwinVQ|96|44100||2|||||"},
      {"mono-v2plus.vqf", "5|TwinVQ|24|22050||1|||||"},
      {"tone.wma", "3|WMA|48|44100||2|||||"},
      // The header holds no frame rate (mediainfo shows none either).
      {"clip.wmv", "2|WMA|32|44100||2|WMV2|160|120|120p|"},
      {"tone.ogg", "3|Vorbis|20|44100||2|||||"},
      {"tone.opus", "3|Opus|42|48000||2|||||"},
      {"speex.spx", "3|Speex|28|16000||1|||||"},
      {"mono-flac.oga", "4|FLAC|97|44100|16|1|||||"},
      {"video.ogv", "2|Vorbis|64|44100||2|Theora|96|72|72p|10"},
      {"theora-only.ogv", "2||||||Theora|64|48|48p|25"},
      {"tone.ape", "3|Monkey's Audio|98|44100|16|2|||||"},
      {"tone.m4a", "3|AAC|63|44100||2|||||"},
      // The sample entry says 2 channels; the AAC configuration (and ffprobe) 1.
      {"cut-off.m4a", "4|AAC|32|22050||1|||||"},
      {"mono-alac.m4a", "4|ALAC|135|44100|16|1|||||"},
      {"flac-96k.mp4", "0|FLAC|205|96000|16|1|||||"},
      {"clip.mp4", "2|AAC|47|44100||2|H264|160|120|120p|29.97"},
      {"fragmented.mp4", "2||||||H264|96|72|72p|10"},
      {"flac-24bit-96k.flac", "2|FLAC|14|96000|24|1|||||"},
      {"flac-6ch.flac", "2|FLAC|13|48000|16|6|||||"},
      {"aiff-24bit-id3.aiff", "2|PCM|96|4000|24|1|||||"},
      // mediainfo calls QuickTime's IMA ADPCM PCM; ffprobe adpcm_ima_qt.
      {"aifc-ima4.aifc", "2|ADPCM|34|8000||1|||||"},
      {"wv-lossless.wv", "2|WavPack|12|44100|16|2|||||"},
      {"wv-float.wv", "2|WavPack|56|37800|32|1|||||"},
      // DSD: the bit rate as the rate (mediainfo shows the stored bytes' 88200 Hz, 8 bits).
      {"wv-dsd.wv", "1|WavPack|10|2822400|1|2|||||"},
      {"dsf-dsd64.dsf", "1|DSD|5644|2822400|1|2|||||"},
      {"h264-aac.mkv", "2|AAC||48000||2|H264|64|48|48p|25"},
      {"multi-audio.mkv", "2|AC-3||48000||2|H264|64|48|48p|23.976"},
      {"hevc-ac3.mkv", "1|AC-3||48000||2|HEVC|64|48|48p|29.97"},
      {"interlaced.mkv", "0||||||H264|720|576|576i|25"},
      {"av1-flac.mkv", "1|FLAC||44100|24|1|AV1|64|48|48p|24"},
      {"vp9-opus.webm", "2|Opus||48000||2|VP9|64|48|48p|15"},
      {"pcm24.mka", "1|PCM||8000|24|1|||||"},
      // Not a media file: no fact at all.
      {"expected-lossless.tsv", "||||||||||"},
  };
  BuiltinReader reader;
  std::u16string copied;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    ASSERT_TRUE(reader.load(utf8ToUtf16(test::kMediaDir + row.file)));
    std::string found;
    for (const char* code : kCodes) {
      const std::u16string name = asciiToUtf16(code);
      reader.copyValue(name, copied);
      EXPECT_EQ(copied, reader.value(name)) << code;
      if (code != kCodes[0]) found += '|';
      found += utf16ToUtf8(copied);
    }
    EXPECT_EQ(found, row.facts);
  }
}

}  // namespace
}  // namespace sonavid::media
