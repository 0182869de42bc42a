// Texts of the stream-fact field codes, one shape for every type: SECS ("205"), LENGTH
// ("3'25", "1'02'03"), ACODEC, KBPS, SRATE, BITS, CH, VCODEC, WIDTH, HEIGHT, RES ("1080p",
// "576i") and FPS ("23.976", "25"). A fact the file does not give has an empty text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "media/values/stream_facts.h"

namespace sonavid::media {

// Puts the text of `code` into `out` and returns true when `code` is a stream-fact code;
// returns false (and leaves `out` alone) for any other code.
bool streamFactText(const StreamFacts& facts, std::string_view code, std::u16string& out);

// A count kept in a 32-bit fact; one too large for any real stream (a damaged header) is none.
inline uint32_t factCount(uint64_t value) {
  return value > UINT32_MAX ? 0 : static_cast<uint32_t>(value);
}

// The length in milliseconds, truncated, of `samples` at `rate` per second; -1 without a rate.
inline int64_t factMilliseconds(uint64_t samples, uint64_t rate) {
  constexpr uint64_t kLongestSeconds = uint64_t{INT64_MAX} / 1000 - 1;
  if (rate == 0) return -1;
  const uint64_t seconds = samples / rate;
  if (seconds > kLongestSeconds) return static_cast<int64_t>(kLongestSeconds * 1000);
  // The remainder is below the rate, so its product stays far inside 64 bits for any rate.
  const uint64_t rest = samples % rate;
  return static_cast<int64_t>(seconds * 1000 +
                              (rate <= UINT64_MAX / 1000 ? rest * 1000 / rate : 0));
}

// Keeps a frame rate of num / den frames per second, reduced to fit the 32-bit fields (a
// rate from 64-bit sample counts and durations is rounded far below what FPS shows).
void setFrameRate(StreamFacts& facts, uint64_t num, uint64_t den);

}  // namespace sonavid::media
