// The Ogg reader on hand-made pages: lengths from the last granule position (unset ones
// skipped), Opus pre-skip, chained and multiplexed files, comments, and damaged pages.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/text.h"
#include "core/media_reader.h"
#include "media/formats.h"
#include "media/memory_file.h"

namespace sonavid::media {
namespace {

constexpr uint64_t kUnset = UINT64_MAX;

std::string le(uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
  return out;
}

// One page holding whole packets.
std::string page(uint32_t serial, uint8_t flags, uint64_t granule,
                 const std::vector<std::string>& packets, uint32_t sequence = 0) {
  std::string lacing, body;
  for (const std::string& packet : packets) {
    size_t left = packet.size();
    while (left >= 255) {
      lacing.push_back('\xFF');
      left -= 255;
    }
    lacing.push_back(static_cast<char>(left));
    body += packet;
  }
  return "OggS" + std::string(1, '\0') + std::string(1, static_cast<char>(flags)) + le(granule, 8) +
         le(serial, 4) + le(sequence, 4) + le(0, 4) +
         std::string(1, static_cast<char>(lacing.size())) + lacing + body;
}

std::string vorbisId(uint32_t rate, int channels, int32_t max, int32_t nominal, int32_t min) {
  return std::string("\x01vorbis", 7) + le(0, 4) + std::string(1, static_cast<char>(channels)) +
         le(rate, 4) + le(static_cast<uint32_t>(max), 4) + le(static_cast<uint32_t>(nominal), 4) +
         le(static_cast<uint32_t>(min), 4) + "\xB8\x01";
}
std::string comments(const std::vector<std::string>& fields) {
  std::string out = le(6, 4) + "vendor" + le(fields.size(), 4);
  for (const std::string& f : fields) out += le(f.size(), 4) + f;
  return out;
}
std::string vorbisComments(const std::vector<std::string>& fields) {
  return std::string("\x03vorbis", 7) + comments(fields) + "\x01";
}
const std::string kSetup = std::string("\x05vorbis", 7) + std::string(40, '\x42');

// A Vorbis stream: headers on two pages, data pages, last granule `samples`.
std::string vorbisStream(uint32_t serial, uint32_t rate, uint64_t samples,
                         const std::vector<std::string>& fields, int32_t nominal = 128000) {
  return page(serial, 2, 0, {vorbisId(rate, 2, 0, nominal, 0)}, 0) +
         page(serial, 0, 0, {vorbisComments(fields), kSetup}, 1) +
         page(serial, 0, samples / 2, {std::string(300, 'a')}, 2) +
         page(serial, 4, samples, {std::string(300, 'b')}, 3);
}

MediaInfo read(const std::string& bytes, bool* recognised = nullptr) {
  MemoryFile file(bytes);
  MediaInfo info;
  const bool ok = readOgg(file, info);
  if (recognised) *recognised = ok;
  return info;
}
std::u16string value(const MediaInfo& info, std::string_view code) {
  const std::u16string* found = info.find(code);
  return found ? *found : u"(none)";
}

TEST(OggReader, VorbisLengthFormatAndComments) {
  const MediaInfo info =
      read(vorbisStream(7, 44100, 44100 * 245,
                        {"title=Song", "ARTIST=Band", "Album=Caf\xE9", "DESCRIPTION=about",
                         "date=2001", "GENRE=Pop", "TRACKNUMBER=3", "TITLE=Second title"}));
  EXPECT_EQ(info.type, kTypeOgg);
  EXPECT_EQ(value(info, "TIME"), u"04:05 (245sec)");
  EXPECT_EQ(value(info, "INAM"), u"Song");  // the first TITLE, names in any case
  EXPECT_EQ(value(info, "IART"), u"Band");
  EXPECT_EQ(value(info, "IPRD"), u"Café");  // not UTF-8: read as a legacy text
  EXPECT_EQ(value(info, "ICMT"), u"about");  // DESCRIPTION when there is no COMMENT
  EXPECT_EQ(value(info, "ICRD"), u"2001");
  EXPECT_EQ(value(info, "IGNR"), u"Pop");
  EXPECT_EQ(value(info, "TRACK"), u"3");
  EXPECT_EQ(value(info, "INAM_v1"), u"Song");
  EXPECT_EQ(value(info, "TRACK_APE"), u"3");
  EXPECT_EQ(value(info, "AFMT").substr(0, 25), u"Ogg Vorbis, 44100Hz, 0Kbi");
}

TEST(OggReader, ConstantBitrateOnlyWhenAllThreeBitratesAgree) {
  std::string cbr = page(1, 2, 0, {vorbisId(48000, 1, 64000, 64000, 64000)}) +
                    page(1, 0, 0, {vorbisComments({}), kSetup}) +
                    page(1, 4, 48000 * 2, {std::string(16000, 'x')});
  EXPECT_EQ(value(read(cbr), "AFMT"), u"Ogg Vorbis, 48000Hz, 64Kbits/s, 1ch");
  std::string vbr = cbr;
  vbr[27 + 1 + 7 + 4 + 1 + 4 + 1] = 0;  // maximum bitrate of the identification header
  EXPECT_EQ(value(read(vbr), "AFMT"), u"Ogg Vorbis, 48000Hz, 64Kbits/s(VBR), 1ch");
}

TEST(OggReader, UnsetGranulePositionsAtTheEndAreSkipped) {
  std::string bytes = vorbisStream(3, 8000, 8000 * 10, {});
  bytes += page(3, 0, kUnset, {std::string(200, 'c')});  // a page where no packet ends
  EXPECT_EQ(value(read(bytes), "TIME"), u"00:10 (10sec)");
}

TEST(OggReader, OpusSubtractsPreSkipAndRunsAt48kHz) {
  const std::string head = std::string("OpusHead") + "\x01\x02" + le(3840, 2) + le(44100, 4) +
                           le(0, 2) + std::string(1, '\0');
  const std::string tags = std::string("OpusTags") + comments({"TITLE=Opus"});
  const std::string bytes = page(9, 2, 0, {head}) + page(9, 0, 0, {tags}) +
                            page(9, 4, 48000 * 61 + 3840, {std::string(1000, 'o')});
  const MediaInfo info = read(bytes);
  EXPECT_EQ(value(info, "TIME"), u"01:01 (61sec)");
  EXPECT_EQ(value(info, "INAM"), u"Opus");
  EXPECT_EQ(value(info, "AFMT").substr(0, 18), u"Ogg Opus, 48000Hz,");
  EXPECT_EQ(value(info, "AFMT").substr(value(info, "AFMT").size() - 10), u"(VBR), 2ch");
}

TEST(OggReader, ChainedFilesAddTheirChainsLengths) {
  const std::string bytes = vorbisStream(1, 44100, 44100 * 60, {"TITLE=First"}) +
                            vorbisStream(2, 22050, 22050 * 30, {"TITLE=Second"}) +
                            vorbisStream(3, 44100, 44100 * 5, {});
  const MediaInfo info = read(bytes);
  EXPECT_EQ(value(info, "TIME"), u"01:35 (95sec)");
  EXPECT_EQ(value(info, "INAM"), u"First");
  // A chain that reuses the serial number of the one before still starts a new chain.
  const std::string reused =
      vorbisStream(7, 44100, 44100 * 5, {}) + vorbisStream(7, 44100, 44100 * 3, {});
  EXPECT_EQ(value(read(reused), "TIME"), u"00:08 (8sec)");
}

TEST(OggReader, SpeexAndTheoraOnlyFilesGiveTheirLengthAndComments) {
  // Speex: rate 16000, mono, bitrate 27000, VBR, 1 frame per packet, no extra headers.
  const std::string speexId = "Speex   " + std::string(20, ' ') + le(1, 4) + le(80, 4) +
                              le(16000, 4) + le(1, 4) + le(4, 4) + le(1, 4) + le(27000, 4) +
                              le(320, 4) + le(1, 4) + le(1, 4) + le(0, 4) + le(0, 8);
  const std::string speex = page(3, 2, 0, {speexId}, 0) +
                            page(3, 0, 0, {comments({"TITLE=Spoken"})}, 1) +
                            page(3, 4, 16000 * 6, {std::string(20000, 's')}, 2);
  MediaInfo info = read(speex);
  EXPECT_EQ(value(info, "TIME"), u"00:06 (6sec)");
  EXPECT_EQ(value(info, "INAM"), u"Spoken");
  EXPECT_EQ(value(info, "AFMT"), u"Ogg Speex, 16000Hz, 27Kbits/s(VBR), 1ch");
  // Theora 3.2.1 at 25 fps, key-frame shift 6: granule (100 << 6) + 25 counts 125 frames (5 s).
  const std::string theoraId = std::string("\x80theora\x03\x02\x01", 10) + std::string(12, '\0') +
                               std::string("\0\0\0\x19\0\0\0\x01", 8) + std::string(10, '\0') +
                               std::string("\x00\xC0", 2);
  const std::string theora =
      page(9, 2, 0, {theoraId}, 0) +
      page(9, 0, 0, {std::string("\x81theora", 7) + comments({"TITLE=Moving"}), "\x82theora"}, 1) +
      page(9, 4, (100 << 6) + 25, {std::string(500, 'v')}, 2);
  info = read(theora);
  EXPECT_EQ(value(info, "TIME"), u"00:05 (5sec)");
  EXPECT_EQ(value(info, "INAM"), u"Moving");
  EXPECT_EQ(info.find("AFMT"), nullptr);
}

TEST(OggReader, MultiplexedVideoTakesAudioValuesFromTheVorbisStream) {
  const std::string theoraId = std::string("\x80theora", 7) + std::string(35, '\0');
  const std::string theoraComments = std::string("\x81theora", 7) + comments({"TITLE=Video"});
  std::string bytes = page(50, 2, 0, {theoraId}) +
                      page(60, 2, 0, {vorbisId(44100, 2, 0, 96000, 0)}) +
                      page(50, 0, 0, {theoraComments, "\x82theora"}) +
                      page(60, 0, 0, {vorbisComments({"TITLE=Sound"}), kSetup}) +
                      page(60, 0, 44100 * 8, {std::string(100, 'a')}) +
                      page(50, 4, 999999999, {std::string(100, 'v')});  // video ends last
  const MediaInfo info = read(bytes);
  EXPECT_EQ(info.type, kTypeOgg);
  EXPECT_EQ(value(info, "INAM"), u"Sound");
  EXPECT_EQ(value(info, "TIME"), u"00:08 (8sec)");
  EXPECT_EQ(value(info, "AFMT"), u"Ogg Vorbis, 44100Hz, 96Kbits/s(VBR), 2ch");
}

TEST(OggReader, DamagedAndForeignInput) {
  bool recognised = true;
  read("OggS", &recognised);
  EXPECT_FALSE(recognised);
  read(std::string(100, '\0'), &recognised);
  EXPECT_FALSE(recognised);
  // A first page that does not begin a stream is not taken for Ogg.
  read(page(1, 0, 0, {"x"}), &recognised);
  EXPECT_FALSE(recognised);
  // Cut in the middle of the comment page: type and no crash; lacing past the end of file.
  std::string whole = vorbisStream(5, 44100, 44100, {"TITLE=Cut"});
  for (size_t cut = 28; cut < whole.size(); cut += 7) {
    const MediaInfo info = read(whole.substr(0, cut), &recognised);
    EXPECT_TRUE(recognised) << cut;
  }
  // Comment counts and lengths far beyond the packet.
  std::string lying = std::string("\x03vorbis", 7) + le(0xFFFFFFF0u, 4);
  EXPECT_NO_FATAL_FAILURE(read(page(1, 2, 0, {vorbisId(44100, 2, 0, 0, 0)}) +
                               page(1, 0, 0, {lying, kSetup}) + page(1, 4, 100, {"z"})));
  std::string manyFields = std::string("\x03vorbis", 7) + le(0, 4) + le(0x7FFFFFFF, 4);
  EXPECT_NO_FATAL_FAILURE(
      read(page(1, 2, 0, {vorbisId(44100, 2, 0, 0, 0)}) + page(1, 0, 0, {manyFields, kSetup})));
  // Sample rate zero: no division by zero.
  EXPECT_EQ(value(read(vorbisStream(4, 0, 1000, {})), "TIME"), u"00:00 (0sec)");
}

TEST(OggReader, PacketsSpanningPagesAreJoined) {
  // A comment packet of 1000 bytes split over two pages (continued-packet flag on the second).
  const std::string packet = vorbisComments({"TITLE=" + std::string(950, 'L')});
  std::string first = page(8, 0, kUnset, {packet.substr(0, 510)});
  // Make the first page end with full 255-byte segments: no packet ends on it.
  first = "OggS" + std::string(1, '\0') + std::string(1, '\0') + le(kUnset, 8) + le(8, 4) +
          le(1, 4) + le(0, 4) + "\x02\xFF\xFF" + packet.substr(0, 510);
  std::string second = page(8, 1, 0, {packet.substr(510), kSetup});
  const std::string bytes = page(8, 2, 0, {vorbisId(44100, 2, 0, 0, 0)}) + first + second +
                            page(8, 4, 44100 * 3, {"end"});
  const MediaInfo info = read(bytes);
  EXPECT_EQ(value(info, "INAM"), u"" + std::u16string(950, u'L'));
  EXPECT_EQ(value(info, "TIME"), u"00:03 (3sec)");
}

TEST(OggReader, VorbisSetupHeaderIsCountedWithoutReadingIt) {
  // A 50 kB setup header (codebooks) on a page of its own, and (the usual layout) on the page
  // of the comments; then 2 kB of audio.
  const std::string setup = std::string("\x05vorbis", 7) + std::string(50000, 'C');
  const std::string comments = vorbisComments({"TITLE=Setup"});
  for (bool sharedPage : {false, true}) {
    SCOPED_TRACE(sharedPage ? "shared page" : "own page");
    std::string bytes = page(3, 2, 0, {vorbisId(48000, 2, 0, 96000, 0)});
    bytes += sharedPage ? page(3, 0, 0, {comments, setup})
                        : page(3, 0, kUnset, {comments}) + page(3, 0, 0, {setup});
    const size_t dataStart = bytes.size();
    bytes += page(3, 4, 48000 * 10, {std::string(2000, 'a')});
    MemoryFile file(bytes);
    MediaInfo info;
    ASSERT_TRUE(readOgg(file, info));
    EXPECT_EQ(value(info, "INAM"), u"Setup");
    EXPECT_EQ(value(info, "TIME"), u"00:10 (10sec)");
    // The average bitrate counts from the end of the setup header's page.
    const uint64_t kbps = ((bytes.size() - dataStart) * 8 / 10 + 500) / 1000;
    EXPECT_EQ(value(info, "AFMT"),
              u"Ogg Vorbis, 48000Hz, " + utf8ToUtf16(std::to_string(kbps)) + u"Kbits/s(VBR), 2ch");
    EXPECT_LT(file.bytesRead(), 10000u) << "of " << bytes.size();
  }
}

TEST(OggReader, VideoOnlyFileStopsAfterTheFirstDataPage) {
  const std::string theoraId = std::string("\x80theora", 7) + std::string(35, '\0');
  std::string bytes = page(50, 2, 0, {theoraId});
  for (int i = 0; i < 2000; ++i) bytes += page(50, 0, i, {std::string(100, 'v')}, 1 + i);
  MemoryFile file(bytes);
  MediaInfo info;
  EXPECT_TRUE(readOgg(file, info));
  EXPECT_EQ(info.type, kTypeOgg);
  EXPECT_EQ(info.find("AFMT"), nullptr);
  EXPECT_LE(file.readCalls(), 3);
}

TEST(OggReader, GranulePositionBeyondAnyLengthIsCapped) {
  // Found by fuzzing: a granule position near 2^64 at a sample rate of 1 made a length that no
  // integer holds. The reader answers with a capped length.
  std::ifstream in(std::string(SONAVID_TEST_DATA) + "/crash/ogg-granule-beyond-integer-range.ogg",
                   std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(bytes.empty());
  bool recognised = false;
  const MediaInfo info = read(bytes, &recognised);
  EXPECT_TRUE(recognised);
  // Built by hand: sample rate 1, last granule 2^64 - 2.
  const MediaInfo built =
      read(page(1, 2, 0, {vorbisId(1, 1, 0, 0, 0)}) + page(1, 0, 0, {vorbisComments({}), kSetup}) +
           page(1, 4, UINT64_MAX - 1, {"x"}));
  EXPECT_EQ(value(built, "TIME"), u"16666666666666666:40 (1000000000000000000sec)");
}

}  // namespace
}  // namespace sonavid::media
