#include "media/streams/pes_packet.h"

#include "media/byte_reader.h"

namespace sonavid::media {
namespace {

constexpr size_t kMaxMpeg1Stuffing = 16;

}  // namespace

bool parsePesHeader(std::string_view bytes, bool mpeg1, PesHeader& header) {
  ByteReader reader(bytes);
  // Start code, stream id and packet length.
  const auto* start = reinterpret_cast<const uint8_t*>(reader.bytes(6).data());
  if (!reader.ok() || start[0] != 0 || start[1] != 0 || start[2] != 1 || start[3] < 0xBC) {
    return false;
  }
  header = PesHeader{};
  header.streamId = start[3];
  header.packetLength = (uint32_t{start[4]} << 8) | start[5];
  if (pesHasNoHeader(header.streamId)) {
    header.payloadOffset = reader.position();
    return true;
  }
  const uint8_t first = static_cast<uint8_t>(reader.rest().empty() ? 0 : reader.rest()[0]);
  if ((first & 0xC0) == 0x80) {
    // '10' and flags, PTS/DTS flags and more, header data length, the fields it counts.
    const auto* fixed = reinterpret_cast<const uint8_t*>(reader.bytes(3).data());
    if (!reader.ok()) return false;
    const std::string_view fields = reader.bytes(fixed[2]);
    if (!reader.ok()) return false;
    if ((fixed[1] & 0x80) != 0 && fields.size() >= 5) {
      header.pts = readTimestamp(reinterpret_cast<const uint8_t*>(fields.data()));
    }
    header.payloadOffset = reader.position();
    return true;
  }
  if (!mpeg1) return false;
  for (size_t i = 0; i < kMaxMpeg1Stuffing && reader.has(1) && reader.rest()[0] == '\xFF'; ++i) {
    reader.skip(1);
  }
  if (reader.has(1) && (static_cast<uint8_t>(reader.rest()[0]) & 0xC0) == 0x40) reader.skip(2);
  const uint8_t marker = reader.has(1) ? static_cast<uint8_t>(reader.rest()[0]) : 0;
  if ((marker & 0xF0) == 0x20 || (marker & 0xF0) == 0x30) {
    const std::string_view stamps = reader.bytes((marker & 0xF0) == 0x30 ? 10 : 5);
    if (!reader.ok()) return false;
    header.pts = readTimestamp(reinterpret_cast<const uint8_t*>(stamps.data()));
  } else if (marker == 0x0F) {
    reader.skip(1);
  } else {
    return false;
  }
  header.payloadOffset = reader.position();
  return reader.ok();
}

}  // namespace sonavid::media
