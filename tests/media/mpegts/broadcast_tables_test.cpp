// The broadcast section reader over the fixtures of make-broadcast.py (tests/data/media/
// expected-broadcast.tsv), and over damaged and endless tables made here.
#include "media/mpegts/broadcast_tables.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "common/text.h"
#include "media/builtin_reader.h"
#include "media/expected_values.h"
#include "media/memory_file.h"
#include "media/mpegts/broadcast_sections.h"

namespace sonavid::media {
namespace {

size_t packetSizeOf(const std::string& file) { return file.ends_with(".m2ts") ? 192 : 188; }

std::map<std::string, std::string> fields(const BroadcastProgram& p) {
  return {{"INAM", utf16ToUtf8(p.title)},      {"ICMT", utf16ToUtf8(p.description)},
          {"CHANNEL", utf16ToUtf8(p.channel)}, {"ICRD", utf16ToUtf8(p.date)},
          {"START", utf16ToUtf8(p.start)},     {"IGNR", utf16ToUtf8(p.genre)}};
}

BroadcastProgram read(const std::string& bytes, size_t packetSize, uint16_t program) {
  BroadcastProgram out;
  readBroadcastProgram(bytes, packetSize, program, out);
  return out;
}

TEST(BroadcastTables, ReadsTheFixturesAsGenerated) {
  const auto files = test::loadExpectedValues(test::kMediaDir + "expected-broadcast.tsv");
  ASSERT_EQ(files.size(), 3u) << "expected-broadcast.tsv missing or short";
  for (const auto& [file, expected] : files) {
    const std::string bytes = test::readFileBytes(test::kMediaDir + file);
    const BroadcastProgram program =
        read(bytes, packetSizeOf(file), static_cast<uint16_t>(std::stoi(expected.at("program"))));
    EXPECT_EQ(program.isdb, file.find("isdb") != std::string::npos) << file;
    for (const auto& [field, value] : fields(program)) {
      EXPECT_EQ(value, expected.at(field)) << file << " " << field;
    }
    // Another service of the same stream has none of it.
    EXPECT_EQ(read(bytes, packetSizeOf(file), 0x7777).title, u"") << file;
    // The transport stream reader finds the recorded service itself and gives the same, also
    // from a capture that keeps each packet's 16-byte check code.
    std::string withCheckCodes;
    for (size_t at = 0; packetSizeOf(file) == 188 && bytes.size() - at >= 188; at += 188) {
      withCheckCodes += bytes.substr(at, 188) + std::string(16, '\x5A');
    }
    for (const std::string& stream : {bytes, withCheckCodes}) {
      if (stream.empty()) continue;
      MemoryFile memory(stream);
      const MediaInfo info = BuiltinReader::readFile(memory);
      for (const auto& [field, value] : fields(program)) {
        const std::u16string* found = info.find(field);
        EXPECT_EQ(found ? utf16ToUtf8(*found) : "", value)
            << file << " " << field << " " << stream.size();
      }
    }
  }
}

// One packet on `pid` carrying `sections` back to back (pointer_field 0), stuffed to 188.
std::string packetWith(uint16_t pid, const std::string& sections, int continuity = 0) {
  std::string packet = {'\x47', static_cast<char>(0x40 | pid >> 8), static_cast<char>(pid & 0xFF),
                        static_cast<char>(0x10 | (continuity & 0x0F)), '\0'};
  packet += sections.substr(0, 183);
  packet.resize(188, '\xff');
  return packet;
}

// An SDT section naming service 1 `name` (DVB default table), with its CRC-32.
std::string sdtSection(const std::string& name, int descriptorLengthExtra = 0) {
  std::string service = "\x48" +
                        std::string(1, static_cast<char>(3 + name.size() + descriptorLengthExtra)) +
                        std::string("\x01\x00", 2) + static_cast<char>(name.size()) + name;
  std::string body = std::string("\x00\x01\xc1\x00\x00\xff\x01\xff", 8) +
                     std::string("\x00\x01\xfc\x80", 4) + static_cast<char>(service.size()) +
                     service;
  std::string section = "\x42" + std::string(1, static_cast<char>(0xF0 | (body.size() + 4) >> 8)) +
                        static_cast<char>((body.size() + 4) & 0xFF) + body;
  const uint32_t crc = mpeg2Crc32(section);
  for (int shift = 24; shift >= 0; shift -= 8) section.push_back(static_cast<char>(crc >> shift));
  return section;
}

TEST(BroadcastTables, DamagedSectionsGiveNothingFromThem) {
  const std::string good = sdtSection("Channel");
  EXPECT_EQ(read(packetWith(0x11, good), 188, 1).channel, u"Channel");

  std::string badCrc = good;
  badCrc[20] ^= 0x01;
  EXPECT_EQ(read(packetWith(0x11, badCrc), 188, 1).channel, u"");
  // A descriptor longer than its loop, and a section longer than its packets.
  EXPECT_EQ(read(packetWith(0x11, sdtSection("Channel", 40)), 188, 1).channel, u"");
  std::string tooLong = good;
  tooLong[1] = '\xf0' | 0x0F;
  EXPECT_EQ(read(packetWith(0x11, tooLong), 188, 1).channel, u"");
  // A missing packet (continuity jump) drops the section it splits.
  const std::string longName = sdtSection(std::string(200, 'x'));
  std::string split = packetWith(0x11, longName, 0);
  std::string rest = std::string("\x47\x00\x11\x12", 4) + longName.substr(183);
  rest.resize(188, '\xff');
  EXPECT_EQ(read(split + rest, 188, 1).channel, u"");
  rest[3] = '\x11';
  EXPECT_EQ(read(split + rest, 188, 1).channel.size(), 200u);
}

TEST(BroadcastTables, AMillionRepeatedSectionsEndWithinTheSectionCap) {
  // 8-byte TDTs, 22 to a packet: a million of them, then the SDT past the cap.
  std::string tdt = std::string("\x70\x70\x05\xeb\x1d\x21\x00\x00", 8), sections;
  for (int i = 0; i < 22; ++i) sections += tdt;
  std::string stream;
  for (int i = 0; i < 1000000 / 22; ++i) stream += packetWith(0x14, sections, i);
  stream += packetWith(0x11, sdtSection("Late"));
  EXPECT_EQ(read(stream, 188, 1).channel, u"");
  EXPECT_EQ(read(packetWith(0x11, sdtSection("Early")) + stream, 188, 1).channel, u"Early");
}

}  // namespace
}  // namespace sonavid::media
