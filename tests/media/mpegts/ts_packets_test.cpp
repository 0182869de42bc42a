// The short ways to a PES start's timestamp and a packet's clock (readStartStamp, readPacketPcr)
// against the long one (parsePacket, then parsePesHeader) over the packets of the transport
// stream fixtures that start a PES packet or carry a PCR, and over those packets with their
// header bytes damaged one at a time.
#include "media/mpegts/ts_packets.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "media/expected_values.h"
#include "media/streams/pes_packet.h"

namespace sonavid::media::mpegts {
namespace {

std::optional<uint64_t> pcrTheLongWay(std::string_view bytes) {
  Packet packet;
  return parsePacket(bytes, packet) ? packet.pcr : std::nullopt;
}

std::optional<uint64_t> stampTheLongWay(std::string_view bytes) {
  Packet packet;
  PesHeader header;
  if (!parsePacket(bytes, packet) || !parsePesHeader(packet.payload, false, header)) {
    return std::nullopt;
  }
  return header.pts;
}

TEST(TransportStreamPackets, StartStampsAndClocksAreThoseOfTheFullParse) {
  const char* const files[] = {"h264-aac.ts", "m2ts-h264-ac3.m2ts", "mpeg2-mp2.ts",
                               "wrap.ts",     "hevc-eac3.ts",       "lpcm.m2ts",
                               "dts.ts",      "h264-1080i.ts",      "mpeg2-1080i.ts"};
  // Values each damaged byte takes: cleared, all ones, the bits the checks look at, and
  // lengths around those of the fields.
  const uint8_t damage[] = {0x00, 0xFF, 0x80, 0x40, 0x30, 0x10, 0xB7, 0x05, 0x06, 0x07};
  int stamps = 0;
  int clocks = 0;
  int compared = 0;
  for (const char* file : files) {
    SCOPED_TRACE(file);
    const std::string bytes = test::readFileBytes(test::kMediaDir + file);
    const std::optional<PacketLayout> layout = findPacketLayout(bytes, 6);
    ASSERT_TRUE(layout.has_value());
    forEachPacketSlot(bytes, *layout, layout->firstSlot(), [&](std::string_view packet) {
      PacketHeader look;
      if (!readPacketHeader(packet, look) || !(look.unitStart || look.pcrFlag)) return true;
      stamps += look.unitStart && readStartStamp(packet).has_value();
      clocks += look.pcrFlag && readPacketPcr(packet).has_value();
      std::string damaged(packet);
      // The packet header, the adaptation field's length and the PES header's first bytes.
      for (size_t at = 1; at < 24; ++at) {
        for (const uint8_t value : damage) {
          damaged[at] = static_cast<char>(value);
          PacketHeader damagedLook;
          if (!readPacketHeader(damaged, damagedLook)) continue;
          compared += damagedLook.unitStart || damagedLook.pcrFlag;
          if (damagedLook.unitStart) {
            EXPECT_EQ(readStartStamp(damaged), stampTheLongWay(damaged)) << "byte " << at;
          }
          if (damagedLook.pcrFlag) {
            EXPECT_EQ(readPacketPcr(damaged), pcrTheLongWay(damaged)) << "byte " << at;
          }
        }
        damaged[at] = packet[at];
      }
      if (look.unitStart) {
        EXPECT_EQ(readStartStamp(packet), stampTheLongWay(packet));
      }
      if (look.pcrFlag) {
        EXPECT_EQ(readPacketPcr(packet), pcrTheLongWay(packet));
      }
      return true;
    });
  }
  EXPECT_GT(stamps, 100);
  EXPECT_GT(clocks, 100);
  EXPECT_GT(compared, 10000);
}

}  // namespace
}  // namespace sonavid::media::mpegts
