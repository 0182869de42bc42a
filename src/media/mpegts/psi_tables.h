// The program tables of a transport stream: the PAT (PID 0) lists the programs and the PID of
// each one's PMT; a PMT lists the program's elementary streams, their stream types and
// descriptors. A table is sent as sections that may span packets:
//   8 table id | 1 syntax | 1 | 2 | 12 section length | 16 table id extension (program number
//   in a PMT) | 2 | 5 version | 1 current | 8 section number | 8 last section number | data |
//   32 CRC (MPEG-2 CRC-32 over the whole section gives 0)
//   PAT data: (16 program number | 3 | 13 PMT PID)...
//   PMT data: 3 | 13 PCR PID | 4 | 12 info length | descriptors |
//     (8 stream type | 3 | 13 PID | 4 | 12 info length | descriptors)...
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "media/mpegts/ts_packets.h"
#include "media/streams/stream_format.h"

namespace sonavid::media::mpegts {

inline constexpr uint16_t kPatPid = 0;
inline constexpr uint8_t kPatTableId = 0x00;
inline constexpr uint8_t kPmtTableId = 0x02;
// Sections are at most 1024 bytes (4096 for private tables).
inline constexpr size_t kMaxSectionBytes = 4096;

// Gathers the sections of one PID from its packets. Call add() with each packet of the PID in
// order; it calls `done(section)` for each whole section whose CRC is right.
class SectionCollector {
 public:
  template <typename Done>
  void add(const Packet& packet, Done done) {
    std::string_view payload = packet.payload;
    if (packet.unitStart) {
      if (payload.empty()) return;
      const size_t pointer = static_cast<uint8_t>(payload[0]);
      payload.remove_prefix(1);
      // The bytes before the pointer end the section begun before.
      if (pointer <= payload.size() && collecting_) {
        append(payload.substr(0, pointer), done);
      }
      if (pointer >= payload.size()) {
        collecting_ = false;
        return;
      }
      payload.remove_prefix(pointer);
      buffer_.clear();
      collecting_ = true;
    }
    if (collecting_) append(payload, done);
  }

 private:
  template <typename Done>
  void append(std::string_view bytes, Done done) {
    while (collecting_ && !bytes.empty()) {
      const size_t want = wanted();
      const size_t take = want > buffer_.size() ? std::min(want - buffer_.size(), bytes.size()) : 0;
      buffer_.append(bytes.substr(0, take));
      bytes.remove_prefix(take);
      if (buffer_.size() < wanted()) continue;  // the rest comes in the next packet
      if (sectionCrcIsRight(buffer_)) done(std::string_view(buffer_));
      buffer_.clear();
      // Another section may follow in the same packet, unless stuffing (0xFF) fills it.
      if (bytes.empty() || static_cast<uint8_t>(bytes[0]) == 0xFF) collecting_ = false;
    }
  }
  // The whole section's length once its header is in, else the header's.
  size_t wanted() const {
    if (buffer_.size() < 3) return 3;
    const size_t length =
        ((static_cast<uint8_t>(buffer_[1]) & 0x0F) << 8) | static_cast<uint8_t>(buffer_[2]);
    return std::min(length + 3, kMaxSectionBytes);
  }
  static bool sectionCrcIsRight(std::string_view section);

  std::string buffer_;
  bool collecting_ = false;
};

struct ProgramEntry {
  uint16_t programNumber = 0;
  uint16_t pmtPid = 0;
};

// The programs of a PAT section (the network PID entry, program 0, left out).
std::vector<ProgramEntry> parsePat(std::string_view section);

struct ElementaryStream {
  uint16_t pid = 0;
  uint8_t streamType = 0;
  StreamKind kind = StreamKind::kNone;  // from the type and descriptors; kNone when not read
};

struct ProgramMap {
  uint16_t programNumber = 0;
  uint16_t pcrPid = kNullPid;
  std::vector<ElementaryStream> streams;
};

// False when the section is not a whole PMT section.
bool parsePmt(std::string_view section, ProgramMap& program);

}  // namespace sonavid::media::mpegts
