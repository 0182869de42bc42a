// Program tables of transport streams as broadcasts send them: a PMT longer than one packet,
// a section that starts after the end of the one before, and a damaged section.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/mpegts/psi_tables.h"
#include "media/mpegts/section_crc.h"

namespace sonavid::media::mpegts {
namespace {

// A PMT section of program 7: 60 private-data streams marked AC-3 by a descriptor (too long
// for one packet), then one stream registered as "HEVC".
std::string pmtSection() {
  std::string body("\xE1\x00\xF0\x00", 4);  // PCR PID 0x100, no program descriptors
  for (int i = 0; i < 60; ++i) {
    body +=
        std::string("\x06\xE1", 2) + static_cast<char>(i + 1) + std::string("\xF0\x02\x6A\x00", 4);
  }
  body += std::string("\x06\xE2\x00\xF0\x06\x05\x04HEVC", 11);
  std::string section = std::string("\x02\xB0", 2);
  const size_t length = 5 + body.size() + 4;
  section[1] = static_cast<char>(0xB0 | (length >> 8));
  section += static_cast<char>(length & 0xFF);
  section += std::string("\x00\x07\xC1\x00\x00", 5) + body;
  uint32_t crc = 0xFFFFFFFF;
  for (const char c : section) {
    crc ^= static_cast<uint32_t>(static_cast<uint8_t>(c)) << 24;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
  }
  for (int shift = 24; shift >= 0; shift -= 8) section += static_cast<char>(crc >> shift);
  return section;
}

// The bytes of the packets' payloads: the pointer field, the end of the section before, the
// section.
std::string payloadBytes(const std::string& leading, const std::string& section) {
  return std::string(1, static_cast<char>(leading.size())) + leading + section;
}

TEST(TransportStreamTables, PmtsArriveWholeAcrossPacketsAndDamagedOnesAreDropped) {
  const std::string pmt = pmtSection();
  std::string damaged = pmt;
  damaged[40] ^= 0x10;
  const struct {
    const char* name;
    std::string leading;  // the end of an earlier section before the pointer
    std::string section;
    size_t streams;  // 0: no section delivered
  } cases[] = {
      {"across three packets", "", pmt, 61},
      {"after the end of the section before", "\x11\x22\x33", pmt, 61},
      {"damaged", "", damaged, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_GT(c.section.size(), 2 * 184u);
    SectionCollector collector;
    std::vector<ProgramMap> maps;
    const std::string bytes = payloadBytes(c.leading, c.section);
    for (size_t at = 0; at < bytes.size(); at += 184) {
      Packet packet;
      packet.unitStart = at == 0;
      packet.payload = std::string_view(bytes).substr(at, 184);
      collector.add(packet, [&](std::string_view section) {
        ProgramMap map;
        if (parsePmt(section, map)) maps.push_back(map);
      });
    }
    ASSERT_EQ(maps.size(), c.streams == 0 ? 0u : 1u);
    if (c.streams == 0) continue;
    EXPECT_EQ(maps[0].programNumber, 7);
    EXPECT_EQ(maps[0].pcrPid, 0x100);
    ASSERT_EQ(maps[0].streams.size(), c.streams);
    EXPECT_EQ(maps[0].streams[0].kind, StreamKind::kAc3);
    EXPECT_EQ(maps[0].streams[59].pid, 0x100 + 60);
    EXPECT_EQ(maps[0].streams[60].kind, StreamKind::kHevc);
  }
}

// The published check value of CRC-32/MPEG-2, and a section whose CRC field makes it 0.
TEST(TransportStreamTables, SectionCrcIsTheMpeg2One) {
  EXPECT_EQ(mpeg2Crc32("123456789"), 0x0376E6E7u);
  EXPECT_EQ(mpeg2Crc32(pmtSection()), 0u);
}

}  // namespace
}  // namespace sonavid::media::mpegts
