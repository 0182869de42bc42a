// The bit reader: fields across byte ends, 32-bit fields, Exp-Golomb codes and the sticky
// failure at the end.
#include "media/streams/bit_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sonavid::media {
namespace {

struct Read {
  char kind;  // 'b' bits, 's' skip, 'u' ue, 'e' se
  int count;  // for bits and skip
  int64_t value;
  bool failedAfter;
};

struct BitCase {
  const char* name;
  std::string bytes;
  std::vector<Read> reads;
};

TEST(BitReader, ReadsFieldsAndFailsForGoodAtTheEnd) {
  const std::vector<BitCase> cases = {
      {"fields across byte ends",
       std::string("\xA5\x0F\xF0", 3),
       {{'b', 4, 0xA, false}, {'b', 8, 0x50, false}, {'b', 12, 0xFF0, false}, {'b', 1, 0, true}}},
      {"32 bits off a byte end, short buffer",
       std::string("\x12\x34\x56\x78\x9A", 5),
       {{'s', 4, 0, false}, {'b', 32, 0x23456789, false}, {'b', 4, 0xA, false}}},
      {"32 bits off a byte end, long buffer",
       std::string("\x00\x12\x34\x56\x78\x9A\xBC\xDE\xF0\x11", 10),
       {{'s', 12, 0, false},
        {'b', 32, 0x23456789, false},
        {'b', 32, 0xABCDEF01, false},
        {'b', 4, 1, false},
        {'b', 1, 0, true}}},
      {"overrun in the middle of a field keeps the bits there were",
       std::string("\xFF", 1),
       {{'s', 4, 0, false}, {'b', 8, 0xF0, true}, {'b', 4, 0, true}, {'u', 0, 0, true}}},
      {"skip past the end", std::string("\xFF\xFF", 2), {{'s', 17, 0, true}, {'b', 1, 0, true}}},
      {"unsigned codes, then zeros to the end",
       std::string("\xA6\x40", 2),
       {{'u', 0, 0, false},
        {'u', 0, 1, false},
        {'u', 0, 2, false},
        {'u', 0, 3, false},
        {'u', 0, 0, true}}},
      {"a code whose one is the last bit", std::string("\x01", 1), {{'u', 0, 127, true}}},
      {"signed codes",
       std::string("\x4C\x85", 2),
       {{'e', 0, 1, false}, {'e', 0, -1, false}, {'e', 0, 2, false}, {'e', 0, -2, false}}},
      {"the longest code",
       std::string("\x00\x00\x00\x01\xFF\xFF\xFF\xFE", 8),
       {{'u', 0, 0xFFFFFFFE, false}, {'b', 1, 0, false}}},
      {"a code too long fails the reader",
       std::string("\x00\x00\x00\x00\x80\xFF", 6),
       {{'u', 0, 0, true}, {'b', 8, 0, true}}},
  };
  for (const BitCase& c : cases) {
    BitReader bits(c.bytes);
    for (size_t i = 0; i < c.reads.size(); ++i) {
      const Read& read = c.reads[i];
      int64_t value = 0;
      switch (read.kind) {
        case 'b':
          value = bits.bits(read.count);
          break;
        case 's':
          bits.skip(read.count);
          break;
        case 'u':
          value = bits.ue();
          break;
        default:
          value = bits.se();
          break;
      }
      EXPECT_EQ(value, read.value) << c.name << ", read " << i;
      EXPECT_EQ(bits.failed(), read.failedAfter) << c.name << ", read " << i;
    }
  }
}

}  // namespace
}  // namespace sonavid::media
