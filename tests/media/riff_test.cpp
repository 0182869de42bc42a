#include <gtest/gtest.h>

#include "common/platform_posix.h"
#include "common/text.h"
#include "media/formats.h"
#include "media/memory_file.h"
#include "media/riff/video_codecs.h"
#include "media/riff/wave_format.h"
#include "media/tags/riff_info.h"
#include "media_test_bytes.h"

namespace sonavid::media {
namespace {

using namespace test;

std::string waveFormat(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t avgBytes,
                       uint16_t align, uint16_t bits) {
  return le16(tag) + le16(channels) + le32(rate) + le32(avgBytes) + le16(align) + le16(bits);
}

std::string pcmMono8k() { return waveFormat(1, 1, 8000, 8000, 1, 8); }

std::string infoList(std::string_view items) { return chunk("LIST", "INFO" + std::string(items)); }

class RiffTest : public ::testing::Test {
 protected:
  void SetUp() override { setPlatform(&western_); }
  void TearDown() override { setPlatform(nullptr); }

  std::optional<MediaInfo> read(std::string bytes) {
    MemoryFile file(std::move(bytes));
    MediaInfo info;
    if (!readRiff(file, info)) return std::nullopt;
    return info;
  }
  static std::string value(const MediaInfo& info, std::string_view code) {
    const std::u16string* v = info.find(code);
    return v ? utf16ToUtf8(*v) : "<none>";
  }

  PosixPlatform western_{"WINDOWS-1252"};
};

TEST_F(RiffTest, PcmWave) {
  const auto info = read(riff("WAVE", chunk("fmt ", waveFormat(1, 2, 44100, 176400, 4, 16)) +
                                          chunk("data", std::string(176400 * 3 + 100, '\0'))));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->type, 2);
  EXPECT_EQ(value(*info, "TIME"), "0:03 (3sec)");
  EXPECT_EQ(value(*info, "AFMT"), "Microsoft PCM, 16bit, 44100Hz, 2ch, 1411Kbps");
}

TEST_F(RiffTest, DataSizesThatCannotBeTrusted) {
  // 0, 0xFFFFFFFF and past the end of the file: the data runs to the end of the file.
  for (uint32_t declared : {0u, 0xFFFFFFFFu, 0x7FFFFFF0u}) {
    const std::string body =
        "WAVE" + chunk("fmt ", pcmMono8k()) + "data" + le32(declared) + std::string(16000, '\0');
    const auto info = read("RIFF" + le32(declared) + body);
    ASSERT_TRUE(info) << declared;
    EXPECT_EQ(value(*info, "TIME"), "0:02 (2sec)") << declared;
  }
  // A stale RIFF size that ends before the chunks: they are read all the same.
  const auto stale = read("RIFF" + le32(4) + "WAVE" + chunk("fmt ", pcmMono8k()) +
                          chunk("data", std::string(8000, '\0')) + infoList(chunk("IART", "A")));
  ASSERT_TRUE(stale);
  EXPECT_EQ(value(*stale, "TIME"), "0:01 (1sec)");
  EXPECT_EQ(value(*stale, "IART"), "A");
}

TEST_F(RiffTest, Rf64AndBw64TakeTheirSizesFromDs64) {
  // ds64: RIFF size, data size, sample count, table length; the data chunk's size 0xFFFFFFFF.
  const std::string ds64 =
      chunk("ds64", std::string(8, '\0') + le32(16000) + le32(0) + std::string(8, '\0') + le32(0));
  const std::string chunks = ds64 + chunk("fmt ", pcmMono8k()) + "data" + le32(0xFFFFFFFFu) +
                             std::string(16000, '\0') + infoList(chunk("INAM", "After"));
  for (const char* magic : {"RF64", "BW64"}) {
    const auto info = read(magic + le32(0xFFFFFFFFu) + "WAVE" + chunks);
    ASSERT_TRUE(info) << magic;
    EXPECT_EQ(info->type, 2);
    EXPECT_EQ(value(*info, "TIME"), "0:02 (2sec)") << magic;
    EXPECT_EQ(value(*info, "INAM"), "After") << magic;
  }
  // Only WAVE comes in the 64-bit form.
  EXPECT_FALSE(read("RF64" + le32(0xFFFFFFFFu) + "AVI " + chunks));
}

TEST_F(RiffTest, OddChunksArePaddedAndEmptyOnesSkipped) {
  const auto info =
      read(riff("WAVE", chunk("junk", "abc") + chunk("zero", "") + chunk("fmt ", pcmMono8k()) +
                            chunk("data", std::string(8001, '\0')) +
                            infoList(chunk("INAM", std::string("Odd", 4)))));
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "TIME"), "0:01 (1sec)");
  EXPECT_EQ(value(*info, "INAM"), "Odd");
}

TEST_F(RiffTest, InfoListCodesEvenAfterTheData) {
  const std::string items = chunk("INAM", std::string("Name\0", 5)) + chunk("ISBJ", "Subject") +
                            chunk("IART", "Art") + chunk("IPRD", "Prd") + chunk("ICMT", "a\r\nb") +
                            chunk("ICRD", "2020") + chunk("IGNR", "Pop") + chunk("ICOP", "(C)") +
                            chunk("ISFT", "Soft") + chunk("ISRC", "Src") + chunk("IENG", "Eng") +
                            chunk("ITRK", "3") + chunk("IXYZ", "unknown");
  const auto info =
      read(riff("WAVE", chunk("fmt ", pcmMono8k()) + chunk("data", "xx") + infoList(items)));
  ASSERT_TRUE(info);
  for (const auto& [code, expected] :
       std::vector<std::pair<std::string, std::string>>{{"INAM", "Name"},
                                                        {"ISBJ", "Subject"},
                                                        {"IART", "Art"},
                                                        {"IPRD", "Prd"},
                                                        {"ICMT", "a\r\nb"},
                                                        {"ICRD", "2020"},
                                                        {"IGNR", "Pop"},
                                                        {"ICOP", "(C)"},
                                                        {"ISFT", "Soft"},
                                                        {"ISRC", "Src"},
                                                        {"IENG", "Eng"},
                                                        {"TRACK", "3"},
                                                        {"IXYZ", "<none>"},
                                                        {"INAM_rmp", "<none>"}}) {
    EXPECT_EQ(value(*info, code), expected) << code;
  }
}

TEST_F(RiffTest, FormatNames) {
  // WAVE_FORMAT_EXTENSIBLE: the sub-format names it, the valid bits give the depth.
  const std::string extensible = waveFormat(0xFFFE, 2, 48000, 384000, 8, 32) + le16(22) + le16(24) +
                                 le32(3) + le16(3) + std::string(14, '\0');
  EXPECT_EQ(waveFormatText(parseWaveFormat(ByteReader(extensible)), ChannelStyle::kCount),
            u"IEEE Float, 24bit, 48000Hz, 2ch, 3072Kbps");
  EXPECT_EQ(waveFormatText(parseWaveFormat(ByteReader(waveFormat(0x55, 2, 44100, 16000, 1, 0))),
                           ChannelStyle::kCount),
            u"MPEG1-Layer3, 44100Hz, 2ch, 128Kbps");
  EXPECT_EQ(waveFormatText(parseWaveFormat(ByteReader(waveFormat(0x1234, 6, 8000, 1000, 1, 4))),
                           ChannelStyle::kName),
            u"Unknown (0x1234), 8000Hz, 6ch, 8Kbps");
  EXPECT_EQ(waveFormatText(parseWaveFormat(ByteReader(waveFormat(1, 1, 8000, 8000, 1, 8))),
                           ChannelStyle::kName),
            u"Microsoft PCM, 8bit, 8000Hz, Mono, 64Kbps");
}

TEST_F(RiffTest, CompressedWaveTakesItsLengthFromTheFactChunk) {
  const auto info = read(riff("WAVE", chunk("fmt ", waveFormat(0x55, 2, 44100, 16000, 1, 0)) +
                                          chunk("fact", le32(44100 * 7)) +
                                          chunk("data", std::string(1000, '\0'))));
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "TIME"), "0:07 (7sec)");
  EXPECT_EQ(value(*info, "AFMT"), "MPEG1-Layer3, 44100Hz, 2ch, 128Kbps");
  // Cut off at a quarter of its data: a quarter of the samples.
  const auto cut = read(riff("WAVE", chunk("fmt ", waveFormat(0x55, 2, 44100, 16000, 1, 0)) +
                                         chunk("fact", le32(44100 * 8)) + "data" + le32(4000) +
                                         std::string(1000, '\0')));
  ASSERT_TRUE(cut);
  EXPECT_EQ(value(*cut, "TIME"), "0:02 (2sec)");
}

TEST_F(RiffTest, DamagedWaves) {
  // The form alone, a format chunk too short, a garbage chunk id before the format.
  for (const std::string& bytes :
       {riff("WAVE", ""), riff("WAVE", chunk("fmt ", "\x01")),
        riff("WAVE", "\x01\x02\x03\x04" + le32(4) + "abcd" + chunk("fmt ", pcmMono8k())),
        std::string("RIFF\0\0\0\0WAVE", 12), riff("WAVE", "fmt " + le32(0xFFFFFFF0))}) {
    const auto info = read(bytes);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->type, 2);
    EXPECT_EQ(value(*info, "TIME"), "<none>");
  }
  EXPECT_FALSE(read("RIFF"));
  EXPECT_FALSE(read(riff("CDXA", "")));
  EXPECT_FALSE(read("RIFX" + le32(4) + "WAVE"));
}

// AVI headers: avih, a stream list per stream, an optional odml list.
std::string avih(uint32_t microSeconds, uint32_t frames) {
  return chunk("avih",
               le32(microSeconds) + std::string(12, '\0') + le32(frames) + std::string(36, '\0'));
}
std::string strh(std::string_view type, std::string_view handler, uint32_t scale, uint32_t rate,
                 uint32_t length) {
  return chunk("strh", std::string(type) + std::string(handler) + std::string(12, '\0') +
                           le32(scale) + le32(rate) + le32(0) + le32(length) +
                           std::string(20, '\0'));
}
std::string videoList(std::string_view codec, uint32_t scale, uint32_t rate, uint32_t length) {
  const std::string bih = le32(40) + le32(640) + le32(static_cast<uint32_t>(-480)) + le16(1) +
                          le16(24) + std::string(codec) + std::string(20, '\0');
  return chunk("LIST", "strl" + strh("vids", codec, scale, rate, length) + chunk("strf", bih));
}
std::string audioList(const std::string& format, uint32_t scale, uint32_t rate, uint32_t length) {
  return chunk("LIST", "strl" + strh("auds", std::string(4, '\0'), scale, rate, length) +
                           chunk("strf", format));
}

TEST_F(RiffTest, AviWithVideoAndAudio) {
  const std::string hdrl =
      chunk("LIST", "hdrl" + avih(33367, 43200) + videoList("XVID", 1001, 30000, 43200) +
                        audioList(waveFormat(0x55, 2, 48000, 16000, 1, 0), 1152, 48000, 100));
  auto info =
      read(riff("AVI ", hdrl + infoList(chunk("INAM", "Movie")) +
                            chunk("LIST", "movi" + std::string(100, '\0')) + chunk("idx1", "")));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->type, 3);
  EXPECT_EQ(value(*info, "VFMT"), "XviD MPEG4, 640x480, 29.970fps, 43200Frames");
  EXPECT_EQ(value(*info, "AFMT"), "MPEG1-Layer3, 48000Hz, Stereo, 128Kbps");
  EXPECT_EQ(value(*info, "TIME"), "00:24:01 (1441sec)");
  EXPECT_EQ(value(*info, "AVIV"), "AVI 1.0 (VfW)");
  EXPECT_EQ(value(*info, "INAM"), "Movie");
}

TEST_F(RiffTest, OpenDmlAvi) {
  const std::string odml =
      chunk("LIST", "odml" + chunk("dmlh", le32(90000) + std::string(244, '\0')));
  const std::string hdrl =
      chunk("LIST", "hdrl" + avih(40000, 1000) + videoList("MJPG", 1, 25, 1000) + odml);
  auto info = read(riff("AVI ", hdrl));
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "AVIV"), "AVI 2.0 (OpenDML)");
  EXPECT_EQ(value(*info, "VFMT"), "Motion JPEG, 640x480, 25.000fps, 90000Frames");
  EXPECT_EQ(value(*info, "TIME"), "01:00:00 (3600sec)");
  EXPECT_EQ(value(*info, "AFMT"), "None");
  // A further RIFF "AVIX" chunk also marks OpenDML.
  const std::string plain = chunk("LIST", "hdrl" + avih(40000, 10) + videoList("MJPG", 1, 25, 10));
  info = read(riff("AVI ", plain) + riff("AVIX", chunk("LIST", "movi")));
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "AVIV"), "AVI 2.0 (OpenDML)");
}

TEST_F(RiffTest, AviWithoutVideoOrWithoutHeaders) {
  const std::string hdrl =
      chunk("LIST", "hdrl" + avih(0, 0) +
                        audioList(waveFormat(1, 2, 48000, 192000, 4, 16), 4, 192000, 48000 * 65));
  auto info = read(riff("AVI ", hdrl));
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "VFMT"), "None");
  EXPECT_EQ(value(*info, "AFMT"), "Microsoft PCM, 16bit, 48000Hz, Stereo, 1536Kbps");
  EXPECT_EQ(value(*info, "TIME"), "00:01:05 (65sec)");
  // No hdrl list at all, or one cut short: no crash, no format values.
  info = read(riff("AVI ", chunk("LIST", "movi")));
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "VFMT"), "<none>");
  std::string cut = riff("AVI ", hdrl);
  cut.resize(60);
  EXPECT_TRUE(read(cut));
  // A zero scale and rate give no frame rate and no time rather than a division by zero.
  info = read(riff("AVI ", chunk("LIST", "hdrl" + avih(0, 5) + videoList("H264", 0, 0, 5))));
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "VFMT"), "H.264, 640x480, 0.000fps, 5Frames");
  EXPECT_EQ(value(*info, "TIME"), "00:00:00 (0sec)");
}

TEST_F(RiffTest, VideoCodecNames) {
  EXPECT_EQ(videoCodecName("xvid"), u"XviD MPEG4");  // case of the code ignored
  EXPECT_EQ(videoCodecName("AB  "), u"AB");
  EXPECT_EQ(videoCodecName(std::string{'A', '\x01', '\xFF', 'B'}), u"A??B");
  EXPECT_EQ(videoCodecName(std::string(4, '\0')), u"Uncompressed RGB");
}

TEST_F(RiffTest, RiffWrappedMp3) {
  std::string stream;
  for (int i = 0; i < 250; ++i) stream += mp3Frame(128);
  const auto info = read(riff(
      "RMP3", chunk("data", stream) + infoList(chunk("INAM", "Wrapped") + chunk("IART", "A"))));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->type, 1);
  EXPECT_EQ(value(*info, "AFMT"), "MPEG1.0 Layer3 128Kb/s 48000Hz J-Stereo 250frames");
  EXPECT_EQ(value(*info, "TIME"), "0:06 (6sec)");
  EXPECT_EQ(value(*info, "INAM_rmp"), "Wrapped");
  EXPECT_EQ(value(*info, "INAM"), "Wrapped");
  EXPECT_EQ(value(*info, "IART_rmp"), "A");
  EXPECT_EQ(value(*info, "INAM_v2"), "<none>");
  // Data that is no MPEG audio: still type 1, without stream values.
  const auto empty = read(riff("RMP3", chunk("data", std::string(100, 'x'))));
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->type, 1);
  EXPECT_EQ(value(*empty, "AFMT"), "<none>");
}

TEST(RiffInfo, DamagedLists) {
  PosixPlatform western("WINDOWS-1252");
  setPlatform(&western);
  // A size past the end is cut to what is there; a bad id ends the list.
  auto items = parseRiffInfo("INAM" + le32(1000) + "short");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].second, u"short");
  items = parseRiffInfo(chunk("INAM", "ok") + "\x01\x02\x03\x04" + le32(2) + "no");
  EXPECT_EQ(items.size(), 1u);
  // Many items are capped.
  std::string many;
  for (int i = 0; i < 1000; ++i) many += chunk("ICMT", "");
  EXPECT_EQ(parseRiffInfo(many).size(), kMaxRiffInfoItems);
  // Shift-JIS text in the Japanese code page.
  PosixPlatform japanese("CP932");
  setPlatform(&japanese);
  EXPECT_EQ(parseRiffInfo(chunk("INAM", "\x93\xfa\x96\x7b"))[0].second, u"日本");
  setPlatform(nullptr);
}

}  // namespace
}  // namespace sonavid::media
