#include "common/int_reading.h"

#include "common/text.h"

namespace sonavid {

std::optional<int32_t> readInt32(std::u16string_view text) {
  size_t pos = 0;
  while (pos < text.size() && text[pos] == u' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
    negative = text[pos] == u'-';
    ++pos;
  }
  int base = 10;
  if (pos < text.size() && (text[pos] == u'$' || text[pos] == u'x' || text[pos] == u'X')) {
    base = 16;
    ++pos;
  } else if (text.size() - pos >= 2 && text[pos] == u'0' &&
             (text[pos + 1] == u'x' || text[pos + 1] == u'X')) {
    base = 16;
    pos += 2;
  }
  if (pos == text.size()) return std::nullopt;
  // Accumulate the magnitude in 64 bits and stop as soon as it cannot fit any more.
  int64_t magnitude = 0;
  for (; pos < text.size(); ++pos) {
    int digit = hexDigitValue(text[pos]);
    if (digit >= base) digit = -1;
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * base + digit;
    if (magnitude > (int64_t{1} << 32)) return std::nullopt;
  }
  // The number itself must fit the signed range, in either notation.
  int64_t value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

int32_t readInt32Or(std::u16string_view text, int32_t fallback) {
  return readInt32(text).value_or(fallback);
}

}  // namespace sonavid
