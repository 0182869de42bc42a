#include "common/text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace sonavid {

namespace {

// Lone surrogates U+DC80..U+DCFF stand for bytes 0x80..0xFF that were not part of valid UTF-8.
constexpr char16_t kByteSurrogateBase = 0xDC00;

bool isByteSurrogate(uint32_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

// keepBytes: a byte that starts no valid sequence becomes its byte surrogate instead of U+FFFD.
std::u16string decodeUtf8(std::string_view bytes, bool keepBytes) {
  // No text has more units than bytes: the units are written into that room, which is then
  // cut to their number.
  std::u16string out(bytes.size(), u'\0');
  char16_t* write = out.data();
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b0 = static_cast<uint8_t>(bytes[i]);
    if (b0 < 0x80) {
      *write++ = b0;
      ++i;
      continue;
    }
    uint32_t cp = 0xFFFD;
    size_t len = 1;
    int extra = (b0 & 0xE0) == 0xC0 ? 1 : (b0 & 0xF0) == 0xE0 ? 2 : (b0 & 0xF8) == 0xF0 ? 3 : -1;
    if (extra > 0 && bytes.size() - i > static_cast<size_t>(extra)) {
      uint32_t value = b0 & (0x3F >> extra);
      bool ok = true;
      for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<uint8_t>(bytes[i + k]);
        if ((b & 0xC0) != 0x80) {
          ok = false;
          break;
        }
        value = (value << 6) | (b & 0x3F);
      }
      static constexpr uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
      if (ok && value >= kMinimum[extra] && value <= 0x10FFFF &&
          (value < 0xD800 || value > 0xDFFF)) {
        cp = value;
        len = extra + 1;
      }
    }
    if (keepBytes && len == 1) cp = kByteSurrogateBase + b0;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      *write++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *write++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *write++ = static_cast<char16_t>(cp);
    }
    i += len;
  }
  out.resize(static_cast<size_t>(write - out.data()));
  return out;
}

// keepBytes: a byte surrogate becomes its byte again instead of U+FFFD.
std::string encodeUtf8(std::u16string_view text, bool keepBytes) {
  // A text that is ASCII throughout (paths, field codes, most tags) goes across in one plain
  // pass without a test per character: each unit is copied, and all of them seen at the end.
  std::string out(text.size(), '\0');
  const char16_t* units = text.data();
  char* bytes = out.data();
  char16_t any = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    any |= units[i];
    bytes[i] = static_cast<char>(units[i]);
  }
  if (any < 0x80) return out;
  // Else the ASCII start stays as it went across.
  size_t ascii = 0;
  while (text[ascii] < 0x80) ++ascii;
  out.resize(ascii);
  out.reserve(text.size() + (text.size() - ascii) * 2);
  for (size_t i = ascii; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (keepBytes && isByteSurrogate(cp)) {
      out.push_back(static_cast<char>(cp - kByteSurrogateBase));
      continue;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace

std::u16string utf8ToUtf16(std::string_view bytes) { return decodeUtf8(bytes, false); }
std::string utf16ToUtf8(std::u16string_view text) { return encodeUtf8(text, false); }

std::u16string fileNameBytesToUtf16(std::string_view bytes) { return decodeUtf8(bytes, true); }
std::string utf16ToFileNameBytes(std::u16string_view text) { return encodeUtf8(text, true); }

bool isMultiByteUtf8(std::string_view bytes) {
  bool sawMultiByte = false;
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b0 = static_cast<uint8_t>(bytes[i]);
    if (b0 < 0x80) {
      ++i;
      continue;
    }
    int extra = (b0 & 0xE0) == 0xC0 ? 1 : (b0 & 0xF0) == 0xE0 ? 2 : (b0 & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || bytes.size() - i <= static_cast<size_t>(extra)) return false;
    uint32_t value = b0 & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto b = static_cast<uint8_t>(bytes[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      value = (value << 6) | (b & 0x3F);
    }
    static constexpr uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (value < kMinimum[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
      return false;
    sawMultiByte = true;
    i += extra + 1;
  }
  return sawMultiByte;
}

std::u16string asciiLower(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return out;
}

bool equalsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
    if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
    if (x != y) return false;
  }
  return true;
}

void replaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
  if (from.empty()) return;
  if (from.size() == to.size()) {
    // Same length: in place, with no new string.
    for (size_t hit = text.find(from); hit != std::u16string::npos;
         hit = text.find(from, hit + from.size())) {
      text.replace(hit, to.size(), to);
    }
    return;
  }
  std::u16string out;
  size_t start = 0;
  for (size_t hit = text.find(from); hit != std::u16string::npos; hit = text.find(from, start)) {
    out.append(text, start, hit - start);
    out.append(to);
    start = hit + from.size();
  }
  if (start == 0) return;
  out.append(text, start, std::u16string::npos);
  text = std::move(out);
}

std::u16string_view directoryPart(std::u16string_view path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string_view::npos ? std::u16string_view{} : path.substr(0, slash + 1);
}

namespace {

int decimalWidth(int minDigits) {
  return minDigits > kMaxDecimalDigits ? kMaxDecimalDigits : minDigits;
}

}  // namespace

void appendDecimal(std::u16string& out, uint64_t value, int minDigits) {
  char16_t digits[kMaxDecimalDigits];
  out.append(digits, static_cast<size_t>(writeDecimal(digits, value, minDigits) - digits));
}

char16_t* writeDecimal(char16_t* out, uint64_t value, int minDigits) {
  // The digits are counted first, so that they are written in place from the last one back.
  int count = 1;
  for (uint64_t power = 10; count < kMaxDecimalDigits && value >= power; power *= 10) ++count;
  for (int i = decimalWidth(minDigits); i > count; --i) *out++ = u'0';
  char16_t* end = out + count;
  for (char16_t* digit = end; digit != out; value /= 10) {
    *--digit = static_cast<char16_t>(u'0' + value % 10);
  }
  return end;
}

void appendFixedDecimal(std::u16string& out, double value, int decimals) {
  // value = mantissa * 2^exponent; value * 10^decimals is then rounded with integers alone.
  // Values this does not cover in 64 bits (negative, huge, not finite, a long mantissa with
  // many decimals) are printed by the C library.
  uint64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  int exponent = 0;
  const bool covered =
      decimals >= 0 && decimals <= 9 && value >= 0 && value < 1e15 && !std::signbit(value);
  const double fraction = covered ? std::frexp(value, &exponent) : -1;
  uint64_t mantissa = fraction >= 0 ? static_cast<uint64_t>(std::ldexp(fraction, 53)) : 0;
  exponent -= 53;
  while (mantissa != 0 && (mantissa & 1) == 0 && exponent < 0) {
    mantissa >>= 1;
    ++exponent;
  }
  if (mantissa == 0) exponent = 0;
  uint64_t scaled = 0;
  bool exact = fraction >= 0 && mantissa <= UINT64_MAX / scale;
  if (exact && exponent >= 0) {
    // A whole number below 10^15: times 10^decimals it still fits when 2^exponent does.
    scaled = mantissa * scale;
    exact = exponent < 64 && scaled <= (UINT64_MAX >> exponent);
    if (exact) scaled <<= exponent;
  } else if (exact) {
    const uint64_t product = mantissa * scale;
    const int shift = -exponent;
    if (shift >= 64) {
      // Half of the last digit's unit is 2^(shift-1), at least 2^63, and product is below 2^64:
      // only a shift of 64 with a product above 2^63 rounds up (2^63 itself is a tie to 0).
      scaled = shift == 64 && product > (uint64_t{1} << 63) ? 1 : 0;
    } else {
      scaled = product >> shift;
      const uint64_t rest = product & ((uint64_t{1} << shift) - 1);
      const uint64_t half = uint64_t{1} << (shift - 1);
      if (rest > half || (rest == half && (scaled & 1) != 0)) ++scaled;
    }
  }
  if (!exact) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    for (const char* c = text; *c != 0; ++c) out += static_cast<char16_t>(*c);
    return;
  }
  appendDecimal(out, scaled / scale);
  if (decimals > 0) {
    out += u'.';
    appendDecimal(out, scaled % scale, decimals);
  }
}

std::u16string asciiToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) out.push_back(static_cast<unsigned char>(c));
  return out;
}

std::u16string toU16(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace sonavid
