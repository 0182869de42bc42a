#include "media/streams/nal_units.h"

namespace sonavid::media {

std::string unescapeNalUnit(std::string_view unit) {
  std::string out;
  out.reserve(unit.size() < kMaxParameterSetBytes ? unit.size() : kMaxParameterSetBytes);
  int zeros = 0;
  for (const char c : unit) {
    if (out.size() == kMaxParameterSetBytes) break;
    if (zeros >= 2 && c == 3) {
      zeros = 0;
      continue;
    }
    zeros = c == 0 ? zeros + 1 : 0;
    out.push_back(c);
  }
  return out;
}

}  // namespace sonavid::media
