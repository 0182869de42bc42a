#include "media/mpegts/broadcast_sections.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "media/byte_reader.h"

namespace sonavid::media {
namespace {

constexpr size_t kTsPacketBytes = 188;
constexpr uint8_t kSyncByte = 0x47;
constexpr uint8_t kStuffingByte = 0xFF;
constexpr size_t kSectionHeaderBytes = 3;  // table_id, flags and section_length

// One PID's section being assembled.
struct PidAssembly {
  uint16_t pid = 0;
  std::string section;    // the bytes so far; empty when no section is open
  std::string lastValid;  // the last section whose CRC was right: its repeats need no CRC
  bool open = false;
  int lastContinuity = -1;
};

size_t sectionLength(std::string_view header) {
  return ((static_cast<uint8_t>(header[1]) & 0x0F) << 8) | static_cast<uint8_t>(header[2]);
}

class SectionAssembler {
 public:
  SectionAssembler(std::initializer_list<uint16_t> pids, size_t maxSections,
                   const std::function<bool(uint16_t, std::string_view)>& onSection)
      : remaining_(maxSections), onSection_(onSection) {
    assemblies_.reserve(pids.size());
    for (uint16_t pid : pids) {
      assemblies_.emplace_back().pid = pid;
      if (pid < kLowPids) {
        lowPids_ |= uint64_t{1} << pid;
      } else {
        highPids_ = true;
      }
    }
  }

  // True when `packet` (188 bytes) is one of the PIDs': most packets are not.
  bool wants(std::string_view packet) {
    if (static_cast<uint8_t>(packet[0]) != kSyncByte) return false;
    const size_t pid =
        ((static_cast<uint8_t>(packet[1]) & 0x1F) << 8) | static_cast<uint8_t>(packet[2]);
    if (pid < kLowPids) return ((lowPids_ >> pid) & 1) != 0;
    return highPids_ && find(static_cast<uint16_t>(pid)) != nullptr;
  }

  // False once the caller has had enough.
  bool packet(std::string_view bytes) {
    ByteReader reader(bytes);
    if (reader.u8() != kSyncByte) return true;
    const uint16_t flagsAndPid = reader.u16be();
    const uint8_t control = reader.u8();
    PidAssembly* assembly = find(flagsAndPid & 0x1FFF);
    if (!assembly) return true;
    if (flagsAndPid & 0x8000) return drop(*assembly);  // transport_error_indicator
    const bool unitStart = flagsAndPid & 0x4000;
    const int continuity = control & 0x0F;
    const int adaptation = (control >> 4) & 0x03;
    if (!(adaptation & 0x01)) return true;  // no payload; the counter does not move
    if (continuity == assembly->lastContinuity) return true;  // a repeated packet
    const bool inSequence =
        assembly->lastContinuity < 0 || continuity == ((assembly->lastContinuity + 1) & 0x0F);
    assembly->lastContinuity = continuity;
    if (!inSequence) drop(*assembly);
    if (adaptation & 0x02) reader.skip(reader.u8());
    if (!reader.ok()) return drop(*assembly);

    std::string_view payload = reader.rest();
    if (payload.empty()) return true;
    if (!unitStart) return assembly->open ? append(*assembly, payload) : true;

    // pointer_field: the bytes before the first new section end the open one.
    const size_t pointer = static_cast<uint8_t>(payload[0]);
    payload.remove_prefix(1);
    if (pointer > payload.size()) return drop(*assembly);
    if (assembly->open && !append(*assembly, payload.substr(0, pointer))) return false;
    drop(*assembly);
    payload.remove_prefix(pointer);
    // New sections, one after another, until stuffing or the end of the packet.
    while (!payload.empty() && static_cast<uint8_t>(payload[0]) != kStuffingByte) {
      assembly->open = true;
      assembly->section.clear();
      const size_t before = payload.size();
      if (!append(*assembly, payload, &payload)) return false;
      if (assembly->open || payload.size() == before) break;  // continues in the next packet
    }
    return true;
  }

 private:
  PidAssembly* find(uint16_t pid) {
    for (PidAssembly& assembly : assemblies_) {
      if (assembly.pid == pid) return &assembly;
    }
    return nullptr;
  }

  bool drop(PidAssembly& assembly) {
    assembly.open = false;
    assembly.section.clear();
    return true;
  }

  // Adds payload bytes to the open section; gives the section out when it is complete. What
  // is left of `bytes` after the section goes to `rest`.
  bool append(PidAssembly& assembly, std::string_view bytes, std::string_view* rest = nullptr) {
    std::string& section = assembly.section;
    // Most sections lie whole in one packet: they are checked and given out where they are.
    if (section.empty() && bytes.size() >= kSectionHeaderBytes) {
      const size_t total = kSectionHeaderBytes + sectionLength(bytes);
      if (total <= kMaxSectionBytes && total <= bytes.size()) {
        finish(rest, bytes.substr(total));
        return complete(assembly, bytes.substr(0, total));
      }
    }
    if (section.size() < kSectionHeaderBytes) {
      const size_t take = std::min(kSectionHeaderBytes - section.size(), bytes.size());
      section.append(bytes.substr(0, take));
      bytes.remove_prefix(take);
      if (section.size() < kSectionHeaderBytes) return finish(rest, bytes);
    }
    const size_t total = kSectionHeaderBytes + sectionLength(section);
    if (total > kMaxSectionBytes) {
      drop(assembly);
      return finish(rest, std::string_view());
    }
    const size_t take = std::min(total - section.size(), bytes.size());
    section.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (section.size() < total) return finish(rest, bytes);
    finish(rest, bytes);
    return complete(assembly, section);
  }

  // Gives out a complete section when it is valid, and closes the PID's section.
  bool complete(PidAssembly& assembly, std::string_view section) {
    const bool hasCrc = static_cast<uint8_t>(section[1]) & 0x80;  // section_syntax_indicator
    bool valid = !hasCrc || section == assembly.lastValid;
    if (!valid && section.size() >= kSectionHeaderBytes + 4 && mpeg2Crc32(section) == 0) {
      valid = true;
      assembly.lastValid = section;
    }
    bool more = true;
    if (valid) {
      if (remaining_ == 0) return false;
      --remaining_;
      more = onSection_(assembly.pid, section);
    }
    drop(assembly);
    return more;
  }

  static bool finish(std::string_view* rest, std::string_view bytes) {
    if (rest) *rest = bytes;
    return true;
  }

  std::vector<PidAssembly> assemblies_;
  // The PIDs of assemblies_ below kLowPids (those of all broadcast tables) as bits, so that
  // the packets of other PIDs are passed over with one test; higher PIDs are looked up.
  static constexpr size_t kLowPids = 64;
  uint64_t lowPids_ = 0;
  bool highPids_ = false;
  size_t remaining_;
  const std::function<bool(uint16_t, std::string_view)>& onSection_;
};

}  // namespace

void forEachSection(std::string_view packets, size_t packetSize,
                    std::initializer_list<uint16_t> pids, size_t maxSections,
                    const std::function<bool(uint16_t pid, std::string_view section)>& onSection) {
  if (packetSize < kTsPacketBytes) return;
  // A 192-byte slot starts with a time code, a 204-byte one ends with a check code.
  const size_t prefix = packetSize == 192 ? 4 : 0;
  SectionAssembler assembler(pids, maxSections, onSection);
  const char* slot = packets.data();
  for (size_t left = packets.size(); left >= packetSize; left -= packetSize, slot += packetSize) {
    // The slot holds the packet whole: prefix + 188 <= packetSize.
    const std::string_view packet(slot + prefix, kTsPacketBytes);
    if (assembler.wants(packet) && !assembler.packet(packet)) return;
  }
}

}  // namespace sonavid::media
