// MPEG transport stream packets: 188 bytes each, starting with the sync byte 0x47; Blu-ray and
// camcorder files (M2TS) put a 4-byte arrival timestamp before each, making 192, and some
// broadcast captures keep the 16-byte error-correction code after each, making 204.
//   8 sync | 1 error | 1 unit start | 1 priority | 13 PID | 2 scrambling | 2 adaptation field
//   control (01 payload, 10 adaptation field, 11 both) | 4 continuity counter
//   adaptation field: 8 length | 8 flags (0x10: PCR) | PCR: 33 base (90 kHz) | 6 | 9 extension
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "media/byte_reader.h"

namespace sonavid::media::mpegts {

inline constexpr size_t kPacketBytes = 188;
inline constexpr uint8_t kSyncByte = 0x47;
inline constexpr uint16_t kNullPid = 0x1FFF;

struct PacketLayout {
  size_t packetSize = kPacketBytes;  // 188, 192 or 204
  size_t syncOffset = 0;             // where the first whole packet's sync byte is
  // Where in a packet-sized slot the 188 bytes start (4 for M2TS's timestamp).
  size_t leadingBytes() const { return packetSize == 192 ? 4 : 0; }
  // Where the slot of the first whole packet starts.
  size_t firstSlot() const { return syncOffset - leadingBytes(); }
};

// The packet size and first sync of `bytes`, when `minPackets` syncs in a row (or every packet
// that fits, when the bytes hold fewer, but at least 3) are found within the first packet.
std::optional<PacketLayout> findPacketLayout(std::string_view bytes, int minPackets);

struct Packet {
  uint16_t pid = 0;
  bool unitStart = false;
  std::optional<uint64_t> pcr;  // 90 kHz base
  std::string_view payload;
};

// The first look of a walk that wants the packets of few PIDs: the fields of the header of a
// 188-byte packet that parsePacket reads (sync byte, error flag clear, adaptation field within
// the packet). False for one it does not.
struct PacketHeader {
  uint16_t pid = 0;
  bool unitStart = false;
  bool pcrFlag = false;  // the adaptation field says it holds a PCR
};
inline bool readPacketHeader(std::string_view bytes, PacketHeader& header) {
  ByteReader reader(bytes);
  const auto* packet = reinterpret_cast<const uint8_t*>(reader.bytes(kPacketBytes).data());
  if (!reader.ok() || packet[0] != kSyncByte || (packet[1] & 0x80) != 0 ||  // transport error
      (packet[3] & 0x30) == 0) {
    return false;
  }
  // An adaptation field must fit in what follows its length byte.
  const bool adaptationField = (packet[3] & 0x20) != 0;
  if (adaptationField && packet[4] > kPacketBytes - 5) return false;
  header.pid = static_cast<uint16_t>(((packet[1] & 0x1F) << 8) | packet[2]);
  header.unitStart = (packet[1] & 0x40) != 0;
  header.pcrFlag = adaptationField && packet[4] > 0 && (packet[5] & 0x10) != 0;
  return true;
}

// The 90 kHz base of the PCR whose 6 bytes start at `p`: 33 bits, then 6 reserved and a 9-bit
// extension.
inline uint64_t pcrBase(const uint8_t* p) {
  const uint32_t high =
      (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
  return (uint64_t{high} << 1) | (p[4] >> 7);
}

// Reads one 188-byte packet; false for a damaged one (no sync, error flag, bad lengths).
bool parsePacket(std::string_view bytes, Packet& packet);

// The PTS of the PES packet that a packet starts, read straight from its 188 bytes: what
// parsePacket and then parsePesHeader (MPEG-2 form) give, for a walk that wants nothing else of
// most packets. Takes a packet readPacketHeader has accepted with its unit-start flag set
// (none for bytes shorter than a packet).
std::optional<uint64_t> readStartStamp(std::string_view bytes);
// The PCR of a packet readPacketHeader has accepted with its PCR flag set, as parsePacket
// gives it: none when the adaptation field is too short to hold one (or the bytes are shorter
// than a packet).
inline std::optional<uint64_t> readPacketPcr(std::string_view bytes) {
  ByteReader reader(bytes);
  const auto* packet = reinterpret_cast<const uint8_t*>(reader.bytes(kPacketBytes).data());
  // The adaptation field holds its flags, then the PCR's 6 bytes.
  if (!reader.ok() || packet[4] < 6) return std::nullopt;
  return pcrBase(packet + 6);
}

// The offset of the next packet slot at or after `from` whose sync byte is followed by two more
// at the packet size (or by the end of the bytes); npos when there is none.
size_t resyncPackets(std::string_view bytes, const PacketLayout& layout, size_t from);

// Calls `visit(packet)` with the 188 bytes of each packet in the whole packet slots of `bytes`
// that start at `first` (the offset of a slot, timestamp included) and begin with a sync byte,
// until it returns false. Where a slot has none (bytes lost or inserted), the walk goes on from
// the next place the packets are in step again.
template <typename Visit>
void forEachPacketSlot(std::string_view bytes, const PacketLayout& layout, size_t first,
                       Visit visit) {
  const size_t lead = layout.leadingBytes();
  for (size_t at = first; at <= bytes.size() && bytes.size() - at >= layout.packetSize;
       at += layout.packetSize) {
    if (static_cast<uint8_t>(bytes[at + lead]) != kSyncByte) {
      at = resyncPackets(bytes, layout, at + 1);
      if (at == std::string_view::npos || bytes.size() - at < layout.packetSize) return;
    }
    // The slot holds the packet whole: lead + 188 <= packetSize.
    if (!visit(std::string_view(bytes.data() + at + lead, kPacketBytes))) return;
  }
}

}  // namespace sonavid::media::mpegts
