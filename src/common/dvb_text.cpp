#include "common/dvb_text.h"

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "common/text.h"

namespace sonavid {
namespace dvb {
// Generated tables (dvb_text_tables.cpp).
extern const char16_t kIso8859Upper[15 * 96];
extern const char16_t kDefaultUpper[96];
extern const char16_t kDiacriticMarks[15];
extern const char16_t kComposedLetters[];
extern const size_t kComposedLetterCount;
}  // namespace dvb

namespace {

// Control codes of Annex A (single-byte tables at 0x86, 0x87, 0x8A; two-byte ones at
// 0xE086, 0xE087, 0xE08A): emphasis on and off, and CR/LF.
constexpr char16_t kEmphasisOn = 0x86;
constexpr char16_t kEmphasisOff = 0x87;
constexpr char16_t kLineBreak = 0x8A;
constexpr char16_t kTwoByteControls = 0xE000;

// Appends one decoded character, turning the control codes into their meaning: a line break,
// or nothing for emphasis and the other controls.
void appendCharacter(std::u16string& out, char16_t c, char16_t controlBase) {
  if (c == controlBase + kLineBreak) {
    out += u"\r\n";
  } else if (c == controlBase + kEmphasisOn || c == controlBase + kEmphasisOff) {
    return;
  } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
    return;
  } else {
    out.push_back(c);
  }
}

std::u16string decodeIso8859(std::string_view bytes, int part) {
  std::u16string out;
  for (const char ch : bytes) {
    const uint8_t b = static_cast<uint8_t>(ch);
    if (b < 0xA0) {
      appendCharacter(out, b, 0);
    } else if (char16_t c = dvb::kIso8859Upper[(part - 1) * 96 + (b - 0xA0)]) {
      out.push_back(c);
    }
  }
  return out;
}

// The letter a diacritic byte composes with, as one character; 0 when there is none.
char16_t composedLetter(uint8_t diacritic, uint8_t letter) {
  const char16_t* rows = dvb::kComposedLetters;
  size_t lo = 0, hi = dvb::kComposedLetterCount;
  const unsigned key = (diacritic << 8) | letter;
  while (lo < hi) {
    const size_t mid = (lo + hi) / 2;
    const unsigned rowKey = (unsigned{rows[mid * 3]} << 8) | rows[mid * 3 + 1];
    if (rowKey == key) return rows[mid * 3 + 2];
    if (rowKey < key) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return 0;
}

// The default table: ISO/IEC 6937, where a diacritic byte (0xC1-0xCF) comes before the letter
// it marks.
std::u16string decodeDefaultTable(std::string_view bytes) {
  std::u16string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint8_t b = static_cast<uint8_t>(bytes[i]);
    if (b < 0xA0) {
      appendCharacter(out, b, 0);
      continue;
    }
    if (b < 0xC1 || b > 0xCF) {
      if (char16_t c = dvb::kDefaultUpper[b - 0xA0]) out.push_back(c);
      continue;
    }
    if (i + 1 >= bytes.size()) break;  // a diacritic cut from its letter
    const uint8_t letter = static_cast<uint8_t>(bytes[++i]);
    if (char16_t c = composedLetter(b, letter)) {
      out.push_back(c);
    } else if (letter >= 0x20 && letter < 0x7F) {
      out.push_back(letter);
      if (char16_t mark = dvb::kDiacriticMarks[b - 0xC1]) out.push_back(mark);
    }
  }
  return out;
}

std::u16string decodeUcs2(std::string_view bytes) {
  std::u16string out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t c = static_cast<char16_t>((static_cast<uint8_t>(bytes[i]) << 8) |
                                             static_cast<uint8_t>(bytes[i + 1]));
    appendCharacter(out, c, kTwoByteControls);
  }
  return out;
}

std::u16string decodeUtf8(std::string_view bytes) {
  std::u16string out;
  for (const char16_t c : utf8ToUtf16(bytes)) appendCharacter(out, c, kTwoByteControls);
  return out;
}

}  // namespace

std::u16string decodeDvbText(std::string_view bytes) {
  if (bytes.empty()) return {};
  const uint8_t selector = static_cast<uint8_t>(bytes[0]);
  if (selector >= 0x20) return decodeDefaultTable(bytes);
  if (selector >= 0x01 && selector <= 0x0B) {
    const int part = selector + 4;
    return part == 12 ? std::u16string() : decodeIso8859(bytes.substr(1), part);
  }
  switch (selector) {
    case 0x10: {  // 0x10, then the part number in two bytes
      if (bytes.size() < 3) return {};
      const int part = (static_cast<uint8_t>(bytes[1]) << 8) | static_cast<uint8_t>(bytes[2]);
      if (part < 1 || part > 15 || part == 12) return {};
      return decodeIso8859(bytes.substr(3), part);
    }
    case 0x11:
      return decodeUcs2(bytes.substr(1));
    case 0x15:
      return decodeUtf8(bytes.substr(1));
    default:
      return {};
  }
}

}  // namespace sonavid
