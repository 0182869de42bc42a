// Every FLAC, AIFF, WavPack and DSF fixture made by tests/data/make-media-lossless.sh, read
// through the built-in reader and compared with tests/data/media/expected-lossless.tsv; the
// same files damaged in the ways that take the readers' other paths; and every file in
// tests/data/crash/, which must open without harm.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "common/platform_posix.h"
#include "common/text.h"
#include "media/builtin_reader.h"
#include "media/expected_values.h"
#include "media/memory_file.h"
#include "media/western_code_page.h"

namespace sonavid::media {
namespace {

const std::string kDataDir = std::string(SONAVID_TEST_DATA);
const std::string kMediaDir = kDataDir + "/media/";

std::string valueOf(const MediaInfo& info, std::string_view code) {
  const std::u16string* value = info.find(code);
  return value ? utf16ToUtf8(*value) : "<none>";
}

class LosslessFixtures : public test::WesternCodePageTest {};

TEST_F(LosslessFixtures, EveryFixtureGivesItsExpectedValues) {
  const auto expected = test::loadExpectedValues(kMediaDir + "expected-lossless.tsv");
  ASSERT_GE(expected.size(), 19u) << "expected-lossless.tsv missing or short";
  for (const auto& [file, values] : expected) {
    SCOPED_TRACE(file);
    MemoryFile bytes(test::readFileBytes(kMediaDir + file));
    ASSERT_GT(bytes.size(), 0u);
    const MediaInfo info = BuiltinReader::readFile(bytes);
    EXPECT_EQ(std::to_string(info.type), values.at("TYPE"));
    for (const auto& [code, value] : values) {
      if (code != "TYPE") {
        EXPECT_EQ(valueOf(info, code), value) << code;
      }
    }
    // Headers and tags only: the head, the tail, the tags and a few headers between. A FLAC
    // stream without a total is searched for its last frame in the last 64 KB.
    const size_t allowed = file == "flac-stream.flac" ? 64 * 1024 : 12 * 1024;
    EXPECT_LE(bytes.bytesRead(), allowed) << "bytes read";
    EXPECT_LE(bytes.readCalls(), 16) << "reads";
  }
}

TEST_F(LosslessFixtures, SuffixedTagCodesAnswerLikePlainOnes) {
  struct Case {
    const char* file;
    const char* code;
    const char* value;
  };
  const Case cases[] = {
      {"flac-tagged.flac", "INAM_v2", "ロスレスの曲"},  {"flac-tagged.flac", "TRACK_APE", "4"},
      {"aiff-16bit.aiff", "ICOP_rmp", "(C) Sonavid"},   {"aiff-16bit.aiff", "INAM_v1", "ID3 Title"},
      {"wv-lossless.wv", "IART_APE", "WavPack Artist"}, {"wv-ffmpeg.wv", "IPRD_v1", "V1 Album"},
      {"dsf-dsd64.dsf", "IGNR_v2", "Classical"}};
  for (const Case& c : cases) {
    MemoryFile bytes(test::readFileBytes(kMediaDir + c.file));
    EXPECT_EQ(valueOf(BuiltinReader::readFile(bytes), c.code), c.value) << c.file << " " << c.code;
  }
}

// Little helpers to damage a fixture in place.
void putBe(std::string& bytes, size_t at, uint64_t value, int count) {
  for (int i = count - 1; i >= 0; --i, value >>= 8) bytes[at + i] = static_cast<char>(value);
}
void putLe(std::string& bytes, size_t at, uint64_t value, int count) {
  for (int i = 0; i < count; ++i, value >>= 8) bytes[at + i] = static_cast<char>(value);
}
size_t find(const std::string& bytes, std::string_view what, size_t from = 0) {
  const size_t at = bytes.find(what, from);
  EXPECT_NE(at, std::string::npos) << what;
  return at == std::string::npos ? 0 : at;
}

TEST_F(LosslessFixtures, DamagedFilesGiveWhatCanBeRead) {
  struct Case {
    const char* name;
    const char* file;
    std::function<void(std::string&)> damage;
    int type;
    const char* time;
    const char* format;
  };
  const Case cases[] = {
      // A total of 0 in a fixed-block-size file: measured from the last frame, exactly.
      {"flac total zeroed", "flac-tagged.flac",
       [](std::string& b) {
         putBe(b, 8 + 10 + 3, b[8 + 10 + 3] & 0xF0, 1), putBe(b, 8 + 14, 0, 4);
       },
       11, "0:02 (2sec)", "FLAC, 16bit, 44100Hz, 2ch, 9Kbps"},
      // A stream cut inside its last frame: that frame's header still counts.
      {"flac stream cut", "flac-stream.flac", [](std::string& b) { b.resize(b.size() - 40); }, 11,
       "0:02 (2sec)", "FLAC, 16bit, 44100Hz, 2ch, 9Kbps"},
      // No frame at all after the metadata.
      {"flac stream without frames", "flac-stream.flac",
       [](std::string& b) { b.resize(find(b, "Streamed") + 8); }, 11, "0:00 (0sec)",
       "FLAC, 16bit, 44100Hz, 2ch, 0Kbps"},
      // A metadata block longer than the file: no audio left to measure.
      {"flac block past the end", "flac-tagged.flac",
       [](std::string& b) { putBe(b, 4 + 4 + 34 + 1, 0xFFFFFF, 3); }, 11, "0:02 (2sec)",
       "FLAC, 16bit, 44100Hz, 2ch, 0Kbps"},
      // A rate of 0: a FLAC file, nothing more.
      {"flac rate 0", "flac-tagged.flac", [](std::string& b) { putBe(b, 8 + 10, 0, 3); }, 11,
       "<none>", "<none>"},
      // COMM with an exponent beyond any rate.
      {"aiff rate huge", "aiff-8bit.aiff",
       [](std::string& b) { putBe(b, find(b, "COMM") + 16, 0x7FFF, 2); }, 12, "<none>", "<none>"},
      // SSND claiming more than the file: the chunks before it still count.
      {"aiff sound size past the end", "aiff-16bit.aiff",
       [](std::string& b) { putBe(b, find(b, "SSND") + 4, 0xFFFFFFF0, 4); }, 12, "0:02 (2sec)",
       "AIFF PCM, 16bit, 8000Hz, 1ch, 128Kbps"},
      // A block size beyond any WavPack block: no block, no WavPack file.
      {"wavpack block size huge", "wv-lossless.wv",
       [](std::string& b) { putLe(b, 4, 0xFFFFFFF0, 4); }, 0, "<none>", "<none>"},
      // An unknown total whose walk meets a damaged second block: the first block's samples.
      {"wavpack walk stops at damage", "wv-unknown-total.wv",
       [](std::string& b) { b[find(b, "wvpk", 1)] = 'x'; }, 13, "0:00 (0sec)",
       "WavPack lossless, 16bit, 44100Hz, 2ch, 120Kbps"},
      // DSF: metadata offset past the end, and a channel count of 0.
      {"dsf metadata past the end", "dsf-dsd64.dsf",
       [](std::string& b) { putLe(b, 20, 0xFFFFFFFFFFFFull, 8); }, 14, "0:01 (1sec)",
       "DSD64, 1bit, 2822400Hz, 2ch, 5644Kbps"},
      {"dsf no channels", "dsf-dsd128.dsf", [](std::string& b) { putLe(b, 28 + 24, 0, 4); }, 14,
       "<none>", "<none>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = test::readFileBytes(kMediaDir + c.file);
    ASSERT_FALSE(bytes.empty());
    c.damage(bytes);
    MemoryFile file(bytes);
    const MediaInfo info = BuiltinReader::readFile(file);
    EXPECT_EQ(info.type, c.type);
    EXPECT_EQ(valueOf(info, "TIME"), c.time);
    EXPECT_EQ(valueOf(info, "AFMT"), c.format);
  }
}

// AIFF's text chunks are read as UTF-8 when they are valid multi-byte UTF-8, else as Latin-1,
// whatever the system's code page.
TEST_F(LosslessFixtures, AiffTextsAreUtf8OrLatin1) {
  PosixPlatform japanese("CP932");
  setPlatform(&japanese);
  struct Case {
    const char* patch;
    const char* comment;
  };
  const Case cases[] = {{"\xC9", "Éox comment"}, {"\xC3\xA9", "éx comment"}};
  for (const Case& c : cases) {
    std::string bytes = test::readFileBytes(kMediaDir + "aiff-8bit.aiff");
    const size_t at = bytes.find("Sox comment");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, std::strlen(c.patch), c.patch);
    MemoryFile file(bytes);
    EXPECT_EQ(valueOf(BuiltinReader::readFile(file), "ICMT"), c.comment);
  }
}

// Every damaged file kept as a regression (the fuzzers' findings among them) opens without
// harm, whatever it gives.
TEST_F(LosslessFixtures, EveryCrashFileOpensWithoutHarm) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kDataDir + "/crash")) {
    MemoryFile file(test::readFileBytes(entry.path().string()));
    const MediaInfo info = BuiltinReader::readFile(file);
    EXPECT_GE(info.type, 0) << entry.path();
    ++files;
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace sonavid::media
