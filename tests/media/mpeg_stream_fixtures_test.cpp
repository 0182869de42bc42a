// Every transport stream, program stream and raw AAC fixture made by
// tests/data/make-media-mpeg.sh, read through the built-in reader and compared with
// tests/data/media/expected-mpeg.tsv; the same files damaged in the ways the issue of broken
// recordings takes; and the cost of reading a long recording.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "common/platform_posix.h"
#include "common/text.h"
#include "core/media_reader.h"
#include "media/builtin_reader.h"
#include "media/expected_values.h"
#include "media/memory_file.h"
#include "media/mpegts/section_crc.h"
#include "media/western_code_page.h"

namespace sonavid::media {
namespace {

const std::string kMediaDir = std::string(SONAVID_TEST_DATA) + "/media/";
constexpr size_t kTsPacket = 188;

std::string valueOf(const MediaInfo& info, std::string_view code) {
  const std::u16string* value = info.find(code);
  return value ? utf16ToUtf8(*value) : "<none>";
}

// "ms acodec kbps rate bits ch | vcodec WxH num/den [i]", the facts in one line.
std::string factsText(const StreamFacts& f) {
  char text[160];
  std::snprintf(text, sizeof text, "%lld %s %u %u %u %u | %s %ux%u %u/%u%s",
                static_cast<long long>(f.durationMs), std::string(f.audioCodec).c_str(),
                f.audioKbps, f.sampleRate, f.bitsPerSample, f.channels,
                std::string(f.videoCodec).c_str(), f.width, f.height, f.frameRateNum,
                f.frameRateDen, f.interlaced ? " i" : "");
  return text;
}

MediaInfo readBytes(std::string bytes) {
  MemoryFile file(std::move(bytes));
  return BuiltinReader::readFile(file);
}

class MpegStreamFixtures : public test::WesternCodePageTest {};

TEST_F(MpegStreamFixtures, EveryFixtureGivesItsExpectedValues) {
  const auto expected = test::loadExpectedValues(kMediaDir + "expected-mpeg.tsv");
  ASSERT_GE(expected.size(), 18u) << "expected-mpeg.tsv missing or short";
  for (const auto& [file, values] : expected) {
    SCOPED_TRACE(file);
    const MediaInfo info = readBytes(test::readFileBytes(kMediaDir + file));
    for (const auto& [code, value] : values) {
      if (code == "TYPE") {
        EXPECT_EQ(std::to_string(info.type), value);
      } else if (code == "FACTS") {
        EXPECT_EQ(factsText(info.facts), value);
      } else {
        EXPECT_EQ(valueOf(info, code), value) << code;
      }
    }
    // Files without video have no VFMT at all.
    EXPECT_EQ(info.find("VFMT") != nullptr, values.contains("VFMT"));
  }
}

// Damage that recordings and downloads suffer: each file still opens as what it is, with what
// could be read, or as nothing; never a crash or a hang.
TEST_F(MpegStreamFixtures, DamagedFilesGiveWhatCanBeRead) {
  const auto packetsWithPid = [](std::string bytes, uint16_t pid, size_t slot, size_t lead) {
    for (size_t at = lead; at + kTsPacket <= bytes.size(); at += slot) {
      const uint16_t p =
          ((static_cast<uint8_t>(bytes[at + 1]) & 0x1F) << 8) | static_cast<uint8_t>(bytes[at + 2]);
      if (p == pid)
        bytes[at + 1] = static_cast<char>((bytes[at + 1] & 0xE0) | 0x1F),
                   bytes[at + 2] = '\xFF';  // now a null packet
    }
    return bytes;
  };
  struct Case {
    const char* name;
    const char* file;
    std::function<std::string(std::string)> damage;
    int32_t type;
    const char* time;  // expected TIME, or "<none>"
    const char* vfmt;
  };
  const Case cases[] = {
      {"no PAT", "h264-aac.ts", [&](std::string b) { return packetsWithPid(b, 0, 188, 0); },
       kTypeTs, "<none>", "<none>"},
      {"PMT pointing nowhere", "h264-aac.ts",
       [&](std::string b) { return packetsWithPid(b, 0x1000, 188, 0); }, kTypeTs, "<none>",
       "<none>"},
      {"cut in the middle of a packet", "mpeg2-mp2.ts",
       [](std::string b) { return b.substr(0, b.size() / 2 + 77); }, kTypeTs, "00:00:01 (1sec)",
       "MPEG-2, 352x288, 25.000fps"},
      {"junk inserted between packets", "ac3-51.m2ts",
       [](std::string b) { return b.insert(192 * 40 + 3, "junk junk"); }, kTypeTs,
       "00:00:02 (2sec)", "H264, 176x144, 25.000fps"},
      {"timestamps jump back at the tail", "h264-aac.ts",
       [](std::string b) {
         // Clears the PTS bits of every PES header in the last quarter.
         for (size_t at = b.size() / 4 * 3 / kTsPacket * kTsPacket; at + kTsPacket <= b.size();
              at += kTsPacket) {
           if ((b[at + 1] & 0x40) == 0) continue;
           const size_t pes =
               at + 4 + ((b[at + 3] & 0x20) ? 1 + static_cast<uint8_t>(b[at + 4]) : 0);
           if (pes + 14 <= at + kTsPacket && b.compare(pes, 3, std::string("\0\0\1", 3)) == 0) {
             b.replace(pes + 9, 5, std::string("\x21\0\1\0\1", 5));
           }
         }
         return b;
       },
       kTypeTs, "00:00:02 (2sec)", "H264, 176x100, 29.970fps"},
      {"program stream without video", "vcd.mpg",
       [](std::string b) {
         for (size_t at = 0;
              (at = b.find(std::string("\0\0\1\xE0", 4), at)) != std::string::npos;) {
           b[at + 3] = '\xBE';  // the video packets become padding
         }
         return b;
       },
       kTypeMpegPs, "00:00:02 (2sec)", "<none>"},
      {"garbage between packs", "dvd.vob",
       [](std::string b) { return b.insert(2048 * 3, std::string(999, '\x01')); }, kTypeMpegPs,
       "00:00:01 (1sec)", "MPEG-2, 352x240, 29.970fps"},
      {"pack header only", "lpcm.vob", [](std::string b) { return b.substr(0, 14); }, kTypeMpegPs,
       "<none>", "<none>"},
      {"ADTS frames cut short", "plain.aac", [](std::string b) { return b.substr(0, 1000); },
       kTypeAdts, "0:00 (0sec)", "<none>"},
      {"ADTS stream with a damaged stretch", "plain.aac",
       [](std::string b) { return b.replace(20000, 3000, 3000, '\0'); }, kTypeAdts, "0:04 (4sec)",
       "<none>"},
      {"text that starts like a sync byte", "plain.aac",
       [](std::string) { return std::string(4000, 'G'); }, kTypeNone, "<none>", "<none>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MediaInfo info = readBytes(c.damage(test::readFileBytes(kMediaDir + c.file)));
    EXPECT_EQ(info.type, c.type);
    EXPECT_EQ(valueOf(info, "TIME"), c.time);
    EXPECT_EQ(valueOf(info, "VFMT"), c.vfmt);
  }
}

// A long recording costs a few bounded reads at its head and tail: its middle (here 48 MiB of
// repeated packets) is never read.
TEST_F(MpegStreamFixtures, LongRecordingIsReadAtHeadAndTailOnly) {
  const std::string ts = test::readFileBytes(kMediaDir + "mpeg2-mp2.ts");
  std::string file = ts.substr(0, ts.size() / 2 / kTsPacket * kTsPacket);
  const std::string null(kTsPacket, '\xFF');
  std::string filler = "\x47\x1F\xFF\x10" + null.substr(4);
  while (file.size() < 48u * 1024 * 1024) file += filler;
  file += ts.substr(ts.size() / 2 / kTsPacket * kTsPacket);
  MemoryFile memory(file);
  const MediaInfo info = BuiltinReader::readFile(memory);
  EXPECT_EQ(info.type, kTypeTs);
  EXPECT_EQ(valueOf(info, "AFMT"), "MP2, 48000Hz, 2ch");
  // The stamps at the head and the tail span the same time as in the whole recording.
  EXPECT_EQ(valueOf(info, "TIME"), valueOf(readBytes(ts), "TIME"));
  EXPECT_LE(memory.bytesRead(), 512u * 1024);
  EXPECT_LE(memory.readCalls(), 4);
}

// Padding packs between a program stream's packs change none of its values: the head is read
// further when it holds no stream yet, and a long stream costs a head and a tail read.
TEST_F(MpegStreamFixtures, PaddedProgramStreamKeepsItsValues) {
  std::string padPack("\0\0\1\xBA\x44\0\4\0\4\1\1\x89\xC3\xF8\0\0\1\xBE", 18);
  padPack += static_cast<char>((2048 - 20) >> 8);
  padPack += static_cast<char>((2048 - 20) & 0xFF);
  padPack.resize(2048, '\xFF');
  struct Case {
    const char* name;
    size_t at;     // where the padding goes
    size_t packs;  // how many padding packs
    size_t maxBytesRead;
  };
  const Case cases[] = {
      {"streams start past the first head read", 2048, 150, 1024 * 1024},
      {"long stream", 2048 * 3, 1500, 384 * 1024},
  };
  const std::string vob = test::readFileBytes(kMediaDir + "dvd.vob");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string padding;
    for (size_t i = 0; i < c.packs; ++i) padding += padPack;
    MemoryFile file(vob.substr(0, c.at) + padding + vob.substr(c.at));
    const MediaInfo info = BuiltinReader::readFile(file);
    EXPECT_EQ(valueOf(info, "TIME"), "00:00:01 (1sec)");
    EXPECT_EQ(valueOf(info, "AFMT"), "AC-3, 48000Hz, 2ch");
    EXPECT_EQ(valueOf(info, "VFMT"), "MPEG-2, 352x240, 29.970fps");
    EXPECT_LE(file.bytesRead(), c.maxBytesRead);
    EXPECT_LE(file.readCalls(), 4);
  }
}

// A frame that the end of the file cuts short is not counted, whichever way it is reached.
TEST_F(MpegStreamFixtures, AdtsFrameCutByTheEndIsNotCounted) {
  const std::string bytes = test::readFileBytes(kMediaDir + "plain.aac");
  const int64_t wholeMs = readBytes(bytes).facts.durationMs;
  EXPECT_EQ(readBytes(bytes.substr(0, bytes.size() - 1)).facts.durationMs, wholeMs - 23);
}

// A short raw AAC file is read in two reads, the head and its stream with the trailing tags:
// no byte twice.
TEST_F(MpegStreamFixtures, ShortAdtsFileIsReadOnce) {
  for (const char* name : {"plain.aac", "id3v2.aac", "ape-id3v1.aac"}) {
    SCOPED_TRACE(name);
    const std::string bytes = test::readFileBytes(kMediaDir + name);
    MemoryFile file(bytes);
    EXPECT_EQ(BuiltinReader::readFile(file).type, kTypeAdts);
    EXPECT_LE(file.bytesRead(), bytes.size());
    EXPECT_EQ(file.readCalls(), 2);
  }
}

// A recording of one service keeps the whole multiplex's PAT: the program read is the first
// one whose streams the file holds, although another's tables come first.
TEST_F(MpegStreamFixtures, TheProgramReadIsTheOneTheFileHoldsStreamsOf) {
  const auto sectionPacket = [](uint16_t pid, std::string section) {
    const size_t length = section.size() + 4 - 3;  // after the length field, CRC included
    section[1] = static_cast<char>(0xB0 | length >> 8);
    section[2] = static_cast<char>(length & 0xFF);
    const uint32_t crc = mpeg2Crc32(section);
    for (int shift = 24; shift >= 0; shift -= 8) section += static_cast<char>(crc >> shift);
    std::string packet = {'\x47', static_cast<char>(0x40 | pid >> 8), static_cast<char>(pid & 0xFF),
                          '\x10', '\0'};
    packet += section;
    packet.resize(kTsPacket, '\xFF');
    return packet;
  };
  // Program 9 (PMT on PID 0xFF0: H.264 on 0xF01, AAC on 0xF02, none of them in the file), then
  // program 1, whose PMT ffmpeg sends on PID 0x1000.
  const std::string pat("\x00\x00\x00\x00\x01\xC1\x00\x00\x00\x09\xEF\xF0\x00\x01\xF0\x00", 16);
  const std::string pmt(
      "\x02\x00\x00\x00\x09\xC1\x00\x00\xEF\x01\xF0\x00\x1B\xEF\x01\xF0\x00\x0F\xEF\x02\xF0\x00",
      22);
  const std::string ts = test::readFileBytes(kMediaDir + "h264-aac.ts");
  const MediaInfo info = readBytes(sectionPacket(0, pat) + sectionPacket(0xFF0, pmt) + ts);
  const MediaInfo alone = readBytes(ts);
  for (const char* code : {"TIME", "AFMT", "VFMT"}) {
    EXPECT_EQ(valueOf(info, code), valueOf(alone, code)) << code;
  }
  EXPECT_NE(valueOf(info, "AFMT"), "<none>");
}

}  // namespace
}  // namespace sonavid::media
