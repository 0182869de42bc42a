// NAL units of H.264 and HEVC byte streams: each follows a start code (00 00 01, often with a
// leading 00); inside a unit, 00 00 03 stands for 00 00 (the 03 keeps start codes out of it).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sonavid::media {

// A parameter set longer than this is read in part (real ones are tens of bytes).
inline constexpr size_t kMaxParameterSetBytes = 1024;

// Calls `visit(unit)` for each NAL unit in `bytes` (the unit's bytes up to the next start code,
// still escaped) until it returns true; returns whether one did.
template <typename Visit>
bool forEachNalUnit(std::string_view bytes, Visit visit) {
  size_t at = bytes.find(std::string_view("\0\0\1", 3));
  while (at != std::string_view::npos) {
    const size_t start = at + 3;
    const size_t next = bytes.find(std::string_view("\0\0\1", 3), start);
    std::string_view unit =
        bytes.substr(start, next == std::string_view::npos ? std::string_view::npos : next - start);
    if (!unit.empty() && visit(unit)) return true;
    at = next;
  }
  return false;
}

// The unit's bytes with the escaping 03 bytes taken out, at most kMaxParameterSetBytes.
std::string unescapeNalUnit(std::string_view unit);

}  // namespace sonavid::media
