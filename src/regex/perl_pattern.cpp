#include "regex/perl_pattern.h"

#include "common/text.h"

namespace sonavid::regex {
namespace {

void appendCodePoint(std::u16string& out, unsigned value) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  out += u"\\x{";
  std::u16string digits;
  do {
    digits.insert(digits.begin(), kHex[value % 16]);
    value /= 16;
  } while (value != 0);
  out += digits;
  out += u'}';
}

}  // namespace

std::u16string adaptPerlPattern(std::u16string_view pattern) {
  std::u16string out;
  out.reserve(pattern.size());
  const size_t n = pattern.size();
  size_t pos = 0;
  while (pos < n) {
    if (pattern[pos] != u'\\' || pos + 1 >= n) {
      out += pattern[pos++];
      continue;
    }
    const char16_t e = pattern[pos + 1];
    if (e == u'Q') {
      // Quoted text runs to \E or the end.
      const size_t end = pattern.find(u"\\E", pos + 2);
      const size_t stop = end == std::u16string_view::npos ? n : end + 2;
      out.append(pattern.substr(pos, stop - pos));
      pos = stop;
    } else if (e == u'x' && pos + 2 < n && hexDigitValue(pattern[pos + 2]) >= 0) {
      unsigned value = 0;
      size_t p = pos + 2;
      for (int k = 0; k < 2 && p < n && hexDigitValue(pattern[p]) >= 0; ++k, ++p) {
        value = value * 16 + static_cast<unsigned>(hexDigitValue(pattern[p]));
      }
      appendCodePoint(out, value);
      pos = p;
    } else if (e == u'0') {
      unsigned value = 0;
      size_t p = pos + 2;
      for (int k = 0; k < 2 && p < n && isOctalDigit(pattern[p]); ++k, ++p) {
        value = value * 8 + static_cast<unsigned>(pattern[p] - u'0');
      }
      appendCodePoint(out, value);
      pos = p;
    } else if (e == u'h') {
      out += u"\\p{Blank}";
      pos += 2;
    } else if (e == u'H') {
      out += u"\\P{Blank}";
      pos += 2;
    } else {
      out.append(pattern.substr(pos, 2));
      pos += 2;
    }
  }
  return out;
}

}  // namespace sonavid::regex
