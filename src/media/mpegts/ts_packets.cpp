#include "media/mpegts/ts_packets.h"

#include "media/byte_reader.h"
#include "media/streams/pes_packet.h"

namespace sonavid::media::mpegts {
namespace {

constexpr size_t kPacketSizes[] = {188, 192, 204};
constexpr int kFewestSyncs = 3;

// True when `count` packets in a row start at `at` with a sync byte and a header that is not
// plainly wrong (error flag clear, adaptation field control not the reserved 00).
bool packetsAt(std::string_view bytes, size_t at, size_t stride, int count) {
  for (int i = 0; i < count; ++i, at += stride) {
    if (static_cast<uint8_t>(bytes[at]) != kSyncByte) return false;
    if (bytes.size() - at < 4) continue;  // the last packet may be cut short
    if ((static_cast<uint8_t>(bytes[at + 1]) & 0x80) != 0 ||
        (static_cast<uint8_t>(bytes[at + 3]) & 0x30) == 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<PacketLayout> findPacketLayout(std::string_view bytes, int minPackets) {
  for (const size_t size : kPacketSizes) {
    const size_t lead = size == 192 ? 4 : 0;
    // Only a sync byte can start a packet: the search skips to the next one.
    const std::string_view slot = bytes.substr(0, size);
    for (size_t sync = slot.find(static_cast<char>(kSyncByte)); sync != std::string_view::npos;
         sync = slot.find(static_cast<char>(kSyncByte), sync + 1)) {
      const size_t fit = (bytes.size() - sync - 1) / size + 1;
      const int count = fit < static_cast<size_t>(minPackets) ? static_cast<int>(fit) : minPackets;
      if (count < kFewestSyncs || !packetsAt(bytes, sync, size, count)) continue;
      // A 192-byte slot starts with the timestamp; 188 and 204 with the sync byte.
      if (sync < lead) continue;
      return PacketLayout{size, sync};
    }
  }
  return std::nullopt;
}

size_t resyncPackets(std::string_view bytes, const PacketLayout& layout, size_t from) {
  const size_t lead = layout.leadingBytes();
  for (size_t slot = from; slot < bytes.size() && bytes.size() - slot > lead; ++slot) {
    bool inStep = true;
    for (size_t at = slot + lead, n = 0; n < 3 && at < bytes.size(); ++n, at += layout.packetSize) {
      if (static_cast<uint8_t>(bytes[at]) != kSyncByte) inStep = false;
      if (!inStep || bytes.size() - at <= layout.packetSize) break;
    }
    if (inStep) return slot;
  }
  return std::string_view::npos;
}

bool parsePacket(std::string_view bytes, Packet& packet) {
  ByteReader reader(bytes);
  const auto* header = reinterpret_cast<const uint8_t*>(reader.bytes(4).data());
  if (!reader.ok() || header[0] != kSyncByte) return false;
  if ((header[1] & 0x80) != 0) return false;  // transport error
  packet = Packet{};
  packet.pid = static_cast<uint16_t>(((header[1] & 0x1F) << 8) | header[2]);
  packet.unitStart = (header[1] & 0x40) != 0;
  const uint8_t fieldControl = (header[3] >> 4) & 3;
  if (fieldControl == 0) return false;
  if ((fieldControl & 2) != 0) {
    const uint8_t length = reader.u8();
    ByteReader field = reader.sub(length);
    if (!reader.ok()) return false;
    if (length > 0 && (field.u8() & 0x10) != 0) {
      const std::string_view pcr = field.bytes(5);
      if (field.ok()) packet.pcr = pcrBase(reinterpret_cast<const uint8_t*>(pcr.data()));
    }
  }
  if ((fieldControl & 1) != 0 && (header[3] & 0xC0) == 0) packet.payload = reader.rest();
  return true;
}

std::optional<uint64_t> readStartStamp(std::string_view bytes) {
  ByteReader reader(bytes);
  const auto* packet = reinterpret_cast<const uint8_t*>(reader.bytes(kPacketBytes).data());
  // No payload, or a scrambled one: parsePacket gives none.
  if (!reader.ok() || (packet[3] & 0x10) == 0 || (packet[3] & 0xC0) != 0) return std::nullopt;
  // An adaptation field must end within the packet (readPacketHeader has checked it too).
  const size_t at = (packet[3] & 0x20) != 0 ? 5u + packet[4] : 4u;
  if (at > kPacketBytes) return std::nullopt;
  const uint8_t* pes = packet + at;
  const size_t left = kPacketBytes - at;
  // Start code, a stream id with the MPEG-2 header ('10' first), its fixed 3 bytes and the
  // fields they count, all within the payload.
  if (left < 9 || pes[0] != 0 || pes[1] != 0 || pes[2] != 1 || pes[3] < 0xBC ||
      pesHasNoHeader(pes[3]) || (pes[6] & 0xC0) != 0x80 || pes[8] > left - 9) {
    return std::nullopt;
  }
  if ((pes[7] & 0x80) == 0 || pes[8] < 5) return std::nullopt;
  return readTimestamp(pes + 9);
}

}  // namespace sonavid::media::mpegts
