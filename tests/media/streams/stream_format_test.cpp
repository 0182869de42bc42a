// The texts made of elementary stream formats.
#include "media/streams/stream_format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/text.h"

namespace sonavid::media {
namespace {

// VFMT's frame rate has the digits printf's "%.3f" gives for the quotient: for every small
// rate (many lie on or close to a rounding midpoint) and for terms too large for integers.
TEST(VideoFormatText, FrameRateHasPrintfDigits) {
  const uint32_t denominators[] = {1,        2,       3,        7,          8,      16,
                                   1000,     1001,    1200,     2000,       100000, 999983,
                                   1u << 20, 3000017, 1u << 31, 4000000007u};
  std::vector<uint32_t> numerators;
  for (uint32_t num = 1; num <= 20000; ++num) numerators.push_back(num);
  numerators.insert(numerators.end(), {(1u << 20) - 1, 1u << 20, 60000000, 4294967295u});
  for (const uint32_t den : denominators) {
    for (const uint32_t num : numerators) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "MPEG-2, 352x240, %.3ffps",
                    static_cast<double>(num) / static_cast<double>(den));
      ASSERT_EQ(utf16ToUtf8(videoFormatText({"MPEG-2", 352, 240, num, den, false})), expected)
          << num << "/" << den;
    }
  }
}

}  // namespace
}  // namespace sonavid::media
