// Every MP3, WAV and AVI fixture made by tests/data/make-media.sh, read through the built-in
// reader and compared with tests/data/media/expected-mpeg-riff.tsv.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "common/platform_posix.h"
#include "common/text.h"
#include "media/builtin_reader.h"
#include "media/expected_values.h"
#include "media/formats.h"
#include "media/memory_file.h"
#include "media/mpeg_audio/mpeg_stream.h"

namespace sonavid::media {
namespace {

const std::string kMediaDir = std::string(SONAVID_TEST_DATA) + "/media/";

std::map<std::string, std::map<std::string, std::string>> loadExpected() {
  return test::loadExpectedValues(kMediaDir + "expected-mpeg-riff.tsv");
}

std::string readAll(const std::string& path) { return test::readFileBytes(path); }

int typeOf(const std::string& file) {
  if (file.starts_with("mp3-") || file.starts_with("rmp3-")) return 1;
  if (file.starts_with("wav-")) return 2;
  return 3;
}

TEST(MpegRiffFixtures, EveryFixtureGivesItsExpectedValues) {
  const auto expected = loadExpected();
  ASSERT_GE(expected.size(), 25u) << "expected-mpeg-riff.tsv missing or short";
  PosixPlatform western("WINDOWS-1252");
  PosixPlatform japanese("CP932");
  for (const auto& [file, values] : expected) {
    SCOPED_TRACE(file);
    setPlatform(file.find("sjis") != std::string::npos ? &japanese : &western);
    MemoryFile bytes(readAll(kMediaDir + file));
    ASSERT_GT(bytes.size(), 0u);
    const MediaInfo info = BuiltinReader::readFile(bytes);
    EXPECT_EQ(info.type, typeOf(file));
    for (const auto& [code, value] : values) {
      const std::u16string* got = info.find(code);
      EXPECT_EQ(got ? utf16ToUtf8(*got) : "<none>", value) << code;
    }
    // Nothing beyond what the tools confirmed.
    info.forEach([&](std::string_view code, const std::u16string& value) {
      if (!value.empty()) {
        EXPECT_TRUE(values.count(std::string(code))) << "unexpected " << code;
      }
    });
    // Head, tail and tag reads, a block after each stretch of padding in AVI files, windows of
    // a header-less MP3 stream, and the chunks of one that is read whole: a few reads each. A
    // stream followed by padding also looks, halving the distance, for where its frames end.
    MemoryFile again(readAll(kMediaDir + file));
    MediaInfo direct;
    EXPECT_TRUE(readRiff(again, direct) || readMpegAudio(again, direct));
    const size_t framesEndSearch = file.find("then-zeros") == std::string::npos
                                       ? 0
                                       : std::bit_width(again.size() / kMpegSampleWindowBytes);
    EXPECT_LE(static_cast<size_t>(again.readCalls()),
              8 + again.size() / kMpegHopChunkBytes + framesEndSearch)
        << "reads";
  }
  setPlatform(nullptr);
}

TEST(MpegRiffFixtures, LoadsFromDiskThroughThePlatform) {
  PosixPlatform western("WINDOWS-1252");
  setPlatform(&western);
  BuiltinReader reader;
  ASSERT_TRUE(reader.load(utf8ToUtf16(kMediaDir + "mp3-id3v23-utf16.mp3")));
  EXPECT_EQ(reader.type(), 1);
  EXPECT_EQ(reader.value(u"INAM_v2"), u"日本語のタイトル");
  EXPECT_EQ(reader.value(u"INAM"), u"日本語のタイトル");
  EXPECT_EQ(reader.value(u"INAM_v1"), u"V1 Title");
  EXPECT_EQ(reader.value(u"NOPE"), u"");
  // A folder and a named pipe are not files to read; neither may block the load.
  char folder[] = "/tmp/sonavid-fifo-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string pipe = std::string(folder) + "/pipe.mp3";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_FALSE(reader.load(utf8ToUtf16(pipe)));
  EXPECT_FALSE(reader.load(utf8ToUtf16(folder)));
  EXPECT_EQ(reader.type(), 0);
  std::remove(pipe.c_str());
  rmdir(folder);
  setPlatform(nullptr);
}

}  // namespace
}  // namespace sonavid::media
