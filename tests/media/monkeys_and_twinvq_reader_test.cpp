// The Monkey's Audio and TwinVQ readers on hand-made headers: every header layout and the
// blocks per frame of each version, what may stand before "MAC ", and damaged fields.
#include <gtest/gtest.h>

#include <string>

#include "core/media_reader.h"
#include "media/formats.h"
#include "media/memory_file.h"

namespace sonavid::media {
namespace {

std::string le(uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
  return out;
}
std::string be(uint64_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>(value >> (8 * i)));
  return out;
}

// 3.98 and later: descriptor (52 bytes) then header.
std::string newApe(uint16_t version, uint32_t blocksPerFrame, uint32_t finalBlocks, uint32_t frames,
                   uint16_t bits, uint16_t channels, uint32_t rate) {
  return "MAC " + le(version, 2) + le(0, 2) + le(52, 4) + le(24, 4) + std::string(36, '\0') +
         le(2000, 2) + le(0, 2) + le(blocksPerFrame, 4) + le(finalBlocks, 4) + le(frames, 4) +
         le(bits, 2) + le(channels, 2) + le(rate, 4) + std::string(64, '\0');
}
// Before 3.98: one header.
std::string oldApe(uint16_t version, uint16_t compression, uint16_t flags, uint16_t channels,
                   uint32_t rate, uint32_t frames, uint32_t finalBlocks) {
  return "MAC " + le(version, 2) + le(compression, 2) + le(flags, 2) + le(channels, 2) +
         le(rate, 4) + le(0, 4) + le(0, 4) + le(frames, 4) + le(finalBlocks, 4) +
         std::string(64, '\0');
}

MediaInfo readApe(const std::string& bytes, bool* recognised = nullptr) {
  MemoryFile file(bytes);
  MediaInfo info;
  const bool ok = readMonkeys(file, info);
  if (recognised) *recognised = ok;
  return info;
}
MediaInfo readVqf(const std::string& bytes, bool* recognised = nullptr) {
  MemoryFile file(bytes);
  MediaInfo info;
  const bool ok = readTwinVq(file, info);
  if (recognised) *recognised = ok;
  return info;
}
std::u16string value(const MediaInfo& info, std::string_view code) {
  const std::u16string* found = info.find(code);
  return found ? *found : u"(none)";
}

TEST(MonkeysReader, DescriptorHeaderGivesLengthAndFormat) {
  // (100 - 1) * 73728 + 4410 blocks at 44100 Hz: 165.6 s.
  const MediaInfo info = readApe(newApe(3990, 73728, 4410, 100, 16, 2, 44100));
  EXPECT_EQ(info.type, kTypeApe);
  EXPECT_EQ(value(info, "TIME"), u"2:45 (165sec)");
  EXPECT_EQ(value(info, "AFMT"), u"Monkey's Audio v3.99, 16bit, 44100Hz, 2ch");
}

TEST(MonkeysReader, OldHeadersTakeBlocksPerFrameFromTheVersion) {
  // 11 frames: 10 whole ones and a final one of 44100 blocks.
  EXPECT_EQ(value(readApe(oldApe(3970, 2000, 0, 2, 44100, 11, 44100)), "TIME"),
            u"1:07 (67sec)");  // 294912 per frame
  EXPECT_EQ(value(readApe(oldApe(3900, 2000, 0, 2, 44100, 11, 44100)), "TIME"),
            u"0:17 (17sec)");  // 73728
  EXPECT_EQ(value(readApe(oldApe(3800, 4000, 0, 2, 44100, 11, 44100)), "TIME"),
            u"0:17 (17sec)");  // extra high compression of 3.80: 73728
  EXPECT_EQ(value(readApe(oldApe(3800, 2000, 0, 2, 44100, 11, 44100)), "TIME"),
            u"0:03 (3sec)");  // 9216
  EXPECT_EQ(value(readApe(oldApe(3800, 2000, 1, 1, 22050, 1, 0)), "AFMT"),
            u"Monkey's Audio v3.80, 8bit, 22050Hz, 1ch");
  EXPECT_EQ(value(readApe(oldApe(3950, 2000, 8, 2, 96000, 1, 0)), "AFMT"),
            u"Monkey's Audio v3.95, 24bit, 96000Hz, 2ch");
}

TEST(MonkeysReader, Id3v2TagOrJunkMayComeFirst) {
  const std::string ape = newApe(3990, 73728, 44100, 1, 16, 2, 44100);
  // ID3v2 of 300 bytes (syncsafe size 0x02 0x2C = 300).
  const std::string id3 = "ID3\x03\x00\x00\x00\x00\x02\x2C" + std::string(300, '\0');
  EXPECT_EQ(value(readApe(id3 + ape), "TIME"), u"0:01 (1sec)");
  EXPECT_EQ(value(readApe(std::string(5000, '\x01') + ape), "TIME"), u"0:01 (1sec)");
}

TEST(MonkeysReader, DamagedOrForeignHeaders) {
  bool recognised = true;
  readApe(newApe(1234, 73728, 1, 1, 16, 2, 44100), &recognised);  // not a version we know
  EXPECT_FALSE(recognised);
  readApe(newApe(3990, 73728, 1, 1, 16, 2, 0), &recognised);  // no sample rate
  EXPECT_FALSE(recognised);
  readApe(newApe(3990, 73728, 1, 1, 16, 200, 44100), &recognised);  // 200 channels
  EXPECT_FALSE(recognised);
  readApe("MAC \x90\x0F", &recognised);  // cut short
  EXPECT_FALSE(recognised);
  // A descriptor length pointing far away.
  std::string far = newApe(3990, 73728, 1, 1, 16, 2, 44100);
  far.replace(8, 4, le(0xFFFFFFF0u, 4));
  readApe(far, &recognised);
  EXPECT_FALSE(recognised);
  // Zero frames, and the largest counts: no wrap-around.
  EXPECT_EQ(value(readApe(newApe(3990, 73728, 0, 0, 16, 2, 44100)), "TIME"), u"0:00 (0sec)");
  EXPECT_EQ(value(readApe(newApe(3990, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 16, 2, 1)), "TIME"),
            u"307445734418660283:45 (18446744065119617025sec)");
}

std::string vqf(const std::string& version, const std::string& chunks) {
  return "TWIN" + version + be(chunks.size() + 4, 4) + chunks + "DATA";
}
std::string chunk(const std::string& id, const std::string& data) {
  return id + be(data.size(), 4) + data;
}
std::string comm(uint32_t mode, uint32_t kbps, uint32_t khz) {
  return chunk("COMM", be(mode, 4) + be(kbps, 4) + be(khz, 4) + be(0, 4));
}

TEST(TwinVqReader, LengthFormatAndTexts) {
  const MediaInfo info = readVqf(
      vqf("97012000", comm(1, 96, 44) + chunk("DSIZ", be(2940000, 4)) + chunk("NAME", "Name") +
                          chunk("AUTH", "Auth") + chunk("(c) ", "Copy") + chunk("COMT", "Note") +
                          chunk("FILE", "saved.vqf") + chunk("ALBM", "Album")));
  EXPECT_EQ(info.type, kTypeVqf);
  EXPECT_EQ(value(info, "TIME"), u"4:05 (245sec)");
  EXPECT_EQ(value(info, "AFMT"), u"TwinVQ v2, 44kHz, 96kbps, Stereo");
  EXPECT_EQ(value(info, "INAM"), u"Name");
  EXPECT_EQ(value(info, "IART"), u"Auth");
  EXPECT_EQ(value(info, "ICOP"), u"Copy");
  EXPECT_EQ(value(info, "ICMT"), u"Note");
  EXPECT_EQ(value(info, "FILE"), u"saved.vqf");
  EXPECT_EQ(value(info, "IPRD"), u"Album");
  EXPECT_EQ(value(readVqf(vqf("00052200", comm(0, 24, 22))), "AFMT"),
            u"TwinVQ v2+, 22kHz, 24kbps, Mono");
}

TEST(TwinVqReader, DamagedHeaders) {
  bool recognised = true;
  readVqf("TWIN", &recognised);
  EXPECT_FALSE(recognised);
  readVqf("TWINabcdefgh" + be(10, 4), &recognised);  // the version is not digits
  EXPECT_FALSE(recognised);
  // Zero bitrate: no division by zero.
  EXPECT_EQ(value(readVqf(vqf("97012000", comm(1, 0, 44) + chunk("DSIZ", be(100, 4)))), "TIME"),
            u"0:00 (0sec)");
  // A chunk length past the end, and a header length of 4 GiB: what came before is kept.
  MediaInfo info =
      readVqf(vqf("97012000", chunk("NAME", "Kept") + "COMT" + be(0xFFFFFFF0u, 4)), &recognised);
  EXPECT_TRUE(recognised);
  EXPECT_EQ(value(info, "INAM"), u"Kept");
  std::string huge = vqf("97012000", chunk("NAME", "Kept"));
  huge.replace(12, 4, be(0xFFFFFFFFu, 4));
  EXPECT_EQ(value(readVqf(huge), "INAM"), u"Kept");
  // Without COMM there is no length or format, only the type.
  EXPECT_EQ(readVqf(vqf("97012000", "")).find("AFMT"), nullptr);
}

}  // namespace
}  // namespace sonavid::media
