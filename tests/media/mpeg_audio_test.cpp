#include <gtest/gtest.h>

#include "common/platform_posix.h"
#include "common/text.h"
#include "media/formats.h"
#include "media/memory_file.h"
#include "media/mpeg_audio/frame_header.h"
#include "media/mpeg_audio/mpeg_stream.h"
#include "media_test_bytes.h"

namespace sonavid::media {
namespace {

using namespace test;

class MpegAudioTest : public ::testing::Test {
 protected:
  void SetUp() override { setPlatform(&western_); }
  void TearDown() override { setPlatform(nullptr); }

  // Reads `bytes` as an MP3 file; the values as UTF-8, or nothing when it is not one.
  std::optional<MediaInfo> read(std::string bytes, int* reads = nullptr) {
    MemoryFile file(std::move(bytes));
    MediaInfo info;
    const bool found = readMpegAudio(file, info);
    if (reads) *reads = file.readCalls();
    if (!found) return std::nullopt;
    return info;
  }
  static std::string value(const MediaInfo& info, std::string_view code) {
    const std::u16string* v = info.find(code);
    return v ? utf16ToUtf8(*v) : "";
  }

  PosixPlatform western_{"WINDOWS-1252"};
};

std::string frames(int count, int kbps) {
  std::string out;
  for (int i = 0; i < count; ++i) out += mp3Frame(kbps);
  return out;
}

// A first frame carrying a Xing/Info header (MPEG-1 stereo: 32 bytes of side information).
std::string xingFrame(std::string_view tag, uint32_t frameCount, uint32_t byteCount) {
  std::string frame = mp3Frame(128);
  frame.replace(36, 16, std::string(tag) + be32(3) + be32(frameCount) + be32(byteCount));
  return frame;
}

TEST(MpegFrameHeader, LengthsAndRates) {
  auto h = parseMpegFrameHeader(0xFFFB9040);  // MPEG-1 L3 128k 44100, joint stereo
  ASSERT_TRUE(h);
  EXPECT_EQ(h->frameBytes, 417u);
  EXPECT_EQ(h->samplesPerFrame, 1152u);
  EXPECT_EQ(h->mode, ChannelMode::kJointStereo);
  h = parseMpegFrameHeader(0xFFFB9240);  // with padding
  EXPECT_EQ(h->frameBytes, 418u);
  h = parseMpegFrameHeader(0xFFF3E0C0);  // MPEG-2 L3 160k 22050 mono
  ASSERT_TRUE(h);
  EXPECT_EQ(h->version, MpegVersion::k2);
  EXPECT_EQ(h->bitrateKbps, 160);
  EXPECT_EQ(h->frameBytes, 72u * 160000 / 22050);
  EXPECT_EQ(h->samplesPerFrame, 576u);
  h = parseMpegFrameHeader(0xFFE31800);  // MPEG-2.5 L3 8k 8000
  ASSERT_TRUE(h);
  EXPECT_EQ(h->version, MpegVersion::k25);
  EXPECT_EQ(h->sampleRate, 8000);
  EXPECT_EQ(h->frameBytes, 72u);
  h = parseMpegFrameHeader(0xFFFF1000);  // MPEG-1 L1 32k 44100
  ASSERT_TRUE(h);
  EXPECT_EQ(h->layer, 1);
  EXPECT_EQ(h->frameBytes, 32u);
  h = parseMpegFrameHeader(0xFFFDE400);  // MPEG-1 L2 384k 48000
  ASSERT_TRUE(h);
  EXPECT_EQ(h->frameBytes, 1152u);
  h = parseMpegFrameHeader(0xFFFB0240, 500);  // free format, 44100, padded: 500 bytes + 1
  ASSERT_TRUE(h);
  EXPECT_TRUE(h->freeFormat);
  EXPECT_EQ(h->frameBytes, 501u);
  EXPECT_EQ(h->bitrateKbps, 153);  // 500 * 44100 / 144
  EXPECT_EQ(freeFormatFrameBytes(0xFFFB0240, 501), 500u);
  EXPECT_EQ(freeFormatFrameBytes(0xFFFF0240, 502), 0u);  // Layer I counts 4-byte slots
  for (uint32_t bad : {0xFFFB0040u,                      // free format without the frame length
                       0xFFFBF040u,                      // bitrate index 15
                       0xFFFB9C40u,                      // sample rate index 3
                       0xFFF99040u,                      // layer 0
                       0xFFEB9040u,                      // version 01
                       0xFFFB9042u,                      // emphasis 2
                       0x7FFB9040u}) {                   // no sync
    EXPECT_FALSE(parseMpegFrameHeader(bad)) << std::hex << bad;
  }
}

TEST_F(MpegAudioTest, ConstantBitrateWithoutHeader) {
  const auto info = read(frames(1000, 128));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->type, 1);
  EXPECT_EQ(value(*info, "AFMT"), "MPEG1.0 Layer3 128Kb/s 48000Hz J-Stereo 1000frames");
  EXPECT_EQ(value(*info, "TIME"), "0:24 (24sec)");  // 1000 * 384 bytes at 16000 bytes/s
}

TEST_F(MpegAudioTest, XingInfoAndVbriHeaders) {
  // Xing: 50 frames after the header frame, alternating 128 and 160 kbit/s.
  std::string body;
  for (int i = 0; i < 50; ++i) body += mp3Frame(i % 2 ? 160 : 128);
  const uint32_t total = static_cast<uint32_t>(body.size() + 384);
  auto info = read(xingFrame("Xing", 50, total) + body);
  ASSERT_TRUE(info);
  const uint64_t kbps = uint64_t{total} * 8 * 48000 / (50 * 1152) / 1000;
  EXPECT_EQ(value(*info, "AFMT"),
            "MPEG1.0 Layer3 " + std::to_string(kbps) + "Kb/s(VBR) 48000Hz J-Stereo 50frames");
  // LAME's Info header marks a constant bitrate.
  info = read(xingFrame("Info", 3000, 3001 * 384) + frames(3000, 128));
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "AFMT"), "MPEG1.0 Layer3 128Kb/s 48000Hz J-Stereo 3000frames");
  EXPECT_EQ(value(*info, "TIME"), "1:12 (72sec)");  // 3000 * 1152 / 48000
  // A file cut to a third of what its header promises.
  info = read(xingFrame("Xing", 3000, 3001 * 384) + frames(999, 128));
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "TIME"), "0:23 (23sec)");  // 999 of 3000 frames: 23.98 s
  // VBRI sits 32 bytes after the frame header.
  std::string vbri = mp3Frame(128);
  vbri.replace(36, 18, "VBRI" + std::string(6, '\0') + be32(total) + be32(50));
  info = read(vbri + body);
  ASSERT_TRUE(info);
  EXPECT_NE(value(*info, "AFMT").find("(VBR) 48000Hz J-Stereo 50frames"), std::string::npos);
}

TEST_F(MpegAudioTest, VaryingBitrateWithoutHeaderHopsThroughEveryFrame) {
  // 2400 frames (more than one hop chunk), with junk in the middle to resync over.
  std::string stream;
  for (int i = 0; i < 2400; ++i) {
    stream += mp3Frame(i % 3 == 0 ? 320 : 64);
    if (i == 1200) stream += std::string(300, '\x55');
  }
  int reads = 0;
  const auto info = read(stream, &reads);
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "TIME"), "0:57 (57sec)");  // 2400 * 1152 / 48000 = 57.6
  const std::string afmt = value(*info, "AFMT");
  EXPECT_NE(afmt.find("Kb/s(VBR) 48000Hz J-Stereo 2400frames"), std::string::npos) << afmt;
  // Chunk by chunk, not frame by frame.
  EXPECT_LT(static_cast<size_t>(reads), stream.size() / kMpegHopChunkBytes + 10);
  // Frame data that looks like headers of the stream (48 kHz, as its frames: the hop may start
  // a second run at one) changes no count.
  std::string lookalikes;
  for (int i = 0; i < 2400; ++i) {
    std::string frame = mp3Frame(i % 3 == 0 ? 320 : 64);
    for (size_t at = 7; at + 4 < frame.size(); at += 61) frame.replace(at, 4, be32(0xFFFB9464u));
    lookalikes += frame;
  }
  const auto withLookalikes = read(lookalikes);
  ASSERT_TRUE(withLookalikes);
  EXPECT_NE(value(*withLookalikes, "AFMT").find("2400frames"), std::string::npos);
}

TEST_F(MpegAudioTest, ChangeOfBitrateIsLookedForAcrossTheWholeStream) {
  // A VBR stream without header that opens with 80 kB of equal frames (a quiet intro), longer
  // than the probe at its start: still measured frame by frame.
  std::string stream = frames(420, 64);
  for (int i = 0; i < 600; ++i) stream += mp3Frame(i % 2 ? 320 : 64);
  auto info = read(stream);
  ASSERT_TRUE(info);
  const std::string afmt = value(*info, "AFMT");
  EXPECT_NE(afmt.find("Kb/s(VBR) 48000Hz J-Stereo 1020frames"), std::string::npos) << afmt;
  // Or that changes only in its last frames.
  info = read(frames(401, 64) + frames(2, 320));
  ASSERT_TRUE(info);
  EXPECT_NE(value(*info, "AFMT").find("(VBR) 48000Hz J-Stereo 403frames"), std::string::npos)
      << value(*info, "AFMT");
  // A constant stream is checked in a few small windows, not read whole.
  MemoryFile file(frames(3000, 128));
  MediaInfo cbr;
  ASSERT_TRUE(readMpegAudio(file, cbr));
  EXPECT_EQ(value(cbr, "AFMT"), "MPEG1.0 Layer3 128Kb/s 48000Hz J-Stereo 3000frames");
  EXPECT_LT(file.bytesRead(), 32u * 1024) << "of " << 3000 * 384;
}

// Frames of header `word` (bitrate index set) with the padding bit set as encoders set it, so
// that they average the exact frame length.
std::string paddedFrames(uint32_t word, int count) {
  const auto h = parseMpegFrameHeader(word);
  const uint64_t slot = h->layer == 1 ? 4 : 1;
  const uint64_t exact = uint64_t{h->bitsPerSecond} * h->samplesPerFrame / 8;  // * rate
  std::string out;
  uint64_t rest = 0;
  for (int i = 0; i < count; ++i) {
    rest += exact / slot % h->sampleRate;
    const bool pad = rest >= static_cast<uint64_t>(h->sampleRate);
    if (pad) rest -= h->sampleRate;
    std::string frame = be32(word | (pad ? 0x200u : 0u));
    frame.resize(parseMpegFrameHeader(word | (pad ? 0x200u : 0u))->frameBytes, '\0');
    out += frame;
  }
  return out;
}

// Bytes without frame headers but with many 0xFF bytes (an LCG's output).
std::string junk(size_t size) {
  std::string out(size, '\0');
  uint32_t x = 12345;
  for (char& c : out) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>((x >> 16) % 3 == 0 ? 0xFF : x >> 24);
  }
  return out;
}

TEST_F(MpegAudioTest, StreamsMeasuredBeyondTheirFirstFrames) {
  std::string freeFormat;
  for (int i = 0; i < 100; ++i) {
    std::string frame = be32(i % 3 ? 0xFFFB0440u : 0xFFFB0640u);  // 48000 Hz, every third padded
    frame.resize(i % 3 ? 500 : 501, '\0');
    freeFormat += frame;
  }
  const std::string zeros(20 * 384 * 10, '\0');
  const struct {
    const char* what;
    std::string bytes;
    const char* afmt;
    const char* time;
  } kCases[] = {
      {"free format: the frame length is the distance between syncs", freeFormat,
       "MPEG1.0 Layer3 167Kb/s 48000Hz J-Stereo 100frames", "0:02 (2sec)"},
      {"a stream after 200 KiB of junk", junk(200 * 1024) + frames(500, 128),
       "MPEG1.0 Layer3 128Kb/s 48000Hz J-Stereo 500frames", "0:12 (12sec)"},
      {"padded frames of MPEG-2 at 22.05 kHz", paddedFrames(0xFFF33064, 194),
       "MPEG2.0 Layer3 24Kb/s 22050Hz J-Stereo 194frames", "0:05 (5sec)"},
      {"padded frames of Layer I at 44.1 kHz", paddedFrames(0xFFFF10C0, 230),
       "MPEG1.0 Layer1 32Kb/s 44100Hz Mono 230frames", "0:02 (2sec)"},
      {"a long stream, then zeros", frames(200, 128) + zeros + zeros,
       "MPEG1.0 Layer3 128Kb/s 48000Hz J-Stereo 200frames", "0:04 (4sec)"},
      {"a long stream, then 0xFF", frames(200, 128) + std::string(zeros.size() * 2, '\xFF'),
       "MPEG1.0 Layer3 128Kb/s 48000Hz J-Stereo 200frames", "0:04 (4sec)"},
      {"a short stream, then zeros", frames(20, 128) + zeros,
       "MPEG1.0 Layer3 128Kb/s 48000Hz J-Stereo 20frames", "0:00 (0sec)"},
      {"a short file: stream and zeros held whole", frames(20, 128) + zeros.substr(40000),
       "MPEG1.0 Layer3 128Kb/s 48000Hz J-Stereo 20frames", "0:00 (0sec)"},
  };
  for (const auto& c : kCases) {
    const auto info = read(c.bytes);
    ASSERT_TRUE(info) << c.what;
    EXPECT_EQ(value(*info, "AFMT"), c.afmt) << c.what;
    EXPECT_EQ(value(*info, "TIME"), c.time) << c.what;
  }
  // Junk alone is looked through for a bounded length, and is not taken for audio.
  MemoryFile file(junk(3 * 1024 * 1024));
  MediaInfo info;
  EXPECT_FALSE(readMpegAudio(file, info));
  EXPECT_LT(file.bytesRead(), kMpegFarSearchBytes + 256 * 1024);
}

TEST_F(MpegAudioTest, HoppingStopsWhereTheTagsAtTheEndBegin) {
  // The last frame is cut short, and an APE tag after it holds frames in a binary item.
  std::string stream;
  for (int i = 0; i < 40; ++i) stream += mp3Frame(i % 2 ? 160 : 128);
  stream.resize(stream.size() - 100);
  std::string picture;
  for (int i = 0; i < 8; ++i) picture += mp3Frame(128);
  const std::string items = le32(static_cast<uint32_t>(picture.size())) + le32(2) + "Cover" +
                            std::string(1, '\0') + picture;
  const std::string footer = "APETAGEX" + le32(2000) +
                             le32(static_cast<uint32_t>(items.size() + 32)) + le32(1) + le32(0) +
                             std::string(8, '\0');
  const auto info = read(stream + items + footer);
  ASSERT_TRUE(info);
  EXPECT_NE(value(*info, "AFMT").find(" 40frames"), std::string::npos) << value(*info, "AFMT");
}

TEST_F(MpegAudioTest, DetectionNeedsAgreeingFramesOrATag) {
  // A text with stray 0xFF bytes, even ones that form a single valid header.
  std::string text;
  for (int i = 0; i < 200; ++i) text += "line of text \xFF\xFB\x94\x40 and more\r\n";
  EXPECT_FALSE(read(text));
  // Three frames are not enough without a tag; four are.
  EXPECT_FALSE(read("junk" + frames(3, 128) + std::string(500, 'x')));
  EXPECT_TRUE(read("junk" + frames(4, 128) + std::string(500, 'x')));
  // After an ID3v2 tag one frame right at its end is enough; garbage is not.
  const std::string tag = id3v2(3, frame23("TIT2", bytes("\0T", 2)));
  EXPECT_TRUE(read(tag + mp3Frame(128)));
  EXPECT_FALSE(read(tag + std::string(2000, 'x')));
  EXPECT_FALSE(read(tag));
  EXPECT_FALSE(read(""));
  EXPECT_FALSE(read(std::string(4, '\xFF')));
}

TEST_F(MpegAudioTest, HugeTagSizeInASmallFile) {
  const std::string head = bytes("ID3\x03\0\0\x7F\x7F\x7F\x7F", 10);
  int reads = 0;
  EXPECT_FALSE(read(head + frames(10, 128), &reads));
  EXPECT_LE(reads, 4);
}

TEST_F(MpegAudioTest, TagsAndTheirOrderOfPrecedence) {
  const std::string v2 =
      id3v2(3, frame23("TIT2", bytes("\0V2 title", 9)) + frame23("TCON", bytes("\0(17)", 5)) +
                   frame23("TRCK", bytes("\0"
                                         "4/10",
                                         5)));
  std::string v1 = "TAG" + std::string("V1 title") + std::string(22, '\0') + "V1 artist" +
                   std::string(21, ' ') + std::string(30, '\0') + "2001" + std::string(28, '\0') +
                   std::string(1, '\0') + "\x05" + "\x08";
  ASSERT_EQ(v1.size(), 128u);
  int reads = 0;
  const auto info = read(v2 + frames(100, 128) + v1, &reads);
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "INAM_v2"), "V2 title");
  EXPECT_EQ(value(*info, "INAM_v1"), "V1 title");
  EXPECT_EQ(value(*info, "INAM"), "V2 title");
  EXPECT_EQ(value(*info, "IART"), "V1 artist");  // only ID3v1 has it
  EXPECT_EQ(value(*info, "IGNR_v2"), "Rock");
  EXPECT_EQ(value(*info, "IGNR_v1"), "Jazz");
  EXPECT_EQ(value(*info, "TRACK_v2"), "4/10");
  EXPECT_EQ(value(*info, "TRACK_v1"), "5");
  EXPECT_EQ(value(*info, "ICRD"), "2001");
  // The ID3v1 block is not counted as audio: 100 frames exactly.
  EXPECT_NE(value(*info, "AFMT").find(" 100frames"), std::string::npos);
  EXPECT_LE(reads, 3);
}

TEST_F(MpegAudioTest, AppendedId3v2TagCountsWhenNoneLeads) {
  // ID3v2.4 with a footer ("3DI" and the header's fields) after the frames, before ID3v1.
  const std::string tag = id3v2(4, frame24("TIT2", bytes("\0At the end", 11)), 0x10);
  const std::string appended = tag + "3DI" + tag.substr(3, 7);
  const std::string v1 = "TAG" + std::string("V1") + std::string(123, '\0');
  auto info = read(frames(100, 128) + appended + v1);
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "INAM_v2"), "At the end");
  EXPECT_EQ(value(*info, "INAM"), "At the end");
  EXPECT_NE(value(*info, "AFMT").find(" 100frames"), std::string::npos);
  // Before an APE tag, too; a tag at the start is the one read.
  const std::string ape =
      "APETAGEX" + le32(2000) + le32(32) + le32(0) + le32(0) + std::string(8, '\0');
  info = read(frames(100, 128) + appended + ape);
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "INAM_v2"), "At the end");
  info = read(id3v2(3, frame23("TIT2", bytes("\0First", 6))) + frames(100, 128) + appended);
  ASSERT_TRUE(info);
  EXPECT_EQ(value(*info, "INAM_v2"), "First");
}

TEST_F(MpegAudioTest, TitleAfterAPictureOverTheBlockCapIsFound) {
  for (int version : {3, 4}) {
    const std::string picture =
        std::string("\0image/jpeg\0\x03\0", 15) + std::string(17 << 20, 'p');
    const std::string apic = version == 3 ? frame23("APIC", picture) : frame24("APIC", picture);
    const std::string title =
        version == 3 ? frame23("TIT2", bytes("\0Later", 6)) : frame24("TIT2", bytes("\0Later", 6));
    const auto info = read(id3v2(version, apic + title) + frames(20, 128));
    ASSERT_TRUE(info) << version;
    EXPECT_EQ(value(*info, "INAM_v2"), "Later") << version;
  }
}
}  // namespace
}  // namespace sonavid::media
