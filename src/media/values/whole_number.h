// Counts computed in floating point (lengths, bitrates) as whole numbers. Damaged headers can
// make them larger than any integer, or not a number at all, so they are capped.
#pragma once

#include <cstdint>

namespace sonavid::media {

inline uint64_t wholeNumber(double value) {
  constexpr double kLargest = 1e18;
  if (!(value > 0)) return 0;
  return value >= kLargest ? static_cast<uint64_t>(kLargest) : static_cast<uint64_t>(value);
}

}  // namespace sonavid::media
