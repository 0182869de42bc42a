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

// The average bitrate in kilobits per second, truncated, of `bytes` that play `samples` samples
// at `rate` samples per second: bytes * 8 * rate / (samples * 1000). Exact in integers while
// the products fit (every real file), in floating point beyond. 0 when there are no samples.
inline uint64_t kilobitsPerSecond(uint64_t bytes, uint64_t samples, uint64_t rate) {
  constexpr uint64_t kMax = UINT64_MAX;
  if (samples == 0 || rate == 0) return 0;
  if (rate <= kMax / 8 && bytes <= kMax / (8 * rate) && samples <= kMax / 1000) {
    return bytes * 8 * rate / (samples * 1000);
  }
  return wholeNumber(static_cast<double>(bytes) * 8 * static_cast<double>(rate) /
                     (static_cast<double>(samples) * 1000));
}

}  // namespace sonavid::media
