// UTF-16 text helpers used across the portable code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace sonavid {

// Strict UTF-8 decoding; invalid sequences become U+FFFD.
std::u16string utf8ToUtf16(std::string_view bytes);
std::string utf16ToUtf8(std::u16string_view text);

// File names on POSIX systems are bytes, mostly but not always UTF-8. These map them to UTF-16
// and back without loss: each byte that is not part of valid UTF-8 becomes the lone surrogate
// U+DC80..U+DCFF (0xDC00 plus the byte), and such a surrogate turns back into that byte.
std::u16string fileNameBytesToUtf16(std::string_view bytes);
std::string utf16ToFileNameBytes(std::u16string_view text);

// True when the bytes are valid UTF-8 and contain at least one multi-byte sequence.
bool isMultiByteUtf8(std::string_view bytes);

// Changes only the ASCII letters A to Z.
std::u16string asciiLower(std::u16string_view text);
bool equalsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b);

// Replaces every occurrence, left to right, without overlap.
void replaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to);

// Text up to and including the last '\\' or '/' ("" when there is none).
std::u16string_view directoryPart(std::u16string_view path);

// Value of a hexadecimal digit (either case), or -1 for any other character.
constexpr int hexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

constexpr bool isOctalDigit(char16_t c) { return c >= u'0' && c <= u'7'; }

// Equality of two short byte strings (frame ids, field codes, suffixes), compared in place:
// for a few bytes this is quicker than the call to memcmp that operator== makes.
constexpr bool sameShortText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// Each byte as the character of the same code: for texts made of ASCII (formatted numbers,
// codec names), which need no decoding.
std::u16string asciiToUtf16(std::string_view text);

// Decimal text of an integer.
std::u16string toU16(long long value);

// Appends the decimal digits of `value`, with leading zeros up to `minDigits` (at most 20):
// the per-file value texts are built with this instead of a formatted print.
void appendDecimal(std::u16string& out, uint64_t value, int minDigits = 1);
// The same digits written at `out` (room for kMaxDecimalDigits); returns the end of them.
inline constexpr int kMaxDecimalDigits = 20;
char16_t* writeDecimal(char16_t* out, uint64_t value, int minDigits = 1);

// A short text of ASCII words and numbers, written into a buffer of N units on the stack and
// made a string once: for the value texts made for every file, without growing a string step
// by step. What does not fit is left out.
template <size_t N>
class ShortText {
 public:
  ShortText& ascii(std::string_view text) {
    const size_t count = text.size() < N - size_ ? text.size() : N - size_;
    for (size_t i = 0; i < count; ++i) {
      buffer_[size_ + i] = static_cast<char16_t>(static_cast<unsigned char>(text[i]));
    }
    size_ += count;
    return *this;
  }
  ShortText& decimal(uint64_t value, int minDigits = 1) {
    if (N - size_ >= kMaxDecimalDigits) {
      size_ = static_cast<size_t>(writeDecimal(buffer_ + size_, value, minDigits) - buffer_);
    } else {
      char16_t digits[kMaxDecimalDigits];
      const char16_t* end = writeDecimal(digits, value, minDigits);
      for (const char16_t* d = digits; d != end && size_ < N; ++d) buffer_[size_++] = *d;
    }
    return *this;
  }
  std::u16string str() const { return std::u16string(buffer_, size_); }

 private:
  char16_t buffer_[N];
  size_t size_ = 0;
};

// Appends `value` with `decimals` digits after the point (0 to 9), exactly as printf's "%.*f"
// writes it: the exact binary value rounded to the nearest, ties to the even last digit.
void appendFixedDecimal(std::u16string& out, double value, int decimals);

}  // namespace sonavid
