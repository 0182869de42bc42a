// The ASF reader on hand-made headers: lengths less preroll, codec list and stream property
// formats, WMA vs WMV, attributes in every object, and damaged sizes and counts.
#include <gtest/gtest.h>

#include <string>

#include "core/media_reader.h"
#include "media/formats.h"
#include "media/memory_file.h"

namespace sonavid::media {
namespace {

const std::string kHeaderGuid("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C",
                              16);
const std::string kFilePropsGuid("\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65",
                                 16);
const std::string kStreamGuid("\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65",
                              16);
const std::string kCodecListGuid("\x40\x52\xD1\x86\x1D\x31\xD0\x11\xA3\xA4\x00\xA0\xC9\x03\x48\xF6",
                                 16);
const std::string kContentGuid("\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C",
                               16);
const std::string kExtContentGuid(
    "\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50", 16);
const std::string kExtensionGuid("\xB5\x03\xBF\x5F\x2E\xA9\xCF\x11\x8E\xE3\x00\xC0\x0C\x20\x53\x65",
                                 16);
const std::string kLibraryGuid("\x94\x1C\x23\x44\x98\x94\xD1\x49\xA1\x41\x1D\x13\x4E\x45\x70\x54",
                               16);
const std::string kAudioGuid("\x40\x9E\x69\xF8\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B",
                             16);
const std::string kVideoGuid("\xC0\xEF\x19\xBC\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B",
                             16);

std::string le(uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
  return out;
}
std::string utf16(std::u16string_view text, bool nul = true) {
  std::string out;
  for (char16_t c : text) out += le(c, 2);
  if (nul) out += le(0, 2);
  return out;
}
std::string object(const std::string& guid, const std::string& body) {
  return guid + le(24 + body.size(), 8) + body;
}
std::string asfFile(const std::string& objects, int count) {
  return kHeaderGuid + le(30 + objects.size(), 8) + le(count, 4) + "\x01\x02" + objects;
}
std::string fileProperties(uint64_t duration100ns, uint64_t prerollMs) {
  return object(kFilePropsGuid, std::string(40, '\0') + le(duration100ns, 8) + le(0, 8) +
                                    le(prerollMs, 8) + le(2, 4) + le(0, 12));
}
std::string audioStream(uint16_t codec, uint16_t channels, uint32_t rate, uint32_t bytesPerSec) {
  const std::string wave =
      le(codec, 2) + le(channels, 2) + le(rate, 4) + le(bytesPerSec, 4) + le(0, 6);
  return object(kStreamGuid, kAudioGuid + std::string(16, '\0') + le(0, 8) + le(wave.size(), 4) +
                                 le(0, 4) + le(1, 2) + le(0, 4) + wave);
}
std::string videoStream(uint32_t width, uint32_t height, const char* fourcc, uint16_t bits) {
  const std::string bitmap = le(40, 4) + le(width, 4) + le(height, 4) + le(1, 2) + le(bits, 2) +
                             std::string(fourcc, 4) + le(0, 20);
  const std::string data = le(width, 4) + le(height, 4) + "\x02" + le(bitmap.size(), 2) + bitmap;
  return object(kStreamGuid, kVideoGuid + std::string(16, '\0') + le(0, 8) + le(data.size(), 4) +
                                 le(0, 4) + le(2, 2) + le(0, 4) + data);
}
std::string codecEntry(uint16_t type, std::u16string_view name, std::u16string_view desc) {
  return le(type, 2) + le(name.size() + 1, 2) + utf16(name) + le(desc.size() + 1, 2) + utf16(desc) +
         le(2, 2) + "\x61\x01";
}

MediaInfo read(const std::string& bytes, bool* recognised = nullptr) {
  MemoryFile file(bytes);
  MediaInfo info;
  const bool ok = readAsf(file, info);
  if (recognised) *recognised = ok;
  return info;
}
std::u16string value(const MediaInfo& info, std::string_view code) {
  const std::u16string* found = info.find(code);
  return found ? *found : u"(none)";
}

TEST(AsfReader, LengthIsPlayDurationLessPrerollAsHoursMinutesSeconds) {
  // 1 h 2 min 5.9 s of play duration with a 3.1 s preroll: 3722 s.
  const MediaInfo info =
      read(asfFile(fileProperties(37259000000ull, 3100) + audioStream(0x161, 2, 44100, 16000), 2));
  EXPECT_EQ(info.type, kTypeWma);
  EXPECT_EQ(value(info, "TIME"), u"01:02:02 (3722sec)");
  // A preroll longer than the play duration gives zero, not a wrapped-around length.
  EXPECT_EQ(value(read(asfFile(fileProperties(10000000, 5000), 1)), "TIME"), u"00:00:00 (0sec)");
}

TEST(AsfReader, FormatsComeFromTheCodecListWithDescriptions) {
  const std::string list = object(kCodecListGuid, std::string(16, '\0') + le(2, 4) +
                                                      codecEntry(2, u"Windows Media Audio 9.2",
                                                                 u"128 kbps, 44 kHz, stereo CBR") +
                                                      codecEntry(1, u"Windows Media Video 9", u""));
  const MediaInfo info = read(
      asfFile(list + audioStream(0x161, 2, 44100, 16000) + videoStream(640, 480, "WMV3", 24), 3));
  EXPECT_EQ(value(info, "AFMT"), u"Windows Media Audio 9.2 (128 kbps, 44 kHz, stereo CBR)");
  EXPECT_EQ(value(info, "VFMT"), u"Windows Media Video 9");
}

TEST(AsfReader, WithoutCodecListFormatsComeFromStreamProperties) {
  const MediaInfo info =
      read(asfFile(audioStream(0x161, 2, 44100, 16000) + videoStream(640, 480, "WMV2", 24), 2));
  EXPECT_EQ(value(info, "AFMT"), u"WMA v2, 44100Hz, 2ch, 128Kbps");
  EXPECT_EQ(value(info, "VFMT"), u"WMV2, 640x480, 24BitColor");
}

TEST(AsfReader, NoVideoStreamMeansNotApplicableAndNoAudioLikewise) {
  EXPECT_EQ(value(read(asfFile(audioStream(0x160, 1, 22050, 4000), 1)), "VFMT"), u"N/A");
  const MediaInfo videoOnly = read(asfFile(videoStream(320, 240, "WMV1", 12), 1));
  EXPECT_EQ(value(videoOnly, "AFMT"), u"N/A");
  EXPECT_EQ(value(videoOnly, "VFMT"), u"WMV1, 320x240, 12BitColor");
}

TEST(AsfReader, TagsFromContentDescriptionAttributesAndHeaderExtension) {
  const std::string title = utf16(u"Title"), author = utf16(u"Author");
  const std::string content = object(kContentGuid, le(title.size(), 2) + le(author.size(), 2) +
                                                       le(0, 2) + le(utf16(u"Note").size(), 2) +
                                                       le(0, 2) + title + author + utf16(u"Note"));
  auto attribute = [](std::u16string_view name, uint16_t type, const std::string& data) {
    return le(utf16(name).size(), 2) + utf16(name) + le(type, 2) + le(data.size(), 2) + data;
  };
  const std::string extended =
      object(kExtContentGuid, le(2, 2) + attribute(u"WM/AlbumTitle", 0, utf16(u"Album")) +
                                  attribute(u"WM/Track", 3, le(6, 4)));
  // Metadata Library record: language, stream, name length, type, 32-bit data length.
  const std::string library = object(
      kLibraryGuid, le(1, 2) + le(0, 2) + le(0, 2) + le(utf16(u"WM/Genre").size(), 2) + le(0, 2) +
                        le(utf16(u"Jazz").size(), 4) + utf16(u"WM/Genre") + utf16(u"Jazz"));
  const std::string extension =
      object(kExtensionGuid, std::string(16, '\0') + le(6, 2) + le(library.size(), 4) + library);
  const MediaInfo info = read(asfFile(content + extended + extension, 3));
  EXPECT_EQ(value(info, "INAM"), u"Title");
  EXPECT_EQ(value(info, "IART"), u"Author");
  EXPECT_EQ(value(info, "ICMT"), u"Note");
  EXPECT_EQ(value(info, "IPRD"), u"Album");
  EXPECT_EQ(value(info, "IGNR"), u"Jazz");
  EXPECT_EQ(value(info, "TRACK"), u"7");  // WM/Track counts from 0
}

TEST(AsfReader, DamagedHeadersGiveWhatCouldBeRead) {
  const std::string good = fileProperties(50000000, 0);
  // An object whose size runs past the header: the objects before it are kept.
  std::string broken = asfFile(good + kStreamGuid + le(UINT64_MAX, 8), 2);
  bool recognised = false;
  MediaInfo info = read(broken, &recognised);
  EXPECT_TRUE(recognised);
  EXPECT_EQ(value(info, "TIME"), u"00:00:05 (5sec)");
  // A header size of 2^63 and a file cut in the middle of an object.
  std::string huge = kHeaderGuid + le(uint64_t{1} << 63, 8) + le(5, 4) + "\x01\x02" + good;
  huge.resize(huge.size() - 10);
  EXPECT_NO_FATAL_FAILURE(read(huge));
  // Size fields below the object header size, and a huge declared object count.
  EXPECT_NO_FATAL_FAILURE(read(asfFile(kStreamGuid + le(3, 8) + std::string(64, '\x11'), 100000)));
  // Counts inside objects that the bytes cannot hold.
  EXPECT_NO_FATAL_FAILURE(
      read(asfFile(object(kCodecListGuid, std::string(16, '\0') + le(0xFFFFFFFF, 4)) +
                       object(kExtContentGuid, le(0xFFFF, 2)),
                   2)));
  // Not ASF at all.
  read("RIFF....WAVEfmt ", &recognised);
  EXPECT_FALSE(recognised);
}

TEST(AsfReader, ObjectCountIsCapped) {
  // Fifty thousand empty padding objects: the walk stops at its cap and still answers.
  std::string objects;
  for (int i = 0; i < 50000; ++i) objects += object(std::string(16, '\x55'), "");
  objects += fileProperties(20000000, 0);
  const MediaInfo info = read(asfFile(objects, 50001));
  EXPECT_EQ(info.type, kTypeWma);
  EXPECT_EQ(info.find("TIME"), nullptr);  // beyond the cap
}

TEST(AsfReader, StreamPropertiesInsideExtendedStreamPropertiesCount) {
  const std::string extendedGuid("\xCB\xA5\xE6\x14\x72\xC6\x32\x43\x83\x99\xA9\x69\x52\x06\x5B\x5A",
                                 16);
  // Fixed fields, one stream name, no payload extension systems, then the embedded object.
  const std::string fixed = std::string(8 + 8 + 4 * 8 + 2 + 2 + 8, '\0') + le(1, 2) + le(0, 2) +
                            le(0, 2) + le(utf16(u"v").size(), 2) + utf16(u"v");
  const std::string extended = object(extendedGuid, fixed + videoStream(320, 240, "WMV3", 24));
  const std::string extension =
      object(kExtensionGuid, std::string(16, '\0') + le(6, 2) + le(extended.size(), 4) + extended);
  const MediaInfo info = read(asfFile(audioStream(0x161, 2, 44100, 16000) + extension, 2));
  EXPECT_EQ(value(info, "VFMT"), u"WMV3, 320x240, 24BitColor");
}

TEST(AsfReader, CutOffFileIsTimedByThePacketsItHolds) {
  // 100 packets of 1000 bytes for 100 s, after the 50-byte Data object header.
  const std::string header = asfFile(
      object(kFilePropsGuid, std::string(32, '\0') + le(100, 8) + le(1000000000, 8) + le(0, 8) +
                                 le(0, 8) + le(2, 4) + le(1000, 4) + le(1000, 4) + le(0, 4)),
      1);
  EXPECT_EQ(value(read(header + std::string(50 + 5000, '\0')), "TIME"), u"00:00:05 (5sec)");
  EXPECT_EQ(value(read(header + std::string(50 + 100000, '\0')), "TIME"), u"00:01:40 (100sec)");
}
}  // namespace
}  // namespace sonavid::media
