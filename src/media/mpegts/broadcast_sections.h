// PSI/SI sections out of transport stream packets (ISO/IEC 13818-1 2.4.4): the sections of a
// few PIDs, assembled across packets, each checked against its CRC-32 before it is given out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string_view>

#include "media/mpegts/section_crc.h"

namespace sonavid::media {

// Sections longer than this are damaged (4093 bytes of section_length at most for SI tables).
inline constexpr size_t kMaxSectionBytes = 4096;

// Every complete section on one of `pids`, in the order of the packets, to `onSection` (which
// returns false to stop). `packets` holds whole packets of `packetSize` bytes (188, 192 with a
// 4-byte time code in front of each, or 204 with a 16-byte check code after each); a packet
// without its sync byte, with its error flag set, or out of its PID's continuity drops the
// section it was part of. A section with the syntax indicator set is given out only when its
// CRC-32 is right. At most `maxSections` sections are given out.
void forEachSection(std::string_view packets, size_t packetSize,
                    std::initializer_list<uint16_t> pids, size_t maxSections,
                    const std::function<bool(uint16_t pid, std::string_view section)>& onSection);

}  // namespace sonavid::media
