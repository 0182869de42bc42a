#include "media/mpegts/psi_tables.h"

#include <array>

#include "media/byte_reader.h"
#include "media/mpegts/section_crc.h"

namespace sonavid::media::mpegts {
namespace {

constexpr size_t kMaxStreamsPerProgram = 64;
constexpr size_t kCrcBytes = 4;
// The fields between the section length and the data.
constexpr size_t kLongHeaderBytes = 5;

// The data of a long-form section: what lies between its header and its CRC.
bool sectionData(std::string_view section, uint8_t tableId, uint16_t& extension, ByteReader& data) {
  ByteReader reader(section);
  if (reader.u8() != tableId) return false;
  const uint16_t length = reader.u16be() & 0x0FFF;
  extension = reader.u16be();
  reader.skip(3);  // version, section numbers
  if (!reader.ok() || length < kLongHeaderBytes + kCrcBytes || section.size() < length + 3u) {
    return false;
  }
  data = reader.sub(length - kLongHeaderBytes - kCrcBytes);
  return reader.ok();
}

// The stream kind a descriptor marks a private-data stream as.
StreamKind kindOfDescriptors(ByteReader descriptors) {
  while (descriptors.has(2)) {
    const uint8_t tag = descriptors.u8();
    const uint8_t length = descriptors.u8();
    const std::string_view body = descriptors.bytes(length);
    if (!descriptors.ok()) break;
    if (tag == 0x6A || tag == 0x7A || tag == 0xCC) return StreamKind::kAc3;  // AC-3, E-AC-3
    if (tag == 0x7B) return StreamKind::kDts;
    if (tag == 0x05 && body.size() >= 4) {  // registration: a format identifier
      const std::string_view id = body.substr(0, 4);
      if (id == "AC-3" || id == "EAC3") return StreamKind::kAc3;
      if (id == "DTS1" || id == "DTS2" || id == "DTS3") return StreamKind::kDts;
      if (id == "HEVC") return StreamKind::kHevc;
    }
  }
  return StreamKind::kNone;
}

StreamKind kindOfStreamType(uint8_t type) {
  switch (type) {
    case 0x01:
      return StreamKind::kMpeg1Video;
    case 0x02:
      return StreamKind::kMpeg2Video;
    case 0x1B:
      return StreamKind::kH264;
    case 0x24:
      return StreamKind::kHevc;
    case 0x03:
    case 0x04:
      return StreamKind::kMpegAudio;
    case 0x0F:
      return StreamKind::kAdts;
    case 0x80:
      return StreamKind::kLpcmBluray;
    case 0x81:  // AC-3 (ATSC, Blu-ray)
    case 0x84:  // E-AC-3 (Blu-ray secondary audio)
    case 0x87:  // E-AC-3 (ATSC)
    case 0xA1:
      return StreamKind::kAc3;
    case 0x82:
    case 0x85:
    case 0x86:
    case 0xA2:
      return StreamKind::kDts;
    default:
      return StreamKind::kNone;
  }
}

}  // namespace

bool SectionCollector::sectionCrcIsRight(std::string_view section) {
  return mpeg2Crc32(section) == 0;
}

std::vector<ProgramEntry> parsePat(std::string_view section) {
  std::vector<ProgramEntry> programs;
  uint16_t streamId = 0;
  ByteReader data;
  if (!sectionData(section, kPatTableId, streamId, data)) return programs;
  while (data.has(4)) {
    const uint16_t number = data.u16be();
    const uint16_t pid = data.u16be() & 0x1FFF;
    if (number != 0) programs.push_back(ProgramEntry{number, pid});
  }
  return programs;
}

bool parsePmt(std::string_view section, ProgramMap& program) {
  ByteReader data;
  if (!sectionData(section, kPmtTableId, program.programNumber, data)) return false;
  program.pcrPid = data.u16be() & 0x1FFF;
  data.skip(data.u16be() & 0x0FFF);  // program descriptors
  program.streams.clear();
  while (data.has(5) && program.streams.size() < kMaxStreamsPerProgram) {
    ElementaryStream stream;
    stream.streamType = data.u8();
    stream.pid = data.u16be() & 0x1FFF;
    const ByteReader descriptors = data.sub(data.u16be() & 0x0FFF);
    if (!data.ok()) break;
    stream.kind = kindOfStreamType(stream.streamType);
    // Private data (0x06) carries AC-3, E-AC-3 and DTS in DVB; a registration descriptor may
    // name the format of other types too.
    if (stream.kind == StreamKind::kNone) stream.kind = kindOfDescriptors(descriptors);
    program.streams.push_back(stream);
  }
  return data.ok();
}

}  // namespace sonavid::media::mpegts
